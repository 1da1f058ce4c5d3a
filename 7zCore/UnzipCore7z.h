#pragma once
// The one entry point of 7zCore.dll. Exported under its C++ decorated name and
// called with the default (caller-cleans) convention, so the installer and the
// library must be built with the same compiler and standard library.
#include <atomic>
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
// run. False on any failure: nothing outside destFolder is ever written, and
// what the run had written is undone as UnzipCore7zEx describes.
SEVENZCORE_API bool UnzipCore7z(const char* archivePath, const char* destFolder, UnzipProgress progress);

// Why a run ended; UNZIP_OK only for a run that put every item in place.
enum UnzipResult {
    UNZIP_OK = 0,
    UNZIP_ARCHIVE_MISSING = 1,      // the archive cannot be opened
    UNZIP_ARCHIVE_CORRUPT = 2,      // damaged, truncated, encrypted or not 7z
    UNZIP_FOLDER_NOT_WRITABLE = 3,  // the destination or a file in it refuses writing
    UNZIP_DISK_FULL = 4,
    UNZIP_UNSAFE_ENTRY = 5,         // an item or link would leave the destination
    UNZIP_CANCELLED = 6,
    UNZIP_ERROR = 7,                // anything else (bad arguments, out of memory)
};

// One item a successful run put in place, relative to the destination
// ("bin\a.dll"); folders are those the run made sure of, files include links.
typedef std::function<void(const wchar_t* relativePath, bool isFolder)> UnzipItemCallback;

// UnzipCore7z with a reason, a way to stop, and the list of what was placed.
// cancel (may be null) is read between blocks of data: once it is true the run
// stops within a block. Every run that does not succeed is undone: files and
// folders it created are removed, files that were there before are kept (a
// file is written under a temporary name and only replaces the old one once it
// is complete), so a stopped run leaves the folder as it found it apart from
// files it had already replaced whole. onItem (may be empty) is called for
// every placed item only when the run succeeds, before the final report.
SEVENZCORE_API int UnzipCore7zEx(const char* archivePath, const char* destFolder, UnzipProgress progress,
                                 const std::atomic<bool>* cancel, UnzipItemCallback onItem);
