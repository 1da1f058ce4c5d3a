#pragma once
// The uninstaller cannot delete itself while it runs from the product folder,
// so it hands the work to a copy of itself in the temporary folder: the copy
// is told the product folder and the original's process handle, waits for the
// original to end, removes the installation and at last has its own file
// deleted by a short-lived command script once it has exited.
#include <windows.h>

#include <string>

struct UninstallCommand {
    std::wstring productFolder;   // empty: the folder of the running executable
    // Inherited handle of the process that started this copy, as a number;
    // 0 when this is not the temporary copy.
    unsigned long long waitHandle = 0;
    bool isTemporaryCopy = false;
};

// Reads "/product <folder>" and "/copy <handle>"; anything else is ignored,
// so the program list's own arguments change nothing.
UninstallCommand ParseUninstallCommand(const wchar_t* commandLine);

// The copy's command line: the program, then the two switches, every path
// quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring BuildCopyCommandLine(const std::wstring& copyExe, const std::wstring& productFolder,
                                  unsigned long long waitHandle);

// One argument quoted for CommandLineToArgvW (backslashes before a quote doubled).
std::wstring QuoteArgument(const std::wstring& argument);

// True when path lies inside folder (or is it), ignoring case and the kind of separator.
bool IsInsideFolder(const std::wstring& path, const std::wstring& folder);

// Copies the running executable to the temporary folder and starts the copy
// for productFolder. True when the copy runs; the caller then just ends.
bool StartTemporaryCopy(const std::wstring& productFolder);

// In the copy: waits (bounded) for the process behind the handle to end.
void WaitForOriginal(unsigned long long waitHandle);

// In the copy, just before it ends: a hidden command interpreter that
// deletes this executable as soon as its file is no longer in use.
bool ScheduleSelfDeletion();

// The same for any file: a small script beside it ("<file>.cmd") that the
// interpreter runs, retrying while the file is in use, then deleting itself.
bool StartDeletion(const std::wstring& file);
