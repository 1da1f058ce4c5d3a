// Solid fills, gradients, GDI+ strokes and the hue/saturation/lightness shift.
#include "ui/render/UiColor.h"

#include <algorithm>
#include <cmath>

#include <gdiplus.h>

#include "ui/render/UiGdi.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiMsimg.h"

namespace SkinUI {

namespace {

inline BYTE Alpha(DWORD c) { return static_cast<BYTE>(c >> 24); }
inline BYTE Red(DWORD c) { return static_cast<BYTE>(c >> 16); }
inline BYTE Green(DWORD c) { return static_cast<BYTE>(c >> 8); }
inline BYTE Blue(DWORD c) { return static_cast<BYTE>(c); }

Gdiplus::Color ToGdiplus(DWORD argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

// The system's GradientFill unless the software path is forced or it is missing.
UiGradientFillProc SystemGradientFill()
{
    if (GetBlendPath() == UI_BLEND_SOFTWARE) return nullptr;
    return GetMsimgEntries().gradientFill;
}

// Bands of solid colour from colour 2 at the bottom (or right) edge to colour 1,
// more of them for more steps.
void FillBands(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical, int steps)
{
    int shift = steps < 4 ? 1 : steps < 8 ? 2 : steps < 16 ? 3 : steps < 32 ? 4 : steps < 64 ? 5 : 6;
    int bands = 1 << shift;
    long long span = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    for (int i = 0; i < bands; ++i) {
        // Band i runs from the edge's i-th to its (i+1)-th division, counted from the far edge.
        LONG nearOffset = static_cast<LONG>(span * i / bands);
        LONG farOffset = static_cast<LONG>(span * (i + 1) / bands);
        if (farOffset == nearOffset) continue;
        RECT band = rect;
        if (vertical) {
            band.bottom = rect.bottom - nearOffset;
            band.top = rect.bottom - farOffset;
        } else {
            band.right = rect.right - nearOffset;
            band.left = rect.right - farOffset;
        }
        auto mix = [&](BYTE c1, BYTE c2) { return static_cast<BYTE>((c2 * (bands - i) + c1 * i) / bands); };
        CUiBrush brush(CreateSolidBrush(RGB(mix(Red(color1), Red(color2)), mix(Green(color1), Green(color2)),
                                            mix(Blue(color1), Blue(color2)))));
        if (brush) FillRect(dc, &band, brush);
    }
}

void DrawGradient(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical, int steps)
{
    UiGradientFillProc gradientFill = SystemGradientFill();
    if (gradientFill == nullptr) {
        FillBands(dc, rect, color1, color2, vertical, steps);
        return;
    }
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rect.left;
    vertices[0].y = rect.top;
    vertices[0].Red = static_cast<COLOR16>(Red(color1) << 8);
    vertices[0].Green = static_cast<COLOR16>(Green(color1) << 8);
    vertices[0].Blue = static_cast<COLOR16>(Blue(color1) << 8);
    vertices[0].Alpha = 0xFF00;
    vertices[1].x = rect.right;
    vertices[1].y = rect.bottom;
    vertices[1].Red = static_cast<COLOR16>(Red(color2) << 8);
    vertices[1].Green = static_cast<COLOR16>(Green(color2) << 8);
    vertices[1].Blue = static_cast<COLOR16>(Blue(color2) << 8);
    vertices[1].Alpha = 0xFF00;
    GRADIENT_RECT index = {0, 1};
    gradientFill(dc, vertices, 2, &index, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

double HueToChannel(double p, double q, double t)
{
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 1.0 / 2) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

BYTE ToByte(double v) { return static_cast<BYTE>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

} // namespace

void FillColor(HDC dc, const RECT& rect, DWORD color)
{
    if (dc == nullptr || Alpha(color) == 0) return;
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::SolidBrush brush(ToGdiplus(color));
    graphics.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                           static_cast<INT>(rect.right - rect.left), static_cast<INT>(rect.bottom - rect.top));
}

void FillGradient(HDC dc, const RECT& rect, DWORD color1, DWORD color2, bool vertical, int steps)
{
    if (dc == nullptr || rect.right <= rect.left || rect.bottom <= rect.top) return;
    int alpha = (Alpha(color1) + Alpha(color2)) / 2;
    if (alpha == 0) return;
    if (alpha == 255) {
        DrawGradient(dc, rect, color1, color2, vertical, steps);
        return;
    }
    // Translucent: compose off screen, then lay the result over at the mean alpha.
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BYTE* bits = nullptr;
    CUiBitmap surface(CreateArgbSurface(dc, width, height, &bits));
    CUiMemoryDC memory(dc);
    if (!surface || !memory || bits == nullptr) return;
    CUiSelectObject select(memory, surface);
    if (!select.Ok()) return;
    RECT local = {0, 0, width, height};
    DrawGradient(memory, local, color1, color2, vertical, steps);
    GdiFlush();
    // GDI leaves the fourth byte as it pleases; the gradient itself is opaque, so the
    // blend must see it as opaque too (a zero here would add colour instead of mixing).
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) bits[i * 4 + 3] = 255;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
    UiAlphaBlend(dc, rect.left, rect.top, width, height, memory, 0, 0, width, height, blend);
}

void StrokeLine(HDC dc, const RECT& rect, int width, DWORD color)
{
    if (dc == nullptr) return;
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::Pen pen(ToGdiplus(color), static_cast<Gdiplus::REAL>(width));
    pen.SetAlignment(Gdiplus::PenAlignmentInset);
    graphics.DrawLine(&pen, static_cast<INT>(rect.left), static_cast<INT>(rect.top), static_cast<INT>(rect.right),
                      static_cast<INT>(rect.bottom));
}

void StrokeRect(HDC dc, const RECT& rect, int width, DWORD color)
{
    if (dc == nullptr) return;
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::Pen pen(ToGdiplus(color), static_cast<Gdiplus::REAL>(width));
    pen.SetAlignment(Gdiplus::PenAlignmentInset);
    graphics.DrawRectangle(&pen, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                           static_cast<INT>(rect.right - rect.left - 1), static_cast<INT>(rect.bottom - rect.top - 1));
}

void StrokeRoundRect(HDC dc, const RECT& rect, int width, int cx, int cy, DWORD color)
{
    if (dc == nullptr) return;
    int r = cx / 2;
    if (r <= 0) {
        // No corner to round: an arc of zero size is not a path GDI+ accepts.
        StrokeRect(dc, rect, width, color);
        return;
    }
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Gdiplus::Pen pen(ToGdiplus(color), static_cast<Gdiplus::REAL>(width));
    INT l = rect.left, t = rect.top;
    INT rt = rect.right - 1, b = rect.bottom - 1;
    INT d = 2 * r;
    Gdiplus::GraphicsPath path;
    path.AddLine(l + r, t, rt - r, t);
    path.AddArc(rt - d, t, d, d, 270, 90);
    path.AddLine(rt, t + r, rt, b - r);
    path.AddArc(rt - d, b - d, d, d, 0, 90);
    path.AddLine(rt - r, b, l + r, b);
    path.AddArc(l, b - d, d, d, 90, 90);
    path.AddLine(l, b - r, l, t + r);
    path.AddArc(l, t, d, d, 180, 90);
    graphics.DrawPath(&pen, &path);
}

DWORD ShiftHsl(DWORD color, short hue, short saturation, short lightness)
{
    if (hue == 180 && saturation == 100 && lightness == 100) return color;
    double r = Red(color) / 255.0, g = Green(color) / 255.0, b = Blue(color) / 255.0;
    double high = std::max({r, g, b}), low = std::min({r, g, b});
    double h = 0, s = 0, l = (high + low) / 2;
    if (high != low) {
        double d = high - low;
        s = l > 0.5 ? d / (2 - high - low) : d / (high + low);
        if (high == r)
            h = (g - b) / d + (g < b ? 6 : 0);
        else if (high == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h *= 60;
    }
    h += hue - 180;
    if (h <= 0) h += 360;
    h = std::fmod(h, 360.0);
    // Past 100 % the shift saturates rather than leaving the colour space.
    s = std::clamp(s * saturation / 100, 0.0, 1.0);
    l = std::clamp(l * lightness / 100, 0.0, 1.0);
    double nr = l, ng = l, nb = l;
    if (s > 0) {
        double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        double p = 2 * l - q;
        double t = h / 360;
        nr = HueToChannel(p, q, t + 1.0 / 3);
        ng = HueToChannel(p, q, t);
        nb = HueToChannel(p, q, t - 1.0 / 3);
    }
    return (color & 0xFF000000) | static_cast<DWORD>(ToByte(nr)) << 16 | static_cast<DWORD>(ToByte(ng)) << 8 |
           ToByte(nb);
}

} // namespace SkinUI
