#include "ui/controls/UiLabel.h"

#include <cwchar>

#include "ui/controls/UiAttributeTable.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiText.h"

namespace SkinUI {

CLabelUI::CLabelUI() = default;

const wchar_t* CLabelUI::TypeName() const { return L"LabelUI"; }

void* CLabelUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"Label") == 0)
        return this;
    return CControlUI::InterfaceFor(name);
}

UINT CLabelUI::Flags() const { return Enabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u; }

void CLabelUI::AssignText(const wchar_t* text)
{
    CControlUI::AssignText(text);
    m_estimateStale = true;
    if (m_autoWidth || m_autoHeight)
        RequestParentLayout();
}

void CLabelUI::ProcessEvent(UiEvent& event)
{
    // The label keeps the focus flag without repainting for it.
    if (event.kind == UIEVENT_SETFOCUS) {
        m_focused = true;
        return;
    }
    if (event.kind == UIEVENT_KILLFOCUS) {
        m_focused = false;
        return;
    }
    CControlUI::ProcessEvent(event);
}

bool CLabelUI::AutoWidth() const { return m_autoWidth; }
void CLabelUI::AssignAutoWidth(bool autoWidth)
{
    m_autoWidth = autoWidth;
    m_estimateStale = true;
}
bool CLabelUI::AutoHeight() const { return m_autoHeight; }
void CLabelUI::AssignAutoHeight(bool autoHeight)
{
    m_autoHeight = autoHeight;
    m_estimateStale = true;
}

void CLabelUI::AssignTextStyle(UINT style)
{
    m_textStyle = style;
    m_estimateStale = true;
    Repaint();
}
void CLabelUI::AssignTextColor(DWORD color)
{
    m_textColor = color;
    Repaint();
}
void CLabelUI::AssignDisabledTextColor(DWORD color)
{
    m_disabledTextColor = color;
    Repaint();
}
void CLabelUI::AssignFont(int font)
{
    m_font = font;
    m_estimateStale = true;
    Repaint();
}
RECT CLabelUI::TextPadding() const { return ScaleRect(m_textPadding); }
void CLabelUI::AssignTextPadding(RECT padding)
{
    m_textPadding = padding;
    m_estimateStale = true;
    Repaint();
}
void CLabelUI::ShowHtml(bool show)
{
    if (m_showHtml == show)
        return;
    m_showHtml = show;
    m_estimateStale = true;
    Repaint();
}

// ---- measuring and drawing

RECT CLabelUI::MeasureText(const wchar_t* text, RECT rect, UINT format, int font)
{
    if (!m_manager || !text)
        return rect;
    HDC dc = m_manager->GetPaintDC();
    HDC scratch = nullptr;
    if (!dc)
        dc = scratch = CreateCompatibleDC(nullptr);
    if (!dc)
        return rect;
    if (m_showHtml) {
        int links = 0;
        DrawMarkedText(dc, m_manager, rect, text, 0, nullptr, nullptr, &links, font,
                       format | DT_CALCRECT);
    } else {
        DrawPlainText(dc, m_manager, rect, text, 0, font, format | DT_CALCRECT);
    }
    if (scratch)
        DeleteDC(scratch);
    return rect;
}

SIZE CLabelUI::MeasureSize(SIZE available)
{
    if (!m_manager)
        return SIZE{0, 0};
    const SIZE fixed = PresetSize();
    if (fixed.cx >= 1 && fixed.cy >= 1)
        return fixed;
    if (!m_estimateStale && available.cx == m_lastAvailable.cx &&
        available.cy == m_lastAvailable.cy)
        return m_estimate;

    SIZE size = fixed;
    const RECT pad = TextPadding();
    const CUiString text = Text();
    if (m_textStyle & DT_SINGLELINE) {
        if (size.cy == 0) {
            UiFontInfo* font = m_manager->GetFontDetails(m_manager->GetFont(m_font));
            size.cy = pad.top + (font ? font->metrics.tmHeight : 0) + pad.bottom + 8;
        }
        if (size.cx == 0 && m_autoWidth) {
            const RECT rc = MeasureText(text, RECT{0, 0, 9999, size.cy},
                                        m_textStyle & ~(DT_CENTER | DT_RIGHT), m_font);
            size.cx = pad.left + pad.right + (rc.right - rc.left);
        }
    } else if (size.cy == 0 && m_autoHeight) {
        const RECT rc = MeasureText(text, RECT{pad.left, 0, size.cx - pad.right, 9999},
                                    m_textStyle, m_font);
        size.cy = (rc.bottom - rc.top) + pad.top + pad.bottom;
    }
    m_estimate = size;
    m_lastAvailable = available;
    m_estimateStale = false;
    return m_estimate;
}

