// The control base's skin attributes: one table entry per name, values through
// the shared parsers, and the attribute-list reader every class goes through.
#include <cstdlib>
#include <cwchar>

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiPaintManager.h"

namespace SkinUI {

namespace {

using C = CControlUI;

// A style can name another style, or itself; nesting deeper than this is a
// skin loop, and the rest of it is ignored instead of overflowing the stack.
constexpr int kMaxStyleDepth = 16;

struct CursorEntry {
    const wchar_t* name;
    WORD id;
};
constexpr CursorEntry kCursors[] = {
    {L"arrow", 32512},    {L"ibeam", 32513},    {L"wait", 32514},     {L"cross", 32515},
    {L"uparrow", 32516},  {L"size", 32640},     {L"icon", 32641},     {L"sizenwse", 32642},
    {L"sizenesw", 32643}, {L"sizewe", 32644},   {L"sizens", 32645},   {L"sizeall", 32646},
    {L"no", 32648},       {L"hand", 32649},
};

// "pos": a negative left or top takes the right or bottom value as the offset,
// so a control can be anchored by its far edge.
void ApplyPos(C& c, const wchar_t* v)
{
    RECT r = UiParse::Rect(v);
    c.AssignFloatOffset(SIZE{r.left >= 0 ? r.left : r.right, r.top >= 0 ? r.top : r.bottom});
    c.AssignPresetWidth(std::abs(r.right - r.left));
    c.AssignPresetHeight(std::abs(r.bottom - r.top));
}

// "float": "true"/"false", or four fractions that anchor the control to its parent.
void ApplyFloat(C& c, const wchar_t* v)
{
    if (!UiParse::HasComma(v)) {
        c.MakeFloating(UiParse::Bool(v));
        return;
    }
    double f[4] = {0, 0, 0, 0};
    const wchar_t* p = v;
    for (int i = 0; i < 4; ++i) {
        // The C runtime's _wtof: wcstod here would be the compiler runtime's
        // own, whose number reader adds some 20 KB to the installer.
        f[i] = _wtof(p);
        p = wcschr(p, L',');
        if (p == nullptr)
            break;
        ++p;
    }
    c.AssignAnchorFractions(UiFloatPercent{f[0], f[1], f[2], f[3]});
    c.MakeFloating(true);
}

// "floatalign": tokens adjust the current alignment one axis at a time.
void ApplyFloatAlign(C& c, const wchar_t* v)
{
    struct Token {
        const wchar_t* word;
        UINT set;
        UINT clear;
    };
    static const Token kTokens[] = {
        {L"left", 0, UIFLOAT_HCENTER | UIFLOAT_RIGHT},
        {L"center", UIFLOAT_HCENTER, UIFLOAT_RIGHT},
        {L"right", UIFLOAT_RIGHT, UIFLOAT_HCENTER},
        {L"top", 0, UIFLOAT_VCENTER | UIFLOAT_BOTTOM},
        {L"vcenter", UIFLOAT_VCENTER, UIFLOAT_BOTTOM},
        {L"bottom", UIFLOAT_BOTTOM, UIFLOAT_VCENTER},
    };
    UINT align = c.FloatAlignment();
    const wchar_t* p = v;
    while (*p) {
        while (*p == L',' || *p == L' ')
            ++p;
        const wchar_t* start = p;
        while (*p && *p != L',' && *p != L' ')
            ++p;
        const size_t length = static_cast<size_t>(p - start);
        if (length == 0)
            continue;
        if (length == 4 && _wcsnicmp(start, L"null", 4) == 0) {
            align = 0;
            continue;
        }
        for (const Token& t : kTokens) {
            if (wcslen(t.word) == length && _wcsnicmp(start, t.word, length) == 0)
                align = (align & ~t.clear) | t.set;
        }
    }
    c.AssignFloatAlignment(align);
}

// "bordersize": one width for the whole outline, or four side widths.
void ApplyBorderSize(C& c, const wchar_t* v)
{
    if (UiParse::HasComma(v)) {
        c.AssignSideBorders(UiParse::Rect(v));
        return;
    }
    c.AssignBorderSize(UiParse::Int(v));
    c.AssignSideBorders(RECT{0, 0, 0, 0});
}

void ApplyCursor(C& c, const wchar_t* v)
{
    if (WORD id = C::CursorIdFromName(v))
        c.AssignCursor(id);
}

const UiAttribute<C> kControlAttributes[] = {
    {L"innerstyle", [](C& c, const wchar_t* v) { c.ApplyAttributes(v); }},
    {L"pos", ApplyPos},
    {L"float", ApplyFloat},
    {L"floatalign", ApplyFloatAlign},
    {L"padding", [](C& c, const wchar_t* v) { c.AssignPadding(UiParse::Rect(v)); }},
    {L"gradient", [](C& c, const wchar_t* v) { c.AssignGradientDirection(v); }},
    {L"bkcolor", [](C& c, const wchar_t* v) { c.AssignBkColor(UiParse::Color(v)); }},
    {L"bkcolor1", [](C& c, const wchar_t* v) { c.AssignBkColor(UiParse::Color(v)); }},
    {L"bkcolor2", [](C& c, const wchar_t* v) { c.AssignBkColor2(UiParse::Color(v)); }},
    {L"bkcolor3", [](C& c, const wchar_t* v) { c.AssignBkColor3(UiParse::Color(v)); }},
    {L"forecolor", [](C& c, const wchar_t* v) { c.AssignForeColor(UiParse::Color(v)); }},
    {L"bordercolor", [](C& c, const wchar_t* v) { c.AssignBorderColor(UiParse::Color(v, false)); }},
    {L"focusbordercolor",
     [](C& c, const wchar_t* v) { c.AssignFocusBorderColor(UiParse::Color(v, false)); }},
    {L"colorhsl", [](C& c, const wchar_t* v) { c.AssignColorHsl(UiParse::Bool(v)); }},
    {L"bordersize", ApplyBorderSize},
    {L"leftbordersize", [](C& c, const wchar_t* v) { c.AssignLeftBorderSize(UiParse::Int(v)); }},
    {L"topbordersize", [](C& c, const wchar_t* v) { c.AssignTopBorderSize(UiParse::Int(v)); }},
    {L"rightbordersize", [](C& c, const wchar_t* v) { c.AssignRightBorderSize(UiParse::Int(v)); }},
    {L"bottombordersize",
     [](C& c, const wchar_t* v) { c.AssignBottomBorderSize(UiParse::Int(v)); }},
    {L"borderstyle", [](C& c, const wchar_t* v) { c.AssignBorderStyle(UiParse::Int(v)); }},
    {L"borderround", [](C& c, const wchar_t* v) { c.AssignBorderRound(UiParse::Size(v)); }},
    {L"bkimage", [](C& c, const wchar_t* v) { c.AssignBkImage(v); }},
    {L"foreimage", [](C& c, const wchar_t* v) { c.AssignForeImage(v); }},
    {L"width", [](C& c, const wchar_t* v) { c.AssignPresetWidth(UiParse::Int(v)); }},
    {L"height", [](C& c, const wchar_t* v) { c.AssignPresetHeight(UiParse::Int(v)); }},
    {L"minwidth", [](C& c, const wchar_t* v) { c.AssignMinimumWidth(UiParse::Int(v)); }},
    {L"minheight", [](C& c, const wchar_t* v) { c.AssignMinimumHeight(UiParse::Int(v)); }},
    {L"maxwidth", [](C& c, const wchar_t* v) { c.AssignMaximumWidth(UiParse::Int(v)); }},
    {L"maxheight", [](C& c, const wchar_t* v) { c.AssignMaximumHeight(UiParse::Int(v)); }},
    {L"name", [](C& c, const wchar_t* v) { c.AssignName(v); }},
    {L"drag", [](C& c, const wchar_t* v) { c.AllowDrag(UiParse::Bool(v)); }},
    {L"drop", [](C& c, const wchar_t* v) { c.AllowDrop(UiParse::Bool(v)); }},
    {L"resourcetext", [](C& c, const wchar_t* v) { c.UseResourceText(UiParse::Bool(v)); }},
    {L"richevent", [](C& c, const wchar_t* v) { c.UseRichEvents(UiParse::Bool(v)); }},
    {L"autotextsizeenable", [](C& c, const wchar_t* v) { c.EnableAutoTextSize(UiParse::Bool(v)); }},
    {L"text", [](C& c, const wchar_t* v) { c.AssignText(v); }},
    {L"tooltip", [](C& c, const wchar_t* v) { c.AssignHint(v); }},
    {L"userdata", [](C& c, const wchar_t* v) { c.AssignUserText(v); }},
    {L"enabled", [](C& c, const wchar_t* v) { c.Enable(UiParse::Bool(v)); }},
    {L"mouse", [](C& c, const wchar_t* v) { c.EnableMouse(UiParse::Bool(v)); }},
    {L"keyboard", [](C& c, const wchar_t* v) { c.EnableKeyboard(UiParse::Bool(v)); }},
    {L"visible", [](C& c, const wchar_t* v) { c.Show(UiParse::Bool(v)); }},
    {L"shortcut", [](C& c, const wchar_t* v) { c.AssignAccessKey(v[0]); }},
    {L"menu", [](C& c, const wchar_t* v) { c.EnableContextMenu(UiParse::Bool(v)); }},
    {L"cursor", ApplyCursor},
    {L"virtualwnd", [](C& c, const wchar_t* v) { c.AssignVirtualWindowName(v); }},
};

} // namespace

WORD CControlUI::CursorIdFromName(const wchar_t* name)
{
    if (!name)
        return 0;
    for (const CursorEntry& c : kCursors) {
        if (_wcsicmp(c.name, name) == 0)
            return c.id;
    }
    return 0;
}

WORD CControlUI::CursorId() const { return m_cursor; }

CUiString CControlUI::CursorName() const
{
    for (const auto& c : kCursors) {
        if (c.id == m_cursor)
            return CUiString(c.name);
    }
    return CUiString();
}

void CControlUI::AssignCursor(WORD cursor)
{
    m_cursor = cursor;
    Repaint();
}

void CControlUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name)
        return;
    if (!value)
        value = L"";
    // A style the manager does not hold is not an error: the pair is kept as a
    // custom attribute like any other unknown name.
    if (_wcsicmp(name, L"style") == 0 && m_manager) {
        if (const wchar_t* style = m_manager->GetStyle(value)) {
            ApplyAttributes(style);
            return;
        }
    }
    if (ApplyFromTable(kControlAttributes, *this, name, value))
        return;
    AddExtraAttribute(name, value);
}

