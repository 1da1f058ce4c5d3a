// The exported entry point: turns the caller's ANSI paths into wide ones and
// keeps every failure, exceptions included, on this side of the boundary.
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

bool UnzipCore7z(const char* archivePath, const char* destFolder, UnzipProgress progress)
{
    try {
        std::wstring archive, dest;
        if (!AnsiToWide(archivePath, &archive) || !AnsiToWide(destFolder, &dest)) return false;
        SevenZCore::CExtractor extractor(archive, dest, progress);
        return extractor.Run();
    } catch (...) {
        return false;
    }
}
