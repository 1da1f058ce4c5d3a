#include "common/ConverterProgress.h"

#include "common/ScopedHandle.h"

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

const DWORD kTailSize = 230;

long long NumberAfter(const std::string& line, size_t skip)
{
    if (line.size() <= skip) return 0;
    return _strtoi64(line.c_str() + skip, nullptr, 10);
}

} // namespace

ConverterProgress ReadConverterProgress(const wchar_t* path)
{
    ConverterProgress progress = {false, 0, 0};
    if (path == nullptr) return progress;
    // The converter keeps the file open for writing while we look.
    CKEScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return progress;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < kTailSize) return progress;
    LARGE_INTEGER start = {};
    start.QuadPart = size.QuadPart - kTailSize;
    if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) return progress;
    char tail[kTailSize] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), tail, kTailSize, &read, nullptr)) return progress;

    std::string text(tail, read);
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        if (line.find("progress=end") != std::string::npos) {
            if (progress.totalSize > 0) progress.ended = true;
            break;
        }
        if (line.find("out_time_ms=") != std::string::npos) progress.outTimeMs = NumberAfter(line, 12);
        if (line.find("total_size=") != std::string::npos) progress.totalSize = NumberAfter(line, 11);
    }
    return progress;
}
