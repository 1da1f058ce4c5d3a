#include "ui/controls/UiAttributeTable.h"

#include <cstdlib>

namespace SkinUI {
namespace UiParse {

int Int(const wchar_t* text)
{
    return text ? static_cast<int>(wcstol(text, nullptr, 10)) : 0;
}

int IntList(const wchar_t* text, int* out, int count)
{
    for (int i = 0; i < count; ++i)
        out[i] = 0;
    if (!text)
        return 0;
    const wchar_t* p = text;
    int present = 0;
    while (present < count) {
        wchar_t* end = nullptr;
        out[present++] = static_cast<int>(wcstol(p, &end, 10));
        // A list item is followed by a comma or nothing; anything else ends the
        // list so that a truncated value never reads past its terminator.
        if (*end != L',')
            break;
        p = end + 1;
    }
    return present;
}

RECT Rect(const wchar_t* text)
{
    int v[4];
    IntList(text, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

SIZE Size(const wchar_t* text)
{
    int v[2];
    IntList(text, v, 2);
    return SIZE{v[0], v[1]};
}

DWORD Color(const wchar_t* text, bool skipBlanks)
{
    if (!text)
        return 0;
    if (skipBlanks) {
        while (*text != L'\0' && *text <= L' ')
            ++text;
    }
    if (*text == L'#')
        ++text;
    return static_cast<DWORD>(wcstoul(text, nullptr, 16));
}

bool Bool(const wchar_t* text)
{
    return text && _wcsicmp(text, L"true") == 0;
}

} // namespace UiParse
} // namespace SkinUI
