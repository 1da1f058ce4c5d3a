#pragma once
// The drop shadow's pixels, apart from its window: plain functions over a buffer
// so the shape can be checked without a screen. Buffers are top-down rows of
// premultiplied 32-bit pixels, 0xAARRGGBB (B, G, R, A in memory).
#include <windows.h>

#include <cstdint>
#include <vector>

namespace SkinUI {

// One row of a window's outline: its leftmost and rightmost pixel, inclusive.
// A row the window does not cover has right < left.
struct UiShadowSpan {
    int left = 0;
    int right = -1;
    bool Empty() const { return right < left; }
};

// What the computed shadow looks like.
struct UiShadowLook {
    int size = 0;          // how far it reaches past the window (may be negative)
    int sharpness = 5;     // width of the soft edge
    int darkness = 150;    // alpha of the solid part
    int offsetX = 0;       // shift of the shadow relative to the window
    int offsetY = 0;
    COLORREF colour = 0;   // 0x00BBGGRR
};

// The outline of a width x height window from the rectangles of its region
// (window coordinates); rectangles are clipped to the window.
std::vector<UiShadowSpan> SpansFromRects(const RECT* rects, int count, int width, int height);
// A plain rectangular window.
std::vector<UiShadowSpan> RectangleSpans(int width, int height);

// The shadow bitmap for a window of that size: (width + 2 size) x (height + 2 size);
// nothing (0 x 0) when that is not a positive area.
SIZE ShadowBitmapSize(int width, int height, int size);

// The computed shadow of a window with `outline` (one span per window row; the
// window's width is `width`) into `pixels`, which holds ShadowBitmapSize(...) pixels.
// The window's own place in the bitmap is (size - offsetX, size - offsetY) and is
// left clear, so a window with transparent edges never shows its shadow through
// them. False (pixels untouched) when there is nothing to draw: size 0, no area, or
// out-of-range settings.
bool DrawComputedShadow(uint32_t* pixels, int width, const std::vector<UiShadowSpan>& outline,
                        const UiShadowLook& look);

// The premultiplied pixel of colour at alpha.
uint32_t PremultipliedShadowPixel(COLORREF colour, int alpha);

// The image shadow: `image` (whole source, its own alpha when hasAlpha) stretched
// nine-part over the width x height bitmap selected into dc, with `corner`, and the
// middle left empty so the window shows through it.
void DrawImageShadow(HDC dc, HBITMAP image, int imageWidth, int imageHeight, bool hasAlpha,
                     const RECT& corner, int width, int height);

} // namespace SkinUI
