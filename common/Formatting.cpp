#include "common/Formatting.h"

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

using SkinUI::CUiString;

CUiString FormatSize(unsigned long long bytes)
{
    CUiString text;
    if (bytes >= (1ull << 30))
        text.Format(L"%.01fGB", static_cast<double>(bytes >> 20) / 1024.0);
    else if (bytes >= (1ull << 20))
        text.Format(L"%.01fMB", static_cast<double>(bytes >> 10) / 1024.0);
    else
        text.Format(L"%.01fKB", static_cast<double>(bytes) / 1024.0);
    return text;
}

CUiString FormatSizeShort(double bytes)
{
    CUiString text;
    if (bytes > 1073741824.0)
        text.Format(L"%.1f GB", bytes / 1073741824.0);
    else if (bytes > 1048576.0)
        text.Format(L"%.1f MB", bytes / 1048576.0);
    else
        text.Format(L"%.1f KB", bytes / 1024.0);
    return text;
}

CUiString FormatDuration(double seconds)
{
    // Anything below zero is shown as zero; left alone, a duration between
    // -1 h and 0 would print as "00:00:-5.000".
    if (!(seconds > 0.0)) seconds = 0.0;
    if (seconds > 2147483647.0) seconds = 2147483647.0;  // keeps every field in int range
    int h = static_cast<int>(seconds) / 3600;
    int m = static_cast<int>((seconds - h * 3600.0) / 60.0);
    int s = static_cast<int>(seconds - h * 3600.0 - m * 60.0);
    int ms = static_cast<int>(seconds * 1000.0 - (s * 1000.0 + m * 60000.0 + h * 3600000.0));
    CUiString text;
    text.Format(L"%02d:%02d:%02d.%03d", h, m, s, ms);
    return text;
}

CUiString FormatHms(int seconds)
{
    CUiString text;
    text.Format(L"%02d:%02d:%02d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    return text;
}

long long ParseDurationMs(const wchar_t* text)
{
    int h = 0, m = 0, s = 0, ms = 0;
    if (text != nullptr) swscanf(text, L"%d:%d:%d.%d", &h, &m, &s, &ms);
    // 64-bit sums: 32 bits would wrap after 596 hours.
    return static_cast<long long>(ms) + h * 3600000LL + m * 60000LL + s * 1000LL;
}

int ParseHmsSeconds(const wchar_t* text)
{
    if (text == nullptr) return 0;
    const wchar_t* first = wcschr(text, L':');
    const wchar_t* second = first != nullptr ? wcschr(first + 1, L':') : nullptr;
    int h = static_cast<int>(wcstol(text, nullptr, 10));
    int m = first != nullptr ? static_cast<int>(wcstol(first + 1, nullptr, 10)) : 0;
    int s = second != nullptr ? static_cast<int>(wcstol(second + 1, nullptr, 10)) : 0;
    return s + m * 60 + h * 3600;
}
