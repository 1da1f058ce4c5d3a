// Image attribute strings: "file='btn.png' source='0,0,20,20' corner='4,4,4,4'".
#include "ui/render/UiImageSpec.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>

#include "ui/core/UiDpi.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiImage.h"

namespace SkinUI {

namespace {

// Lengths past a million pixels are nonsense; keeping numbers below that leaves
// room for DPI scaling and rectangle arithmetic without overflow.
const long kNumberLimit = 1000000;

long ParseNumber(const wchar_t* text, const wchar_t** next)
{
    wchar_t* end = nullptr;
    long value = wcstol(text, &end, 10);
    *next = end;
    return std::clamp(value, -kNumberLimit, kNumberLimit);
}

// Comma-separated integers; a malformed or missing field is 0.
void ParseNumbers(const wchar_t* text, long* values, int count)
{
    const wchar_t* p = text;
    for (int i = 0; i < count; ++i) {
        values[i] = 0;
        if (*p == L'\0') continue;
        values[i] = ParseNumber(p, &p);
        if (*p != L'\0') ++p; // the separator, or one character of garbage
    }
}

RECT ParseRect(const wchar_t* text)
{
    long v[4];
    ParseNumbers(text, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

bool ParseBool(const wchar_t* text) { return _wcsicmp(text, L"true") == 0; }

struct ParseContext {
    UiImageSpec* spec;
    const CUiDpi* dpi; // null: no manager, lengths stay as written
};

RECT ScaledRect(const ParseContext& ctx, const wchar_t* value)
{
    RECT rect = ParseRect(value);
    return ctx.dpi ? ctx.dpi->Scale(rect) : rect;
}

// Corner and padding hold four widths, not a rectangle: each scales on its own,
// so the right border does not depend on the left one's rounding.
RECT ScaledWidths(const ParseContext& ctx, const wchar_t* value)
{
    RECT widths = ParseRect(value);
    if (ctx.dpi) {
        widths.left = ctx.dpi->Scale(static_cast<int>(widths.left));
        widths.top = ctx.dpi->Scale(static_cast<int>(widths.top));
        widths.right = ctx.dpi->Scale(static_cast<int>(widths.right));
        widths.bottom = ctx.dpi->Scale(static_cast<int>(widths.bottom));
    }
    return widths;
}

using KeySetter = void (*)(const ParseContext& ctx, const wchar_t* value);

struct KeyEntry {
    const wchar_t* key;
    KeySetter set;
};

const KeyEntry kKeys[] = {
    {L"file", [](const ParseContext& c, const wchar_t* v) { c.spec->name = v; }},
    {L"res", [](const ParseContext& c, const wchar_t* v) { c.spec->name = v; }},
    {L"restype", [](const ParseContext& c, const wchar_t* v) { c.spec->resourceType = v; }},
    {L"dest", [](const ParseContext& c, const wchar_t* v) { c.spec->dest = ScaledRect(c, v); }},
    {L"source", [](const ParseContext& c, const wchar_t* v) { c.spec->source = ScaledRect(c, v); }},
    {L"corner", [](const ParseContext& c, const wchar_t* v) { c.spec->corner = ScaledWidths(c, v); }},
    {L"padding", [](const ParseContext& c, const wchar_t* v) { c.spec->padding = ScaledWidths(c, v); }},
    {L"mask",
     [](const ParseContext& c, const wchar_t* v) {
         if (*v == L'#') ++v;
         c.spec->mask = static_cast<DWORD>(wcstoul(v, nullptr, 16));
     }},
    {L"fade",
     [](const ParseContext& c, const wchar_t* v) {
         const wchar_t* end;
         c.spec->fade = static_cast<BYTE>(std::clamp(ParseNumber(v, &end), 0L, 255L));
     }},
    {L"hole", [](const ParseContext& c, const wchar_t* v) { c.spec->hole = ParseBool(v); }},
    {L"xtiled", [](const ParseContext& c, const wchar_t* v) { c.spec->xTiled = ParseBool(v); }},
    {L"ytiled", [](const ParseContext& c, const wchar_t* v) { c.spec->yTiled = ParseBool(v); }},
    {L"hsl", [](const ParseContext& c, const wchar_t* v) { c.spec->hsl = ParseBool(v); }},
    {L"size",
     [](const ParseContext& c, const wchar_t* v) {
         long size[2];
         ParseNumbers(v, size, 2);
         c.spec->size = SIZE{size[0], size[1]};
     }},
    {L"align", [](const ParseContext& c, const wchar_t* v) { c.spec->align = v; }},
};

void ApplyKey(const ParseContext& ctx, const CUiString& key, const CUiString& value)
{
    for (const KeyEntry& entry : kKeys) {
        if (key == entry.key) {
            entry.set(ctx, value);
            return;
        }
    }
}

inline bool IsBlank(wchar_t c) { return c != L'\0' && c <= L' '; }

// key='value' pairs separated by a space; anything else ends the string.
void ParseAttributes(const ParseContext& ctx, const wchar_t* text)
{
    if (text == nullptr) return;
    CUiString key, value;
    const wchar_t* p = text;
    while (*p != L'\0') {
        while (IsBlank(*p)) ++p;
        const wchar_t* keyStart = p;
        while (*p > L' ' && *p != L'=') ++p;
        key.Assign(keyStart, static_cast<int>(p - keyStart));
        while (IsBlank(*p)) ++p;
        if (*p != L'=') return;
        ++p;
        while (IsBlank(*p)) ++p;
        if (*p != L'\'') return;
        const wchar_t* valueStart = ++p;
        while (*p != L'\0' && *p != L'\'') ++p;
        value.Assign(valueStart, static_cast<int>(p - valueStart));
        // An unterminated value still counts: the text ends where the quote would be.
        if (!value.IsEmpty()) ApplyKey(ctx, key, value);
        if (*p != L'\'') return;
        ++p;
        if (*p != L' ') return;
        ++p;
    }
}

// At a DPI above 100 %, "btn.png" may have sharper siblings "btn@2x.png",
// "btn@1.75x.png", ...: the first that loads wins. It stays in the manager's image
// table, where drawing looks it up again.
void FindScaledVariant(UiImageSpec* spec, CPaintManagerUI* manager)
{
    for (int percent = manager->GetScale(); percent > 100; percent -= 25) {
        CUiString variant = CUiDpi::VariantName(spec->name, percent);
        // Without an extension there is no variant to look for, only the name itself.
        if (variant.IsEmpty() || variant == spec->name) return;
        if (manager->GetImageEx(variant, nullptr, spec->mask) != nullptr) {
            spec->name = variant;
            spec->imageScale = percent / 100.0;
            return;
        }
    }
}

// Whole words of the align text ("vcenter" does not contain the word "center").
bool HasWord(const CUiString& text, const wchar_t* word)
{
    size_t length = wcslen(word);
    const wchar_t* p = text.GetData();
    while (*p != L'\0') {
        while (*p != L'\0' && !iswalpha(*p)) ++p;
        const wchar_t* start = p;
        while (iswalpha(*p)) ++p;
        if (static_cast<size_t>(p - start) == length && _wcsnicmp(start, word, length) == 0) return true;
    }
    return false;
}

} // namespace

void ParseImageSpec(UiImageSpec* spec, const wchar_t* drawString, const wchar_t* modifierString,
                    CPaintManagerUI* manager)
{
    if (spec == nullptr) return;
    *spec = UiImageSpec();
    spec->drawString = drawString;
    spec->modifierString = modifierString;
    // A string that is nothing but a file name names that file.
    spec->name = spec->drawString;
    ParseContext ctx = {spec, manager ? &manager->GetDpi() : nullptr};
    ParseAttributes(ctx, drawString);
    ParseAttributes(ctx, modifierString);
    if (manager && !spec->name.IsEmpty()) FindScaledVariant(spec, manager);
}

RECT ImageSpecDestination(const UiImageSpec& spec, const RECT& item)
{
    RECT dest = item;
    const RECT& d = spec.dest;
    if (d.left != 0 || d.top != 0 || d.right != 0 || d.bottom != 0)
        dest = RECT{item.left + d.left, item.top + d.top, item.left + d.right, item.top + d.bottom};
    const SIZE& size = spec.size;
    if (size.cx <= 0 || size.cy <= 0) return dest;

    const CUiString& align = spec.align;
    if (HasWord(align, L"left")) {
        dest.left = item.left;
        dest.right = dest.left + size.cx;
    } else if (HasWord(align, L"center")) {
        dest.left = item.left + (item.right - size.cx - item.left) / 2;
        dest.right = dest.left + size.cx;
    } else if (HasWord(align, L"right")) {
        dest.left = item.right - size.cx;
        dest.right = dest.left + size.cx;
    }
    if (HasWord(align, L"top")) {
        dest.top = item.top;
        dest.bottom = dest.top + size.cy;
    } else if (HasWord(align, L"vcenter")) {
        dest.top = item.top + (item.bottom - item.top - size.cy) / 2;
        dest.bottom = dest.top + size.cy;
    } else if (HasWord(align, L"bottom")) {
        dest.top = item.bottom - size.cy;
        dest.bottom = dest.top + size.cy;
    }
    OffsetRect(&dest, spec.padding.left - spec.padding.right, spec.padding.top - spec.padding.bottom);
    dest.right = std::min(dest.right, item.right);
    dest.bottom = std::min(dest.bottom, item.bottom);
    return dest;
}

bool PaintImageSpec(HDC dc, CPaintManagerUI* manager, const RECT& itemRect, const RECT& paintRect,
                    const wchar_t* drawString, const wchar_t* modifierString, HINSTANCE module)
{
    if (manager == nullptr || dc == nullptr) return false;
    const UiImageSpec* spec = manager->GetImageSpec(drawString, modifierString);
    if (spec == nullptr || spec->name.IsEmpty()) return false;
    RECT dest = ImageSpecDestination(*spec, itemRect);

    const wchar_t* type = spec->resourceType.IsEmpty() ? nullptr : spec->resourceType.GetData();
    UiImageInfo* image = manager->GetImageEx(spec->name, type, spec->mask);
    if (image == nullptr || image->bitmap == nullptr) return false;

    // Source and corner were scaled to device pixels with the manager's DPI; the
    // blit turns them into pixels of the chosen bitmap: an @2x image at 200 % maps
    // one to one, a plain image at 200 % at half.
    int percent = manager->GetScale();
    double scale = percent > 0 ? spec->imageScale * 100.0 / percent : spec->imageScale;
    RECT source = spec->source;
    LONG width = static_cast<LONG>(std::ceil(image->width / scale - 1e-9));
    LONG height = static_cast<LONG>(std::ceil(image->height / scale - 1e-9));
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0)
        source = RECT{0, 0, width, height};
    source.right = std::min(source.right, width);
    source.bottom = std::min(source.bottom, height);

    RECT meet;
    if (!IntersectRect(&meet, &dest, &itemRect) || !IntersectRect(&meet, &dest, &paintRect)) return true;
    bool alpha = manager->IsLayered() || image->hasAlpha;
    BlitNinePart(dc, image->bitmap, dest, paintRect, source, spec->corner, alpha, spec->fade, spec->hole,
                 spec->xTiled, spec->yTiled, scale);
    return true;
}

} // namespace SkinUI
