// Plain text: GDI's DrawText, or GDI+ for layered windows (where GDI writes no
// alpha) and when the skin asks for it.
#include "ui/render/UiText.h"

#include <memory>
#include <objidl.h>
#include <gdiplus.h>

#include "ui/core/UiPaintManager.h"
#include "ui/render/UiColor.h"
#include "ui/render/UiGdi.h"
#include "ui/render/UiMarkup.h"

namespace SkinUI {

namespace {

COLORREF ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

Gdiplus::TextRenderingHint RenderingHint(int hint)
{
    if (hint >= 1 && hint <= 5) return static_cast<Gdiplus::TextRenderingHint>(hint);
    return Gdiplus::TextRenderingHintSystemDefault;
}

void DrawWithGdiplus(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                     DWORD color, HFONT font, UINT format)
{
    CUiSelectObject selected(dc, font);
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;   // GDI+ not started
    LOGFONTW logFont = {};
    std::unique_ptr<Gdiplus::Font> gdipFont;
    if (font && GetObjectW(font, sizeof(logFont), &logFont)) gdipFont.reset(new Gdiplus::Font(dc, &logFont));
    if (!gdipFont || gdipFont->GetLastStatus() != Gdiplus::Ok) gdipFont.reset(new Gdiplus::Font(dc));
    if (gdipFont->GetLastStatus() != Gdiplus::Ok) return;

    graphics.SetTextRenderingHint(RenderingHint(manager->GetGdiplusTextRenderingHint()));
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);

    // 0xFE, not 0xFF: GDI+ then blends instead of writing the pixels as they are,
    // which keeps the alpha channel of a layered window's surface intact.
    Gdiplus::SolidBrush brush(Gdiplus::Color(0xFE, (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF));

    Gdiplus::StringFormat stringFormat(Gdiplus::StringFormat::GenericTypographic());
    if (format & DT_END_ELLIPSIS) stringFormat.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    INT flags = stringFormat.GetFormatFlags();
    if (format & DT_NOCLIP) flags |= Gdiplus::StringFormatFlagsNoClip;
    if (format & DT_SINGLELINE) flags |= Gdiplus::StringFormatFlagsNoWrap;
    stringFormat.SetFormatFlags(flags);
    if (format & DT_CENTER) stringFormat.SetAlignment(Gdiplus::StringAlignmentCenter);
    else if (format & DT_RIGHT) stringFormat.SetAlignment(Gdiplus::StringAlignmentFar);
    else stringFormat.SetAlignment(Gdiplus::StringAlignmentNear);
    if (format & DT_VCENTER) stringFormat.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    else if (format & DT_BOTTOM) stringFormat.SetLineAlignment(Gdiplus::StringAlignmentFar);
    else stringFormat.SetLineAlignment(Gdiplus::StringAlignmentNear);

    // GDI+ knows no prefixes; "&&" still means one ampersand.
    CUiString unescaped(text);
    unescaped.Replace(L"&&", L"&");

    Gdiplus::RectF box(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                       static_cast<Gdiplus::REAL>(rect.right - rect.left),
                       static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
    if (format & DT_CALCRECT) {
        Gdiplus::RectF bounds;
        graphics.MeasureString(unescaped, -1, gdipFont.get(), box, &stringFormat, &bounds);
        rect.right = static_cast<LONG>(rect.left + bounds.Width + 1);
        rect.bottom = static_cast<LONG>(rect.top + bounds.Height + 1);
        return;
    }
    // The layout box alone lets glyph edges and a cut last line spill over (Wine's
    // GDI+ does); unless asked not to clip, the rectangle is a hard limit as in GDI.
    if (!(format & DT_NOCLIP)) graphics.SetClip(box, Gdiplus::CombineModeIntersect);
    graphics.DrawString(unescaped, -1, gdipFont.get(), box, &stringFormat, &brush);
}

void DrawWithGdi(HDC dc, RECT& rect, const wchar_t* text, DWORD color, HFONT font, UINT format)
{
    CUiSelectObject selected(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, ToColorRef(color));
    // A text that carries "&#x4E2D;" stands for that one character.
    wchar_t single = 0;
    if (FindHexCharEntity(text, &single)) DrawTextW(dc, &single, 1, &rect, format);
    else DrawTextW(dc, text, -1, &rect, format);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

} // namespace

void DrawPlainText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                   DWORD color, int font, UINT format)
{
    if (!dc || !manager || !text) return;
    HFONT handle = manager->GetFont(font);
    if (manager->IsLayered() || manager->IsUseGdiplusText()) DrawWithGdiplus(dc, manager, rect, text, color, handle, format);
    else DrawWithGdi(dc, rect, text, color, handle, format);
}

void DrawPlainTextOnColour(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                           DWORD textColor, int font, UINT format, DWORD backColor)
{
    if (!dc) return;
    FillColor(dc, rect, backColor);
    DrawPlainText(dc, manager, rect, text, textColor, font, format);
}

} // namespace SkinUI
