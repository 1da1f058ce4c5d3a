#pragma once
// Shell links (the desktop link and the start-menu group) and the taskbar
// pin helpers. COM must be initialised on the calling thread.

// Saves a link: target, description, icon (short form of the path when the
// system has one) and working directory. True when the file was saved.
bool CreateShellLink(const wchar_t* targetPath, const wchar_t* workingDir, const wchar_t* description,
                     const wchar_t* iconPath, int iconIndex, const wchar_t* linkPath);

// The all-users start-menu group "<programs>\<name>" with "<name>.lnk" for the
// product and "卸载<name>.lnk" for its uninstaller. Silent: a link that cannot
// be made leaves the other in place; a link whose path would exceed MAX_PATH
// is not made at all.
void CreateStartMenuShortcuts(const wchar_t* productExe, const wchar_t* uninstallerExe, const wchar_t* workingDir,
                              const wchar_t* name, const wchar_t* description);

// Pins through a temporary link "<temp>\<linkName>.lnk", removed afterwards.
// Returns whether the temporary link could be made.
bool PinShortcutToTaskbar(const wchar_t* targetPath, const wchar_t* workingDir, const wchar_t* description,
                          const wchar_t* linkName, int iconIndex);
// True when the shell accepted the verb.
bool PinToTaskbar(const wchar_t* path);
bool UnpinFromTaskbar(const wchar_t* path);
// The user's pinned link "<name>.lnk" in the taskbar's pinned folder.
bool UnpinTaskbarShortcutByName(const wchar_t* linkName);