void CControlUI::ApplyAttributes(const wchar_t* list)
{
    if (!list)
        return;
    if (m_styleDepth >= kMaxStyleDepth)
        return;
    struct DepthGuard {
        int& depth;
        explicit DepthGuard(int& d) : depth(d) { ++depth; }
        ~DepthGuard() { --depth; }
    } guard(m_styleDepth);

    if (m_manager) {
        if (const wchar_t* style = m_manager->GetStyle(list)) {
            // Copy first: applying may replace the manager's style table.
            CUiString styleList(style);
            ApplyAttributes(styleList);
            return;
        }
    }

    CUiString copy(list);
    copy.Replace(L"&quot;", L"\"");
    const wchar_t* p = copy.GetData();
    while (*p) {
        const wchar_t* nameStart = p;
        while (*p && *p != L'=')
            p = CharNextW(p);
        if (*p != L'=')
            return;
        CUiString name(nameStart, static_cast<int>(p - nameStart));
        p = CharNextW(p);
        if (*p != L'"')
            return;
        p = CharNextW(p);
        const wchar_t* valueStart = p;
        while (*p && *p != L'"')
            p = CharNextW(p);
        if (*p != L'"')
            return;   // no closing quote: the pair is not applied
        CUiString value(valueStart, static_cast<int>(p - valueStart));
        ApplyAttribute(name, value);
        p = CharNextW(p);
        if (*p == L' ') {
            p = CharNextW(p);
            continue;
        }
        if (*p == L'\0')
            return;
        p = CharNextW(p);
        if (*p != L',')
            return;
        p = CharNextW(p);
    }
}

} // namespace SkinUI
