#pragma once
// The installation's finishing steps, which the progress and completion pages
// call: the desktop link when the extraction has reached its end, then, when
// the user leaves the completion page, the start-menu group, the list of
// installed files and the uninstall entry. None of them runs unless the
// extraction succeeded, so a failed or cancelled run leaves no link and no
// registration behind.
#include "KeInstall/InstallSettings.h"
#include "ui/core/UiString.h"

#include <functional>

// The shell and registry calls behind the steps; tests stand in for them.
struct FinishOperations {
    std::function<bool(const wchar_t* target, const wchar_t* workingDir, const wchar_t* description,
                       const wchar_t* icon, int iconIndex, const wchar_t* linkPath)>
        createLink;
    std::function<void(const wchar_t* productExe, const wchar_t* uninstallerExe, const wchar_t* workingDir,
                       const wchar_t* name, const wchar_t* description)>
        createStartMenu;
    std::function<SkinUI::CUiString()> desktopFolder;
    // The all users' start-menu programs folder, where the group goes.
    std::function<SkinUI::CUiString()> programsFolder;
    std::function<void(const wchar_t* productFolder)> registerEntry;
};

// The real ones: CreateShellLink, CreateStartMenuShortcuts, the desktop and
// programs folders, RegisterUninstallEntry.
FinishOperations SystemFinishOperations();

// At the end of the extraction (UI thread): the desktop link, when the
// desktop option is ticked and the extraction succeeded. A failed link is
// logged. True when the link was made. The taskbar option has no effect.
bool CreateDesktopLinkStep(InstallSettings& settings, const FinishOperations& operations);

// Leaving the completion page (UI thread): the start-menu group, then the
// installed-files list in the product folder (what was extracted, the links
// made, the list itself), then the uninstall entry. Nothing when the
// extraction did not succeed; false then. A list that cannot be written is
// logged and the product is registered all the same.
bool FinishInstall(InstallSettings& settings, const FinishOperations& operations);
