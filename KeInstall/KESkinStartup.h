#pragma once
// What the installer and the uninstaller do alike before their first window:
// the framework learns the module, the screen's DPI and the skin archive held
// as the executable's own "KEZIP_RES"/113 resource.
#include <windows.h>

#include "ui/render/UiPrefetch.h"

// The screen's DPI, the mean of its two axes; 96 when no screen can be read.
int KEScreenDpi();

// Registers the framework's process-wide state: instance, DPI and the skin
// archive, whose bytes stay mapped for the life of the process. Without the
// resource the framework has no archive, and the first window's skin load
// reports that.
void KEStartSkin(HINSTANCE instance);

// What the wizard's first frame (the welcome page in its shadow) draws: its
// images at the screen's scale and the face of its texts, for a prefetch that
// runs while the window is created.
SkinUI::CUiPrefetch::Request KEWelcomePrefetch();
