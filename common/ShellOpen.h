#pragma once
// Opening documents, folders and addresses through the shell.
#include <windows.h>

// ShellExecuteW "open", shown normally; the shell's value as is (greater
// than 32 on success).
INT_PTR OpenWithShell(const wchar_t* target);

// Logs the text for a shell error code up to 32 and returns the code; larger
// codes (successes) are returned without a log entry.
INT_PTR ReportShellExecuteError(INT_PTR code);
