#pragma once
// The system's file, folder and colour dialogs. Each runs its own modal loop
// on the calling thread; cancelling gives empty text (or false).
#include "ui/core/UiString.h"

#include <windows.h>

#include <vector>

// Filters are double-NUL-terminated pairs as the file dialogs take them; null
// means "所有文件" / "*.*". A null title means "请选择一个文件".
SkinUI::CUiString ChooseOpenFile(const wchar_t* filter, const wchar_t* title, const wchar_t* initialDir);
SkinUI::CUiString ChooseSaveFile(const wchar_t* initialName, const wchar_t* filter, const wchar_t* title,
                                 const wchar_t* initialDir);
// Start in "Missions\" below the current directory.
SkinUI::CUiString ChooseMissionFile(HWND owner, const wchar_t* initialName, const wchar_t* filter);
// The folder first, then each chosen file name; a single choice comes back
// as one full path. Empty on cancel.
std::vector<SkinUI::CUiString> ChooseMissionFiles(HWND owner, const wchar_t* initialName, const wchar_t* filter);

// Folder browser over the foreground window, starting at *path; on OK the
// choice replaces *path.
bool ChooseFolder(SkinUI::CUiString* path);

// Returns the choice as opaque ARGB (0xFFRRGGBB), or the initial value when
// cancelled. The 16 custom colours last for the life of the process.
DWORD ChooseColour(HWND owner, DWORD initialArgb);

// The install-folder browser: an edit box, initial path selected. The chosen
// folder, or empty text on cancel or when the choice is not a file-system
// folder.
SkinUI::CUiString BrowseForFolder(HWND owner, const SkinUI::CUiString& initialPath);
