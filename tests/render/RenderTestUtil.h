#pragma once
// Pixel-test helpers: a canvas to draw on and read back, bitmaps built from colour
// tables, PNG bytes, and a scope that forces one blend path.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/render/UiImage.h"

namespace RenderTest {

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height, DWORD argb = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Pixel as stored (B, G, R, A) read as ARGB.
    DWORD At(int x, int y) const;
    void Set(int x, int y, DWORD argb);
    void Fill(DWORD argb);
    DWORD* Bits() const { return m_bits; }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits;
};

// A top-down 32-bit DIB whose pixel (x, y) is colour(x, y), stored as given
// (premultiplied ARGB). The caller deletes it.
HBITMAP MakeBitmap(int width, int height, const std::function<DWORD(int, int)>& colour);

// RGBA rows (straight alpha) encoded as a PNG file.
std::string EncodePng(int width, int height, const std::function<DWORD(int, int)>& argb);

// The nine regions of a 10x10 image with 4-pixel borders, each its own opaque colour.
DWORD NineColour(int x, int y);
// Which of the nine regions colour c belongs to (0..8 left to right, top to bottom), or -1.
int NineRegion(DWORD c);

// Forces one blend path for the scope.
class BlendPathScope {
public:
    explicit BlendPathScope(SkinUI::UiBlendPath path) { SkinUI::SetBlendPath(path); }
    ~BlendPathScope() { SkinUI::SetBlendPath(SkinUI::UI_BLEND_AUTO); }
};

// Largest per-channel difference of two ARGB values.
int ChannelDistance(DWORD a, DWORD b);

// A small deterministic random source.
struct Lcg {
    uint32_t state;
    uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

std::string Hex(DWORD c);

} // namespace RenderTest
