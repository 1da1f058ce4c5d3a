// The exported entry points: turn the caller's ANSI paths into wide ones and
// keep every failure, exceptions included, on this side of the boundary.
#include "UnzipCore7z.h"

#include "Extractor.h"

#include <windows.h>

#include <new>
#include <string>

namespace {

bool AnsiToWide(const char* text, std::wstring* wide)
{
    if (text == nullptr || text[0] == '\0') return false;
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return false;
    wide->assign(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, &(*wide)[0], n) != n) return false;
    wide->resize(static_cast<size_t>(n - 1));
    return true;
}

} // namespace

int UnzipCore7zEx(const char* archivePath, const char* destFolder, UnzipProgress progress,
                  const std::atomic<bool>* cancel, UnzipItemCallback onItem)
{
    try {
        std::wstring archive, dest;
        if (!AnsiToWide(archivePath, &archive)) return UNZIP_ARCHIVE_MISSING;
        if (!AnsiToWide(destFolder, &dest)) return UNZIP_FOLDER_NOT_WRITABLE;
        SevenZCore::CExtractor extractor(archive, dest, progress, cancel, onItem);
        return extractor.Run();
    } catch (...) {
        return UNZIP_ERROR;
    }
}

bool UnzipCore7z(const char* archivePath, const char* destFolder, UnzipProgress progress)
{
    return UnzipCore7zEx(archivePath, destFolder, progress, nullptr, UnzipItemCallback()) == UNZIP_OK;
}
