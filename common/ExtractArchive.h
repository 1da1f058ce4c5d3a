#pragma once
// Unpacking a 7z archive through 7zCore.dll, every progress report logged.
// Whoever calls this links the 7zCore import library.

// The two paths go to the library in the ANSI code page. The library's result.
bool ExtractArchive(const wchar_t* archivePath, const wchar_t* destFolder);