void CLabelUI::ResolveColors()
{
    if (!m_manager)
        return;
    if (m_textColor == 0)
        m_textColor = m_manager->GetTextColor();
    if (m_disabledTextColor == 0)
        m_disabledTextColor = m_manager->GetDisabledTextColor();
}

void CLabelUI::PaintText(HDC dc, DWORD color, int font)
{
    const CUiString text = Text();
    if (text.IsEmpty() || !m_manager)
        return;
    const RECT pad = TextPadding();
    RECT rc = {m_itemRect.left + pad.left, m_itemRect.top + pad.top,
               m_itemRect.right - pad.right, m_itemRect.bottom - pad.bottom};
    if (m_showHtml) {
        int links = 0;
        DrawMarkedText(dc, m_manager, rc, text, color, nullptr, nullptr, &links, font, m_textStyle);
    } else {
        DrawPlainText(dc, m_manager, rc, text, color, font, m_textStyle);
    }
}

void CLabelUI::DrawLabel(HDC dc)
{
    ResolveColors();
    PaintText(dc, Enabled() ? m_textColor : m_disabledTextColor, m_font);
}

// ---- attributes

namespace {

using L = CLabelUI;

// Each word found in the value adjusts the style, in the order of the table.
struct StyleWord {
    const wchar_t* word;
    UINT clear;
    UINT set;
};
constexpr StyleWord kAlignWords[] = {
    {L"left", DT_CENTER | DT_RIGHT, 0},
    {L"center", DT_RIGHT, DT_CENTER},
    {L"right", DT_CENTER, DT_RIGHT},
};
constexpr StyleWord kVAlignWords[] = {
    {L"top", DT_BOTTOM | DT_VCENTER | DT_WORDBREAK, DT_SINGLELINE},
    {L"vcenter", DT_TOP | DT_BOTTOM | DT_WORDBREAK, DT_VCENTER | DT_SINGLELINE},
    {L"bottom", DT_TOP | DT_VCENTER | DT_WORDBREAK, DT_BOTTOM | DT_SINGLELINE},
};

template <size_t N>
void ApplyWords(L& c, const StyleWord (&words)[N], const wchar_t* value)
{
    UINT style = c.TextStyle();
    for (const StyleWord& w : words) {
        if (wcsstr(value, w.word)) {
            style &= ~w.clear;
            style |= w.set;
        }
    }
    c.AssignTextStyle(style);
}

void ApplyFlag(L& c, UINT flag, bool on)
{
    c.AssignTextStyle(on ? (c.TextStyle() | flag) : (c.TextStyle() & ~flag));
}

const UiAttribute<L> kLabelAttributes[] = {
    {L"align", [](L& c, const wchar_t* v) { ApplyWords(c, kAlignWords, v); }},
    {L"valign", [](L& c, const wchar_t* v) { ApplyWords(c, kVAlignWords, v); }},
    {L"endellipsis", [](L& c, const wchar_t* v) { ApplyFlag(c, DT_END_ELLIPSIS, UiParse::Bool(v)); }},
    {L"wordbreak",
     [](L& c, const wchar_t* v) {
         UINT style = c.TextStyle();
         if (UiParse::Bool(v))
             style = (style & ~DT_SINGLELINE) | DT_WORDBREAK | DT_EDITCONTROL;
         else
             style = (style & ~(DT_WORDBREAK | DT_EDITCONTROL)) | DT_SINGLELINE;
         c.AssignTextStyle(style);
     }},
    {L"noprefix", [](L& c, const wchar_t* v) { ApplyFlag(c, DT_NOPREFIX, UiParse::Bool(v)); }},
    {L"font", [](L& c, const wchar_t* v) { c.AssignFont(UiParse::Int(v)); }},
    {L"textcolor", [](L& c, const wchar_t* v) { c.AssignTextColor(UiParse::Color(v)); }},
    {L"disabledtextcolor", [](L& c, const wchar_t* v) { c.AssignDisabledTextColor(UiParse::Color(v)); }},
    {L"textpadding", [](L& c, const wchar_t* v) { c.AssignTextPadding(UiParse::Rect(v)); }},
    {L"showhtml", [](L& c, const wchar_t* v) { c.ShowHtml(UiParse::Bool(v)); }},
    {L"autocalcwidth", [](L& c, const wchar_t* v) { c.AssignAutoWidth(UiParse::Bool(v)); }},
    {L"autocalcheight", [](L& c, const wchar_t* v) { c.AssignAutoHeight(UiParse::Bool(v)); }},
};

} // namespace

void CLabelUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kLabelAttributes, *this, name, value))
        CControlUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
