// The nine-part blit and the alpha blend it goes through.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cwchar>
#include <memory>
#include <vector>

#include "ui/render/UiGdi.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiMsimg.h"

namespace SkinUI {

namespace {

std::atomic<int> g_blendPath{UI_BLEND_AUTO};

// A temporary top-down 32-bit surface with its own memory DC.
class CScratchSurface {
public:
    CScratchSurface(HDC compatible, int width, int height) : m_dc(compatible)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        if (m_dc) m_bitmap.Reset(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (m_bitmap) {
            m_bits = static_cast<BYTE*>(bits);
            m_select = SelectObject(m_dc, m_bitmap);
        }
    }
    ~CScratchSurface()
    {
        if (m_select) SelectObject(m_dc, m_select);
    }
    CScratchSurface(const CScratchSurface&) = delete;
    CScratchSurface& operator=(const CScratchSurface&) = delete;

    bool Ok() const { return m_bits != nullptr && m_select != nullptr; }
    HDC Dc() const { return m_dc; }
    BYTE* Bits() const { return m_bits; }

private:
    CUiMemoryDC m_dc;
    CUiBitmap m_bitmap;
    BYTE* m_bits = nullptr;
    HGDIOBJ m_select = nullptr;
};

inline BYTE Mul255(int a, int b) { return static_cast<BYTE>((a * b + 127) / 255); }

// Premultiplied source-over with a constant alpha on top: the source (colour and
// alpha) is first scaled by the constant, then laid over the destination, whose
// remaining share is what the scaled source alpha leaves. Without per-pixel alpha
// every channel mixes by the constant alone.
inline void BlendPixel(BYTE* d, const BYTE* s, int constant, bool perPixel)
{
    if (perPixel) {
        int b = s[0], g = s[1], r = s[2], a = s[3];
        if (constant != 255) {
            b = Mul255(b, constant);
            g = Mul255(g, constant);
            r = Mul255(r, constant);
            a = Mul255(a, constant);
        }
        int rest = 255 - a;
        d[0] = static_cast<BYTE>(std::min(255, b + Mul255(d[0], rest)));
        d[1] = static_cast<BYTE>(std::min(255, g + Mul255(d[1], rest)));
        d[2] = static_cast<BYTE>(std::min(255, r + Mul255(d[2], rest)));
        d[3] = static_cast<BYTE>(std::min(255, a + Mul255(d[3], rest)));
    } else {
        int rest = 255 - constant;
        for (int i = 0; i < 4; ++i) d[i] = static_cast<BYTE>((s[i] * constant + d[i] * rest + 127) / 255);
    }
}

// The source part of a blend, copied into a top-down surface of our own: the
// layout of whatever bitmap the caller selected (top-down or not, DIB or not) is
// then GDI's business, and a part outside the bitmap is refused as AlphaBlend does.
class CSourcePixels {
public:
    CSourcePixels(HDC src, int sx, int sy, int sw, int sh)
    {
        HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(src, OBJ_BITMAP));
        BITMAP bm = {};
        if (bitmap == nullptr || !GetObjectW(bitmap, sizeof(bm), &bm)) return;
        if (sx < 0 || sy < 0 || sw > bm.bmWidth - sx || sh > bm.bmHeight - sy) return;
        m_copy.reset(new CScratchSurface(src, sw, sh));
        if (!m_copy->Ok() || !BitBlt(m_copy->Dc(), 0, 0, sw, sh, src, sx, sy, SRCCOPY)) {
            m_copy.reset();
            return;
        }
        GdiFlush();
        m_stride = static_cast<ptrdiff_t>(sw) * 4;
    }

    bool Ok() const { return m_copy != nullptr; }
    // Row y of the part, y < sh.
    const BYTE* Row(int y) const { return m_copy->Bits() + y * m_stride; }

private:
    std::unique_ptr<CScratchSurface> m_copy;
    ptrdiff_t m_stride = 0;
};

// The source pixel that destination pixel d shows, picked as AlphaBlend picks it
// from a top-down bitmap (measured): growing, the one under the pixel's centre;
// shrinking, the last one the pixel covers, rounded, counted from the left but
// from the bottom row up.
inline int SourceIndex(int d, int dn, int sn, bool vertical)
{
    long long index;
    if (dn >= sn) {
        index = (2LL * d + 1) * sn / (2LL * dn);
    } else {
        if (vertical) d = dn - 1 - d;
        index = (2LL * (d + 1) * sn - dn) / (2LL * dn);
        if (index >= sn) index = sn - 1;
        if (vertical) index = sn - 1 - index;
    }
    return static_cast<int>(index < 0 ? 0 : index >= sn ? sn - 1 : index);
}

} // namespace

