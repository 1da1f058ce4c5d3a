#pragma once
// What the installer and the uninstaller do alike before their first window:
// the framework learns the module, the screen's DPI and the skin archive held
// as the executable's own "KEZIP_RES"/113 resource.
#include <windows.h>

// Registers the framework's process-wide state: instance, DPI (the mean of the
// screen's two axes; 96 when no screen can be read) and the skin
// archive, whose bytes stay mapped for the life of the process. Without the
// resource the framework has no archive, and the first window's skin load
// reports that.
void KEStartSkin(HINSTANCE instance);
