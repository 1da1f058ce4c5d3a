#pragma once
// The installer's append-only log: ll.log in the per-user log folder, one
// line per entry in code page 936 with CR LF line ends, shared by every run.
#include "ui/core/UiString.h"

// Appends "[YYYY-MM-DD HH:MM:SS] - message" and a line end; the same entry
// (with a single space) goes to the wide standard output first. Never fails
// visibly: an entry that cannot be converted or written is dropped whole.
void WriteLog(const SkinUI::CUiString& message);

// Formats with vswprintf rules and logs the result. Text passed as the format
// must not contain "%". Returns the number of characters formatted, or -1
// (then nothing is logged).
int LogFormat(const wchar_t* format, ...);

// Full path of the log file; creates the log folder when it is missing.
SkinUI::CUiString GetLogFilePath();
