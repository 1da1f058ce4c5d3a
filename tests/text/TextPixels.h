#pragma once
// Pixel helpers of the text tests: a 32-bit DIB section with its own memory DC,
// and questions about where "ink" (pixels unlike the background) landed.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace TextTest {

class Surface {
public:
    Surface(int width, int height, DWORD fill = 0xFFFFFFFF);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC DC() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Fill(DWORD argb);
    DWORD Pixel(int x, int y) const;   // 0xAARRGGBB
    std::vector<DWORD> Pixels() const;

    // Ink: a pixel whose colour (alpha ignored) differs from the fill.
    bool IsInk(int x, int y) const { return (Pixel(x, y) & 0xFFFFFF) != (m_fill & 0xFFFFFF); }
    int InkInside(const RECT& rect) const;
    int InkOutside(const RECT& rect) const;
    RECT InkBounds() const;            // empty when there is no ink
    RECT InkBounds(const RECT& within) const;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
    int m_width;
    int m_height;
    DWORD m_fill;
};

inline BYTE Red(DWORD c) { return static_cast<BYTE>(c >> 16); }
inline BYTE Green(DWORD c) { return static_cast<BYTE>(c >> 8); }
inline BYTE Blue(DWORD c) { return static_cast<BYTE>(c); }
inline BYTE Alpha(DWORD c) { return static_cast<BYTE>(c >> 24); }

} // namespace TextTest
