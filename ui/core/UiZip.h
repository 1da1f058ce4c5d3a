#pragma once
// Read-only zip archive access for skins: archives in memory, in a file or behind
// an open file handle; stored and deflated items; the traditional zip password
// scheme. Every size and offset read from an archive is checked against the
// archive's bounds before use, so a damaged or hostile archive gives an error
// code, never a read outside the archive.
#include <windows.h>

namespace SkinUI {

typedef DWORD ZipResult;

enum : ZipResult {
    ZIP_OK = 0x00000000,
    ZIP_DUPLICATE_HANDLE = 0x00000100,
    ZIP_CREATE_FILE = 0x00000200,
    ZIP_NO_MEMORY = 0x00000300,
    ZIP_WRITE = 0x00000400,
    ZIP_NOT_FOUND = 0x00000500,
    ZIP_MORE = 0x00000600,
    ZIP_CORRUPT = 0x00000700,
    ZIP_READ = 0x00000800,
    ZIP_PASSWORD = 0x00001000,
    ZIP_ARGS = 0x00010000,
    ZIP_NOT_MEMORY_ZIP = 0x00020000,
    ZIP_MEMORY_SIZE = 0x00030000,
    ZIP_PREVIOUS_ERROR = 0x00040000,
    ZIP_ENDED = 0x00050000,
    ZIP_MISSIZE = 0x00060000,
    ZIP_PARTIAL_UNZIP = 0x00070000,
    ZIP_MIXED_MODE = 0x00080000,
    ZIP_NOT_INITIALISED = 0x01000000,
    ZIP_SEEK = 0x02000000,
    ZIP_NO_CHANGE = 0x04000000,
    ZIP_FLATE = 0x05000000,
};

// Passed to FormatZipResult in place of a code: the result of the last archive operation.
const ZipResult ZIP_LAST_RESULT = 1;

struct ZipEntryInfo {
    int index;                  // item index; the item count when asked for index -1
    wchar_t name[MAX_PATH];     // sanitised: never climbs out of a target folder
    DWORD attributes;           // FILE_ATTRIBUTE_READONLY/HIDDEN/SYSTEM/DIRECTORY/ARCHIVE
    FILETIME accessTime;        // all three UTC
    FILETIME creationTime;
    FILETIME modificationTime;
    DWORD compressedSize;
    DWORD uncompressedSize;
};

class CZipReader;

// What an open call hands out. kind 1 marks an archive opened for reading.
struct ZipArchiveRecord {
    DWORD kind;
    CZipReader* reader;
};
typedef ZipArchiveRecord* ZipArchiveHandle;

const DWORD ZIP_KIND_READ = 1;

// Open calls return null on failure; GetLastZipResult tells why. The password is
// ANSI text and may be null. Memory archives are not copied: the bytes must outlive
// the handle. A file handle is duplicated; its current position is the archive's start.
ZipArchiveHandle OpenZipMemory(const void* data, DWORD size, const char* password);
ZipArchiveHandle OpenZipFile(const wchar_t* path, const char* password);
ZipArchiveHandle OpenZipHandle(HANDLE file, const char* password);
ZipResult CloseZip(ZipArchiveHandle zip);

// Folder that relative unzip-to-file paths are resolved against (default: the
// current directory at open time). A trailing backslash is added when missing.
ZipResult SetZipBaseFolder(ZipArchiveHandle zip, const wchar_t* folder);

// index -1: entry->index receives the item count, everything else is empty.
ZipResult GetZipItem(ZipArchiveHandle zip, int index, ZipEntryInfo* entry);

// Compares the UTF-8 form of name with the stored item names; ignoreCase folds
// a-z only. Not found: ZIP_NOT_FOUND, *index = -1, entry->index = -1.
ZipResult FindZipItem(ZipArchiveHandle zip, const wchar_t* name, bool ignoreCase, int* index,
                      ZipEntryInfo* entry);

// Piecewise: ZIP_MORE while data remains (call again with the same index to go on),
// ZIP_OK with the last piece. After ZIP_OK a new call starts the item afresh.
// *written (optional) receives the bytes stored by this call.
ZipResult UnzipItemToMemory(ZipArchiveHandle zip, int index, void* buffer, DWORD size,
                            DWORD* written = nullptr);

// Creates the folders on the way; a relative path is resolved against the base folder
// and cannot leave it. A directory item only creates the folder.
ZipResult UnzipItemToFile(ZipArchiveHandle zip, int index, const wchar_t* path);
// Writes at the handle's current position; the caller keeps the handle.
ZipResult UnzipItemToHandle(ZipArchiveHandle zip, int index, HANDLE file);

ZipResult GetLastZipResult();

// Copies the text of code (ZIP_LAST_RESULT: of the last result), cut to size - 1
// characters and terminated; returns the full text length. buffer may be null.
unsigned int FormatZipResult(ZipResult code, wchar_t* buffer, unsigned int size);

// The item name cleaned so that it cannot climb out of a target folder: drive
// prefixes, leading separators and every ".." climb are cut from the front.
// Works in place.
void SanitiseZipName(wchar_t* name);

} // namespace SkinUI
