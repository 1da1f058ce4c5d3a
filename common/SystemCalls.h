#pragma once
// The few system entry points whose real effect cannot be undone (ending the
// session, suspending the machine, changing the taskbar). They are reached
// through this table so that tests can watch the exact arguments without the
// machine shutting down; the program never changes it.
#include <windows.h>

struct KESystemCalls {
    BOOL(WINAPI* exitWindowsEx)(UINT flags, DWORD reason);
    BOOL(WINAPI* setSystemPowerState)(BOOL suspend, BOOL force);
    HINSTANCE(WINAPI* shellExecute)(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                    INT show);
};

// Initialised with the system's own functions.
KESystemCalls& SystemCalls();
