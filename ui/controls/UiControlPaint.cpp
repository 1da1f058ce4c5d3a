// The control base's painting: clip to the (rounded) item rectangle, then the
// common layers from the back colour up to the border.
#include "ui/controls/UiClip.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiColor.h"
#include "ui/render/UiImageSpec.h"
#include "ui/render/UiText.h"

namespace SkinUI {

bool CControlUI::Render(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    if (this == stopControl)
        return false;
    if (!IntersectRect(&m_paintRect, &paintRect, &m_itemRect))
        return true;
    return RenderLayers(dc, paintRect, stopControl);
}

bool CControlUI::RenderLayers(HDC dc, const RECT& /*paintRect*/, CControlUI* /*stopControl*/)
{
    const SIZE round = BorderRound();
    CUiClipScope clip(dc, m_paintRect, m_itemRect, round.cx, round.cy);
    DrawBackColor(dc);
    DrawBackImage(dc);
    DrawStateImage(dc);
    DrawForeColor(dc);
    DrawForeImage(dc);
    DrawLabel(dc);
    DrawBorder(dc);
    return true;
}

DWORD CControlUI::TintColor(DWORD color) const
{
    if (!m_colorHsl || !CPaintManagerUI::IsColorAdjustmentOn())
        return color;
    short hue = 180, saturation = 100, lightness = 100;
    CPaintManagerUI::GetColorAdjustment(&hue, &saturation, &lightness);
    return ShiftHsl(color, hue, saturation, lightness);
}

void CControlUI::DrawBackColor(HDC dc)
{
    if (m_bkColor1 == 0)
        return;
    const DWORD c1 = TintColor(m_bkColor1);
    const bool vertical = m_gradient.CompareNoCase(L"hor") != 0;
    if (m_bkColor2 == 0) {
        // An opaque fill only needs the dirty part; a translucent one is blended
        // over the whole item (the clip keeps it inside the dirty part anyway).
        const bool opaque = (m_bkColor1 >> 24) == 0xFF;
        FillColor(dc, opaque ? m_paintRect : m_itemRect, c1);
        return;
    }
    const DWORD c2 = TintColor(m_bkColor2);
    if (m_bkColor3 != 0) {
        const DWORD c3 = TintColor(m_bkColor3);
        const LONG middle = (m_itemRect.top + m_itemRect.bottom) / 2;
        RECT upper = m_itemRect;
        upper.bottom = middle;
        RECT lower = m_itemRect;
        lower.top = middle;
        FillGradient(dc, upper, c1, c2, vertical, 8);
        FillGradient(dc, lower, c2, c3, vertical, 8);
        return;
    }
    FillGradient(dc, m_itemRect, c1, c2, vertical, 16);
}

void CControlUI::DrawBackImage(HDC dc)
{
    if (!m_bkImage.IsEmpty())
        PaintImage(dc, m_bkImage);
}

void CControlUI::DrawStateImage(HDC) {}

void CControlUI::DrawForeColor(HDC dc)
{
    if (m_foreColor != 0)
        FillColor(dc, m_itemRect, TintColor(m_foreColor));
}

void CControlUI::DrawForeImage(HDC dc)
{
    if (!m_foreImage.IsEmpty())
        PaintImage(dc, m_foreImage);
}

void CControlUI::DrawLabel(HDC) {}
void CControlUI::DrawAfterChildren(HDC) {}

void CControlUI::DrawBorder(HDC dc)
{
    if (m_borderColor == 0 && m_focusBorderColor == 0)
        return;
    const int size = BorderSize();
    const SIZE round = BorderRound();
    const RECT sides = SideBorders();
    const DWORD border = TintColor(m_borderColor);
    const bool focusColored = m_focused && m_focusBorderColor != 0;
    const DWORD focus = TintColor(m_focusBorderColor);

    if (size > 0 && (round.cx > 0 || round.cy > 0)) {
        StrokeRoundRect(dc, m_itemRect, size, round.cx, round.cy, focusColored ? focus : border);
        return;
    }
    if (focusColored && size > 0) {
        StrokeRect(dc, m_itemRect, size, focus);
        return;
    }
    if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
        const RECT& r = m_itemRect;
        if (sides.left > 0)
            StrokeLine(dc, RECT{r.left, r.top, r.left, r.bottom}, sides.left, border);
        if (sides.top > 0)
            StrokeLine(dc, RECT{r.left, r.top, r.right, r.top}, sides.top, border);
        if (sides.right > 0)
            StrokeLine(dc, RECT{r.right - 1, r.top, r.right - 1, r.bottom}, sides.right, border);
        if (sides.bottom > 0)
            StrokeLine(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom - 1}, sides.bottom, border);
        return;
    }
    if (size > 0)
        StrokeRect(dc, m_itemRect, size, border);
}

bool CControlUI::PaintImage(HDC dc, const wchar_t* imageString, const wchar_t* modify)
{
    if (!m_manager || !imageString || !*imageString)
        return false;
    return PaintImageSpec(dc, m_manager, m_itemRect, m_paintRect, imageString, modify);
}

SIZE CControlUI::TextExtent(const wchar_t* text, int font)
{
    SIZE size = {0, 0};
    if (!m_manager || !text)
        return size;
    HDC dc = m_manager->GetPaintDC();
    HDC scratch = nullptr;
    if (!dc) {
        // Measuring before the window exists: a screen-compatible DC has the
        // same text metrics.
        scratch = CreateCompatibleDC(nullptr);
        dc = scratch;
    }
    if (!dc)
        return size;
    RECT rect = {0, 0, 9999, 9999};
    DrawPlainText(dc, m_manager, rect, text, 0, font, DT_CALCRECT | DT_SINGLELINE);
    if (scratch)
        DeleteDC(scratch);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}

} // namespace SkinUI
