// The drop shadow's pixels. The computed shadow is the window's outline grown by
// `size`: the outline is first eroded so that a kernel of the soft edge's width,
// stamped along the eroded shape's border, ends exactly `size` pixels past the
// window; the inside of the eroded shape is solid.
#include "ui/core/UiShadowBitmap.h"

#include <algorithm>
#include <cmath>

#include "ui/render/UiImage.h"

namespace SkinUI {

namespace {

constexpr int kMaxReach = 35;   // the setters' range for size, sharpness and offsets

UiShadowSpan Intersect(const UiShadowSpan& a, const UiShadowSpan& b)
{
    UiShadowSpan out;
    if (a.Empty() || b.Empty()) return out;
    out.left = std::max(a.left, b.left);
    out.right = std::min(a.right, b.right);
    if (out.Empty()) out = UiShadowSpan();
    return out;
}

// One erosion pass: a pixel stays when it and its four neighbours are inside.
void Shrink(std::vector<UiShadowSpan>& rows)
{
    const UiShadowSpan none;
    std::vector<UiShadowSpan> out(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const UiShadowSpan& above = i > 0 ? rows[i - 1] : none;
        const UiShadowSpan& below = i + 1 < rows.size() ? rows[i + 1] : none;
        UiShadowSpan span = Intersect(Intersect(rows[i], above), below);
        if (!span.Empty()) {
            ++span.left;
            --span.right;
            if (span.Empty()) span = UiShadowSpan();
        }
        out[i] = span;
    }
    rows.swap(out);
}

// Square kernel of side 2 reach + 1, premultiplied, row-major.
std::vector<uint32_t> MakeKernel(int reach, int core, const UiShadowLook& look)
{
    const int side = 2 * reach + 1;
    std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0);
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
            int alpha = 0;
            if (d < core) {
                alpha = look.darkness;
            } else if (d <= reach) {
                const double fall = 1.0 - (d - core) / (look.sharpness + 1.0);
                alpha = static_cast<int>(fall * look.darkness);
            }
            alpha = std::max(0, std::min(255, alpha));
            kernel[static_cast<size_t>(dy + reach) * side + (dx + reach)] =
                alpha ? PremultipliedShadowPixel(look.colour, alpha) : 0;
        }
    }
    return kernel;
}

class ShadowCanvas {
public:
    ShadowCanvas(uint32_t* pixels, int width, int height)
        : m_pixels(pixels), m_width(width), m_height(height) {}

    // Keeps the darker of what is there and the kernel: premultiplied pixels of one
    // colour order by alpha, which is the top byte.
    void Stamp(int cx, int cy, const std::vector<uint32_t>& kernel, int reach)
    {
        const int side = 2 * reach + 1;
        const int top = std::max(0, cy - reach), bottom = std::min(m_height - 1, cy + reach);
        const int left = std::max(0, cx - reach), right = std::min(m_width - 1, cx + reach);
        for (int y = top; y <= bottom; ++y) {
            uint32_t* row = m_pixels + static_cast<size_t>(y) * m_width;
            const uint32_t* k = &kernel[static_cast<size_t>(y - cy + reach) * side];
            for (int x = left; x <= right; ++x) {
                const uint32_t value = k[x - cx + reach];
                if (value > row[x]) row[x] = value;
            }
        }
    }

    void FillRow(int y, int left, int right, uint32_t value)
    {
        if (y < 0 || y >= m_height) return;
        left = std::max(0, left);
        right = std::min(m_width - 1, right);
        uint32_t* row = m_pixels + static_cast<size_t>(y) * m_width;
        for (int x = left; x <= right; ++x) row[x] = value;
    }

private:
    uint32_t* m_pixels;
    int m_width;
    int m_height;
};

} // namespace

std::vector<UiShadowSpan> SpansFromRects(const RECT* rects, int count, int width, int height)
{
    std::vector<UiShadowSpan> rows(height > 0 ? static_cast<size_t>(height) : 0);
    if (!rects || width <= 0) return rows;
    for (int i = 0; i < count; ++i) {
        const RECT& r = rects[i];
        const int left = std::max<LONG>(0, r.left), right = std::min<LONG>(width, r.right) - 1;
        const int top = std::max<LONG>(0, r.top), bottom = std::min<LONG>(height, r.bottom);
        if (right < left) continue;
        for (int y = top; y < bottom; ++y) {
            UiShadowSpan& span = rows[y];
            if (span.Empty()) {
                span.left = left;
                span.right = right;
            } else {
                span.left = std::min(span.left, left);
                span.right = std::max(span.right, right);
            }
        }
    }
    return rows;
}

std::vector<UiShadowSpan> RectangleSpans(int width, int height)
{
    const RECT whole = {0, 0, width, height};
    return SpansFromRects(&whole, 1, width, height);
}

