#pragma once
// The one entry point of 7zCore.dll. Exported under its C++ decorated name and
// called with the default (caller-cleans) convention, so the installer and the
// library must be built with the same compiler and standard library.
#include <functional>

#ifdef SEVENZCORE_BUILD
#define SEVENZCORE_API __declspec(dllexport)
#else
#define SEVENZCORE_API __declspec(dllimport)
#endif

// (done, total) in bytes of unpacked data.
typedef std::function<void(unsigned long long, unsigned long long)> UnzipProgress;

// Extracts the 7z archive at archivePath (system ANSI code page) into destFolder
// (ANSI too, no trailing separator needed), overwriting files of the same name.
// Blocks until done. The callback sees a fixed total, a done that never goes
// back, and done == total exactly once, as the very last report of a successful
// run. False on any failure: nothing outside destFolder is ever written.
SEVENZCORE_API bool UnzipCore7z(const char* archivePath, const char* destFolder, UnzipProgress progress);
