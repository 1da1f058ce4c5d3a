#pragma once
// Other processes, found by executable file name.
#include <windows.h>

// Exact, case-sensitive match of the executable file name ("app.exe").
bool IsProcessRunning(const wchar_t* exeName);
// Ends every match with exit code 0. True when the process list could be read.
bool TerminateProcessesByName(const wchar_t* exeName);
// Suspends (true) or resumes (false) every thread of the process.
void SuspendProcessThreads(DWORD processId, bool suspend);