const UiMsimgEntries& GetMsimgEntries()
{
    // Resolved once; the module stays loaded for the life of the process.
    static const UiMsimgEntries entries = [] {
        UiMsimgEntries found;
        HMODULE module = GetModuleHandleW(L"msimg32.dll");
        if (module == nullptr) {
            // Only the system's copy, never one lying next to the executable.
            wchar_t path[MAX_PATH];
            UINT length = GetSystemDirectoryW(path, MAX_PATH);
            if (length > 0 && length < MAX_PATH - 16) {
                wcscpy(path + length, L"\\msimg32.dll");
                module = LoadLibraryW(path);
            }
        }
        if (module != nullptr) {
            found.alphaBlend = reinterpret_cast<UiAlphaBlendProc>(
                reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
            found.gradientFill = reinterpret_cast<UiGradientFillProc>(
                reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")));
        }
        return found;
    }();
    return entries;
}

UiBlendPath GetBlendPath() { return static_cast<UiBlendPath>(g_blendPath.load()); }

void SetBlendPath(UiBlendPath path) { g_blendPath.store(path); }

BOOL SoftwareAlphaBlend(HDC dest, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw,
                        int sh, BLENDFUNCTION blend)
{
    if (dest == nullptr || src == nullptr || blend.BlendOp != AC_SRC_OVER) return FALSE;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return FALSE;
    CSourcePixels source(src, sx, sy, sw, sh);
    if (!source.Ok()) return FALSE;

    // Only the part of the destination that can change is copied out and back.
    RECT target = {dx, dy, dx + dw, dy + dh};
    RECT clip;
    int clipKind = GetClipBox(dest, &clip);
    if (clipKind == ERROR) return FALSE;
    RECT visible;
    if (clipKind == NULLREGION || !IntersectRect(&visible, &target, &clip)) return TRUE;
    int vw = visible.right - visible.left;
    int vh = visible.bottom - visible.top;
    CScratchSurface work(dest, vw, vh);
    if (!work.Ok()) return FALSE;
    if (!BitBlt(work.Dc(), 0, 0, vw, vh, dest, visible.left, visible.top, SRCCOPY)) return FALSE;
    GdiFlush();

    std::vector<int> columns(vw);
    for (int x = 0; x < vw; ++x) columns[x] = SourceIndex(visible.left - dx + x, dw, sw, false);
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const int constant = blend.SourceConstantAlpha;
    BYTE* out = work.Bits();
    for (int y = 0; y < vh; ++y) {
        const BYTE* row = source.Row(SourceIndex(visible.top - dy + y, dh, sh, true));
        for (int x = 0; x < vw; ++x, out += 4) BlendPixel(out, row + columns[x] * 4, constant, perPixel);
    }
    return BitBlt(dest, visible.left, visible.top, vw, vh, work.Dc(), 0, 0, SRCCOPY);
}

BOOL UiAlphaBlend(HDC dest, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh,
                  BLENDFUNCTION blend)
{
    UiBlendPath path = GetBlendPath();
    UiAlphaBlendProc system = GetMsimgEntries().alphaBlend;
    if (path == UI_BLEND_SOFTWARE || (path == UI_BLEND_AUTO && system == nullptr))
        return SoftwareAlphaBlend(dest, dx, dy, dw, dh, src, sx, sy, sw, sh, blend);
    if (system == nullptr) return FALSE;
    return system(dest, dx, dy, dw, dh, src, sx, sy, sw, sh, blend);
}

namespace {

// One call's worth of drawing state: where the bitmap sits and how parts go out.
class CNinePartPainter {
public:
    CNinePartPainter(HDC dc, HDC bitmapDc, const RECT& paint, bool alphaPath, BYTE fade, bool alpha)
        : m_dc(dc), m_src(bitmapDc), m_paint(paint), m_alphaPath(alphaPath)
    {
        m_blend.BlendOp = AC_SRC_OVER;
        m_blend.BlendFlags = 0;
        m_blend.SourceConstantAlpha = fade;
        // Without real alpha the bitmap's fourth byte means nothing: fade alone decides.
        m_blend.AlphaFormat = alpha ? AC_SRC_ALPHA : 0;
    }

    bool Visible(const RECT& d) const
    {
        RECT meet;
        return d.right > d.left && d.bottom > d.top && IntersectRect(&meet, &d, &m_paint);
    }

    // Stretches source part s onto destination part d.
    void Part(const RECT& d, const RECT& s) const
    {
        int dw = d.right - d.left, dh = d.bottom - d.top;
        int sw = s.right - s.left, sh = s.bottom - s.top;
        if (sw <= 0 || sh <= 0 || !Visible(d)) return;
        if (m_alphaPath) {
            UiAlphaBlend(m_dc, d.left, d.top, dw, dh, m_src, s.left, s.top, sw, sh, m_blend);
        } else if (dw == sw && dh == sh) {
            BitBlt(m_dc, d.left, d.top, dw, dh, m_src, s.left, s.top, SRCCOPY);
        } else {
            StretchBlt(m_dc, d.left, d.top, dw, dh, m_src, s.left, s.top, sw, sh, SRCCOPY);
        }
    }

    // Tiles of tile (width, height) in destination pixels over d, each one showing
    // the source part s (cut when the last tile is cut); 0 = stretch in that direction.
    // Only tiles that meet the paint rectangle are visited, so the count stays
    // bounded by what is on screen however large the destination is.
    void Tiles(const RECT& d, const RECT& s, int tileW, int tileH, double scale) const
    {
        if (!Visible(d)) return;
        int sw = s.right - s.left, sh = s.bottom - s.top;
        if (sw <= 0 || sh <= 0) return;
        int firstX = 0, firstY = 0;
        if (tileW > 0 && m_paint.left > d.left) firstX = (m_paint.left - d.left) / tileW;
        if (tileH > 0 && m_paint.top > d.top) firstY = (m_paint.top - d.top) / tileH;
        int stepW = tileW > 0 ? tileW : d.right - d.left;
        int stepH = tileH > 0 ? tileH : d.bottom - d.top;
        for (long long y = d.top + static_cast<long long>(firstY) * stepH; y < d.bottom && y < m_paint.bottom; y += stepH) {
            RECT part;
            part.top = static_cast<LONG>(y);
            part.bottom = static_cast<LONG>(std::min<long long>(y + stepH, d.bottom));
            int rowSh = tileH > 0 ? Cut(part.bottom - part.top, tileH, sh, scale) : sh;
            for (long long x = d.left + static_cast<long long>(firstX) * stepW; x < d.right && x < m_paint.right; x += stepW) {
                part.left = static_cast<LONG>(x);
                part.right = static_cast<LONG>(std::min<long long>(x + stepW, d.right));
                int colSw = tileW > 0 ? Cut(part.right - part.left, tileW, sw, scale) : sw;
                RECT src = {s.left, s.top, s.left + colSw, s.top + rowSh};
                Part(part, src);
            }
        }
    }

private:
    // Source length for a tile cut to length of a full tile's tile (source full).
    static int Cut(int length, int tile, int full, double scale)
    {
        if (length >= tile) return full;
        int cut = static_cast<int>(std::ceil(length * scale - 1e-9));
        return std::max(1, std::min(full, cut));
    }

    HDC m_dc;
    HDC m_src;
    RECT m_paint;
    bool m_alphaPath;
    BLENDFUNCTION m_blend;
};

int ScaleDown(double value) { return static_cast<int>(std::floor(value + 1e-9)); }
int ScaleUp(double value) { return static_cast<int>(std::ceil(value - 1e-9)); }

} // namespace

void BlitNinePart(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paintRect, const RECT& source,
                  const RECT& corner, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled,
                  double scale)
{
    if (dc == nullptr || bitmap == nullptr) return;
    BITMAP bm = {};
    if (!GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
    if (!(scale > 0.0) || !std::isfinite(scale)) scale = 1.0;

    CUiMemoryDC memory(dc);
    if (!memory) return;
    CUiSelectObject select(memory, bitmap);
    if (!select.Ok()) return;
    CUiStretchMode stretch(dc, HALFTONE);

    // Source in bitmap pixels, kept inside the bitmap: a rectangle past its edge
    // would otherwise make the blend fail or read what is not there.
    RECT s;
    s.left = std::max(0, ScaleDown(source.left * scale));
    s.top = std::max(0, ScaleDown(source.top * scale));
    s.right = std::min<LONG>(bm.bmWidth, static_cast<LONG>(std::lround(source.right * scale)));
    s.bottom = std::min<LONG>(bm.bmHeight, static_cast<LONG>(std::lround(source.bottom * scale)));
    if (s.right <= s.left || s.bottom <= s.top) return;

    // Destination corners as given; source corners in bitmap pixels, rounded up.
    RECT c = {std::max<LONG>(0, corner.left), std::max<LONG>(0, corner.top),
              std::max<LONG>(0, corner.right), std::max<LONG>(0, corner.bottom)};
    RECT sc = {ScaleUp(c.left * scale), ScaleUp(c.top * scale), ScaleUp(c.right * scale),
               ScaleUp(c.bottom * scale)};
    const RECT& d = dest;

    // The software blend stands in for a missing AlphaBlend, so alpha is always possible.
    bool alphaPath = alpha || fade != 255;
    CNinePartPainter painter(dc, memory, paintRect, alphaPath, fade, alpha);

    bool noCorners = c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0;
    if (!alphaPath && noCorners && !hole && d.right - d.left == s.right - s.left &&
        d.bottom - d.top == s.bottom - s.top) {
        // One copy of just the part that is being painted.
        RECT meet;
        if (IntersectRect(&meet, &d, &paintRect)) {
            BitBlt(dc, meet.left, meet.top, meet.right - meet.left, meet.bottom - meet.top, memory,
                   s.left + meet.left - d.left, s.top + meet.top - d.top, SRCCOPY);
        }
        return;
    }

    if (!hole) {
        RECT dm = {d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom};
        RECT sm = {s.left + sc.left, s.top + sc.top, s.right - sc.right, s.bottom - sc.bottom};
        if (xTiled || yTiled) {
            // A tile covers its source part at the image's own scale.
            int tileW = xTiled ? std::max(1, static_cast<int>(std::lround((sm.right - sm.left) / scale))) : 0;
            int tileH = yTiled ? std::max(1, static_cast<int>(std::lround((sm.bottom - sm.top) / scale))) : 0;
            painter.Tiles(dm, sm, tileW, tileH, scale);
        } else {
            painter.Part(dm, sm);
        }
    }
    if (c.left > 0 && c.top > 0)
        painter.Part({d.left, d.top, d.left + c.left, d.top + c.top},
                     {s.left, s.top, s.left + sc.left, s.top + sc.top});
    if (c.top > 0)
        painter.Part({d.left + c.left, d.top, d.right - c.right, d.top + c.top},
                     {s.left + sc.left, s.top, s.right - sc.right, s.top + sc.top});
    if (c.right > 0 && c.top > 0)
        painter.Part({d.right - c.right, d.top, d.right, d.top + c.top},
                     {s.right - sc.right, s.top, s.right, s.top + sc.top});
    if (c.left > 0)
        painter.Part({d.left, d.top + c.top, d.left + c.left, d.bottom - c.bottom},
                     {s.left, s.top + sc.top, s.left + sc.left, s.bottom - sc.bottom});
    if (c.right > 0)
        painter.Part({d.right - c.right, d.top + c.top, d.right, d.bottom - c.bottom},
                     {s.right - sc.right, s.top + sc.top, s.right, s.bottom - sc.bottom});
    if (c.left > 0 && c.bottom > 0)
        painter.Part({d.left, d.bottom - c.bottom, d.left + c.left, d.bottom},
                     {s.left, s.bottom - sc.bottom, s.left + sc.left, s.bottom});
    if (c.bottom > 0)
        painter.Part({d.left + c.left, d.bottom - c.bottom, d.right - c.right, d.bottom},
                     {s.left + sc.left, s.bottom - sc.bottom, s.right - sc.right, s.bottom});
    if (c.right > 0 && c.bottom > 0)
        painter.Part({d.right - c.right, d.bottom - c.bottom, d.right, d.bottom},
                     {s.right - sc.right, s.bottom - sc.bottom, s.right, s.bottom});
}

void BlitNinePart(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paintRect, const RECT& source,
                  const RECT& corner, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled)
{
    BlitNinePart(dc, bitmap, dest, paintRect, source, corner, alpha, fade, hole, xTiled, yTiled, 1.0);
}

} // namespace SkinUI
