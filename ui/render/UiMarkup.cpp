#include "ui/render/UiMarkup.h"

#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

bool IsOpener(wchar_t c) { return c == L'<' || c == L'{'; }
bool IsCloser(wchar_t c) { return c == L'>' || c == L'}'; }
bool IsTagLetter(wchar_t c) { return c != 0 && wcschr(L"abcfinprsuxy", c) != nullptr; }
// Tags that have a closing form; </n>, </x> and </y> stay text.
bool IsClosableLetter(wchar_t c) { return c != 0 && wcschr(L"abcfiprsu", c) != nullptr; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// A closing tag at p: "</t>" or "{/t}" (the brackets may be mixed).
bool ReadClose(const wchar_t* p, wchar_t* tag)
{
    if (!IsOpener(p[0]) || p[1] != L'/' || !IsClosableLetter(p[2]) || !IsCloser(p[3])) return false;
    *tag = p[2];
    return true;
}

// An opening tag at p; on success token holds letter and arguments and the
// returned pointer is past the closing bracket. Null when p is no tag: a
// missing closing bracket makes the whole thing text.
const wchar_t* ReadOpen(const wchar_t* p, UiMarkupToken* token)
{
    if (!IsOpener(p[0]) || !IsTagLetter(p[1])) return nullptr;
    if (p[2] != L' ' && !IsCloser(p[2])) return nullptr;
    const wchar_t* args = p + 2;
    while (*args == L' ') ++args;
    const wchar_t* end = args;
    while (*end && !IsCloser(*end)) ++end;
    if (!*end) return nullptr;
    token->kind = UI_MARKUP_OPEN;
    token->tag = p[1];
    token->text = args;
    token->length = static_cast<int>(end - args);
    return end + 1;
}

const wchar_t* SkipSpaces(const wchar_t* p)
{
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

const wchar_t* SkipWord(const wchar_t* p)
{
    while (*p && *p != L' ' && *p != L'\t') ++p;
    return p;
}

// wcstol held to a range; anything unreadable is fallback.
long ReadLong(const wchar_t* p, const wchar_t** end, long low, long high, long fallback)
{
    wchar_t* stop = nullptr;
    long value = wcstol(p, &stop, 10);
    if (end) *end = stop;
    if (stop == p) return fallback;
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

} // namespace

const wchar_t* NextMarkupToken(const wchar_t* text, bool raw, UiMarkupToken* token)
{
    *token = UiMarkupToken();
    const wchar_t* p = text;
    if (!*p) return p;
    if (*p == L'\r') {
        token->kind = UI_MARKUP_NEWLINE;
        return p[1] == L'\n' ? p + 2 : p + 1;
    }
    if (*p == L'\n') {
        token->kind = UI_MARKUP_NEWLINE;
        return p + 1;
    }
    wchar_t tag = 0;
    if (ReadClose(p, &tag) && (!raw || tag == L'r')) {
        token->kind = UI_MARKUP_CLOSE;
        token->tag = tag;
        return p + 4;
    }
    if (!raw) {
        const wchar_t* next = ReadOpen(p, token);
        if (next) return next;
    }
    // Text: at least this character, then up to the next real tag or line break.
    // The next closing bracket is remembered, so that a text full of openers
    // without one ("<a <a <a ...") is still read in linear time.
    const wchar_t* closer = p;
    auto isOpenTag = [&](const wchar_t* at) {
        if (!IsTagLetter(at[1]) || (at[2] != L' ' && !IsCloser(at[2]))) return false;
        if (closer < at + 2) {
            closer = at + 2;
            while (*closer && !IsCloser(*closer)) ++closer;
        }
        return *closer != 0;
    };
    const wchar_t* end = p + 1;
    for (; *end && *end != L'\n' && *end != L'\r'; ++end) {
        if (!IsOpener(*end)) continue;
        if (ReadClose(end, &tag) && (!raw || tag == L'r')) break;
        if (!raw && isOpenTag(end)) break;
    }
    token->kind = UI_MARKUP_TEXT;
    token->text = p;
    token->length = static_cast<int>(end - p);
    return end;
}

DWORD ParseMarkupColor(const wchar_t* args)
{
    const wchar_t* p = SkipSpaces(args);
    if (*p == L'#') ++p;
    // wcstoul would accept a sign or "0x"; take plain digits only.
    DWORD value = 0;
    for (int i = 0; i < 8 && iswxdigit(p[i]); ++i) {
        wchar_t c = p[i];
        int digit = c <= L'9' ? c - L'0' : (c | 0x20) - L'a' + 10;
        value = (value << 4) | static_cast<DWORD>(digit);
    }
    return value;
}

UiMarkupFontArgs ParseMarkupFont(const wchar_t* args)
{
    UiMarkupFontArgs font;
    const wchar_t* p = SkipSpaces(args);
    if ((*p >= L'0' && *p <= L'9') || *p == L'-') {
        font.byIndex = true;
        font.index = static_cast<int>(ReadLong(p, nullptr, -1, 0x7FFFFFFF, -1));
        return font;
    }
    const wchar_t* end = SkipWord(p);
    font.face.Assign(p, static_cast<int>(end - p));
    p = SkipSpaces(end);
    if (*p) {
        const wchar_t* after = nullptr;
        long size = ReadLong(p, &after, 1, 1000, 10);
        if (after != p) {
            font.size = static_cast<int>(size);
            p = SkipSpaces(after);
        }
    }
    while (*p) {
        end = SkipWord(p);
        CUiString word(p, static_cast<int>(end - p));
        if (word == L"bold") font.bold = true;
        else if (word == L"underline") font.underline = true;
        else if (word == L"italic") font.italic = true;
        p = SkipSpaces(end);
    }
    return font;
}

bool ParseMarkupImage(const wchar_t* args, UiMarkupImageArgs* image)
{
    *image = UiMarkupImageArgs();
    const wchar_t* p = SkipSpaces(args);
    if (wcsstr(p, L"file='") || wcsstr(p, L"res='")) {
        // key='value' pairs until something else; the numbers follow them.
        for (;;) {
            p = SkipSpaces(p);
            const wchar_t* eq = p;
            while (*eq > L' ' && *eq != L'=') ++eq;
            if (*eq != L'=' || eq[1] != L'\'') break;
            const wchar_t* value = eq + 2;
            const wchar_t* quote = wcschr(value, L'\'');
            if (!quote) {
                p = value + wcslen(value);
                break;
            }
            CUiString key(p, static_cast<int>(eq - p));
            CUiString text(value, static_cast<int>(quote - value));
            if (key == L"file" || key == L"res") image->name = text;
            else if (key == L"restype") image->resourceType = text;
            p = quote + 1;
        }
    } else {
        const wchar_t* end = SkipWord(p);
        image->name.Assign(p, static_cast<int>(end - p));
        p = end;
    }
    p = SkipSpaces(p);
    if (*p) {
        const wchar_t* after = nullptr;
        image->parts = static_cast<int>(ReadLong(p, &after, 1, 0x7FFFFFFF, 1));
        p = SkipSpaces(after);
        if (*p) image->part = static_cast<int>(ReadLong(p, nullptr, 0, 0x7FFFFFFF, 0));
    }
    if (image->part >= image->parts) image->part = 0;
    return !image->name.IsEmpty();
}

int ParseMarkupPixels(const wchar_t* args, int limit)
{
    return static_cast<int>(ReadLong(SkipSpaces(args), nullptr, 0, limit, 0));
}

bool FindHexCharEntity(const wchar_t* text, wchar_t* ch)
{
    const wchar_t* p = wcsstr(text, L"&#x");
    if (!p) return false;
    p += 3;
    unsigned value = 0;
    int digits = 0;
    for (; digits < 4 && iswxdigit(p[digits]); ++digits) {
        wchar_t c = p[digits];
        value = (value << 4) | static_cast<unsigned>(c <= L'9' ? c - L'0' : (c | 0x20) - L'a' + 10);
    }
    if (digits == 0 || value == 0) return false;
    *ch = static_cast<wchar_t>(value);
    return true;
}

int MarkupWordBreak(const wchar_t* run, int length, int fit)
{
    if (fit <= 0) return 0;
    if (fit > length) fit = length;
    // The break may fall right at the edge when the next character is no letter.
    if (fit < length && !IsLetter(run[fit])) return fit;
    for (int i = fit - 1; i >= 0; --i) {
        if (!IsLetter(run[i])) return i + 1;
    }
    return 0;
}

} // namespace SkinUI