SIZE ShadowBitmapSize(int width, int height, int size)
{
    const int w = width + 2 * size, h = height + 2 * size;
    if (width <= 0 || height <= 0 || w <= 0 || h <= 0) return SIZE{0, 0};
    return SIZE{w, h};
}

uint32_t PremultipliedShadowPixel(COLORREF colour, int alpha)
{
    alpha = std::max(0, std::min(255, alpha));
    const uint32_t r = GetRValue(colour) * alpha / 255;
    const uint32_t g = GetGValue(colour) * alpha / 255;
    const uint32_t b = GetBValue(colour) * alpha / 255;
    return (static_cast<uint32_t>(alpha) << 24) | (r << 16) | (g << 8) | b;
}

bool DrawComputedShadow(uint32_t* pixels, int width, const std::vector<UiShadowSpan>& outline,
                        const UiShadowLook& look)
{
    const int height = static_cast<int>(outline.size());
    const int s = look.size;
    if (!pixels || s == 0 || std::abs(s) > kMaxReach || look.sharpness < 0 ||
        look.sharpness > kMaxReach || look.darkness < 0 || look.darkness > 255 ||
        std::abs(look.offsetX) > kMaxReach || std::abs(look.offsetY) > kMaxReach)
        return false;
    const SIZE bitmap = ShadowBitmapSize(width, height, s);
    if (bitmap.cx == 0) return false;
    std::fill(pixels, pixels + static_cast<size_t>(bitmap.cx) * bitmap.cy, 0u);

    // The outline with room above and below to grow into, in window columns. Its
    // row i is window row i - pad and bitmap row i - pad + s.
    const int pad = std::max(s, 0);
    std::vector<UiShadowSpan> rows(static_cast<size_t>(height) + 2 * pad);
    for (int y = 0; y < height; ++y) {
        UiShadowSpan span = outline[y];
        if (!span.Empty()) {
            span.left = std::max(0, span.left);
            span.right = std::min(width - 1, span.right);
        }
        rows[y + pad] = span.Empty() ? UiShadowSpan() : span;
    }
    for (int pass = s; pass < look.sharpness; ++pass) Shrink(rows);

    const int reach = std::max(look.sharpness, s);
    const int core = s > look.sharpness ? s - look.sharpness : 0;
    const std::vector<uint32_t> kernel = MakeKernel(reach, core, look);
    const uint32_t solid = PremultipliedShadowPixel(look.colour, look.darkness);
    ShadowCanvas canvas(pixels, bitmap.cx, bitmap.cy);
    const UiShadowSpan none;
    const int shift = s - pad;   // table row and column to bitmap row and column: + s, - pad
    for (size_t i = 0; i < rows.size(); ++i) {
        const UiShadowSpan& span = rows[i];
        if (span.Empty()) continue;
        const int y = static_cast<int>(i) + shift;
        // Only the border needs the kernel: every pixel outside the shape is nearest
        // to a border pixel, and the inside is filled solid below.
        const UiShadowSpan& above = i > 0 ? rows[i - 1] : none;
        const UiShadowSpan& below = i + 1 < rows.size() ? rows[i + 1] : none;
        const UiShadowSpan inner = Intersect(Intersect(span, above), below);
        int leftEnd = span.right, rightStart = span.left;   // whole row is border
        if (!inner.Empty()) {
            leftEnd = std::max(span.left, inner.left - 1);
            rightStart = std::min(span.right, inner.right + 1);
        }
        for (int x = span.left; x <= leftEnd; ++x) canvas.Stamp(x + s, y, kernel, reach);
        for (int x = std::max(rightStart, leftEnd + 1); x <= span.right; ++x)
            canvas.Stamp(x + s, y, kernel, reach);
        canvas.FillRow(y, span.left + s, span.right + s, solid);
    }

    // Where the window itself stands: clear, so a transparent edge of the window
    // never lets its own shadow through.
    for (int y = 0; y < height; ++y) {
        const UiShadowSpan& span = outline[y];
        if (span.Empty()) continue;
        canvas.FillRow(y + s - look.offsetY, span.left + s - look.offsetX,
                       span.right + s - look.offsetX, 0);
    }
    return true;
}

void DrawImageShadow(HDC dc, HBITMAP image, int imageWidth, int imageHeight, bool hasAlpha,
                     const RECT& corner, int width, int height)
{
    if (!dc || !image || imageWidth <= 0 || imageHeight <= 0 || width <= 0 || height <= 0) return;
    const RECT whole = {0, 0, width, height};
    const RECT source = {0, 0, imageWidth, imageHeight};
    BlitNinePart(dc, image, whole, whole, source, corner, hasAlpha, 255, true);
}

} // namespace SkinUI
