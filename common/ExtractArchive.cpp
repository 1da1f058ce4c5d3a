#include "common/ExtractArchive.h"

#include "7zCore/UnzipCore7z.h"
#include "common/Log.h"
#include "common/TextConvert.h"

#include <windows.h>

#include <string>

bool ExtractArchive(const wchar_t* archivePath, const wchar_t* destFolder)
{
    std::string archive = WideToAnsi(archivePath);
    std::string dest = WideToAnsi(destFolder);
    return UnzipCore7z(archive.c_str(), dest.c_str(), [](unsigned long long done, unsigned long long total) {
        OutputDebugStringW(L"ExtractArchive: progress\n");
        LogFormat(L"%I64d %I64d\n", done, total);
    });
}
