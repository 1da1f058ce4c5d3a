#include "ui/core/UiLayoutBuilderWindow.h"

#include "ui/core/UiPaintManager.h"
#include "ui/core/UiShadow.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

namespace SkinValue {

void ReadInts(const wchar_t* value, int* out, int count)
{
    const wchar_t* p = value ? value : L"";
    for (int i = 0; i < count; ++i) {
        wchar_t* end = nullptr;
        out[i] = static_cast<int>(wcstol(p, &end, 10));
        p = end;
        // One separator, whatever it is; at the end the rest stay 0.
        if (*p) ++p;
    }
}

DWORD ReadHex(const wchar_t* value)
{
    if (!value) return 0;
    if (*value == L'#') ++value;
    return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

bool ReadBool(const wchar_t* value)
{
    return value && _wcsicmp(value, L"true") == 0;
}

} // namespace SkinValue

namespace {

using SkinValue::ReadBool;
using SkinValue::ReadHex;
using SkinValue::ReadInts;

BYTE ReadAlpha(const wchar_t* value)
{
    // Out of range values clamp rather than wrap: "300" must not become 44.
    return static_cast<BYTE>(std::clamp(_wtoi(value), 0, 255));
}

RECT ReadRect(const wchar_t* value)
{
    int v[4];
    ReadInts(value, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

struct WindowAttribute {
    const wchar_t* name;
    bool exactCase;   // older skins rely on these being ignored when written otherwise
    void (*apply)(CPaintManagerUI& manager, const wchar_t* value);
};

const WindowAttribute kWindowAttributes[] = {
    {L"size", false, [](CPaintManagerUI& m, const wchar_t* v) {
         int s[2];
         ReadInts(v, s, 2);
         m.SetInitSize(s[0], s[1]);
     }},
    {L"sizebox", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetSizeBox(ReadRect(v)); }},
    {L"caption", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetCaptionRect(ReadRect(v)); }},
    {L"roundcorner", false, [](CPaintManagerUI& m, const wchar_t* v) {
         int s[2];
         ReadInts(v, s, 2);
         m.SetRoundCorner(s[0], s[1]);
     }},
    {L"mininfo", false, [](CPaintManagerUI& m, const wchar_t* v) {
         int s[2];
         ReadInts(v, s, 2);
         m.SetMinInfo(s[0], s[1]);
     }},
    {L"maxinfo", false, [](CPaintManagerUI& m, const wchar_t* v) {
         int s[2];
         ReadInts(v, s, 2);
         m.SetMaxInfo(s[0], s[1]);
     }},
    {L"showdirty", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetShowUpdateRect(ReadBool(v)); }},
    {L"opacity", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetOpacity(ReadAlpha(v)); }},
    {L"alpha", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetOpacity(ReadAlpha(v)); }},
    {L"layeredopacity", true, [](CPaintManagerUI& m, const wchar_t* v) { m.SetLayeredOpacity(ReadAlpha(v)); }},
    {L"layered", true, [](CPaintManagerUI& m, const wchar_t* v) { m.SetLayered(ReadBool(v)); }},
    {L"bktrans", true, [](CPaintManagerUI& m, const wchar_t* v) { m.SetLayered(ReadBool(v)); }},
    {L"layeredimage", true, [](CPaintManagerUI& m, const wchar_t* v) {
         m.SetLayered(true);
         m.SetLayeredImage(v);
     }},
    {L"noactivate", true, [](CPaintManagerUI& m, const wchar_t* v) { m.SetNoActivate(ReadBool(v)); }},
    {L"disabledfontcolor", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetDisabledTextColor(ReadHex(v)); }},
    {L"defaultfontcolor", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetTextColor(ReadHex(v)); }},
    {L"linkfontcolor", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetLinkColor(ReadHex(v)); }},
    {L"linkhoverfontcolor", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetLinkHoverColor(ReadHex(v)); }},
    {L"selectedcolor", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetSelectionColor(ReadHex(v)); }},
    {L"shadowsize", false, [](CPaintManagerUI& m, const wchar_t* v) { m.GetShadow().AssignShadowSize(_wtoi(v)); }},
    {L"shadowsharpness", false, [](CPaintManagerUI& m, const wchar_t* v) {
         // A negative value must be refused, not turned into a huge unsigned one that
         // happens to pass.
         const int sharpness = _wtoi(v);
         if (sharpness >= 0) m.GetShadow().AssignShadowSharpness(static_cast<unsigned>(sharpness));
     }},
    {L"shadowdarkness", false, [](CPaintManagerUI& m, const wchar_t* v) {
         const int darkness = _wtoi(v);
         if (darkness >= 0) m.GetShadow().AssignShadowDarkness(static_cast<unsigned>(darkness));
     }},
    {L"shadowposition", false, [](CPaintManagerUI& m, const wchar_t* v) {
         int s[2];
         ReadInts(v, s, 2);
         m.GetShadow().AssignShadowOffset(s[0], s[1]);
     }},
    {L"shadowcolor", false, [](CPaintManagerUI& m, const wchar_t* v) { m.GetShadow().AssignShadowColour(ReadHex(v)); }},
    {L"shadowcorner", false, [](CPaintManagerUI& m, const wchar_t* v) { m.GetShadow().AssignShadowCorner(ReadRect(v)); }},
    {L"shadowimage", false, [](CPaintManagerUI& m, const wchar_t* v) { m.GetShadow().AssignShadowImage(v); }},
    {L"showshadow", false, [](CPaintManagerUI& m, const wchar_t* v) { m.GetShadow().ShowShadow(ReadBool(v)); }},
    {L"gdiplustext", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetUseGdiplusText(ReadBool(v)); }},
    {L"textrenderinghint", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetGdiplusTextRenderingHint(_wtoi(v)); }},
    {L"tooltiphovertime", false, [](CPaintManagerUI& m, const wchar_t* v) { m.SetHoverTime(std::max(_wtoi(v), 0)); }},
};

} // namespace

bool ApplyWindowAttribute(CPaintManagerUI& manager, const wchar_t* name, const wchar_t* value)
{
    if (!name) return false;
    if (!value) value = L"";
    for (const WindowAttribute& attribute : kWindowAttributes) {
        const bool same = attribute.exactCase ? wcscmp(name, attribute.name) == 0
                                              : _wcsicmp(name, attribute.name) == 0;
        if (!same) continue;
        attribute.apply(manager, value);
        return true;
    }
    return false;
}

} // namespace SkinUI
