#pragma once
// Shared by the paint-manager tests: PNG bytes made in memory, a skin folder of
// their own, a global DPI that is put back, and a 32-bit DIB to read pixels from.
#include <windows.h>

#include <cstdint>
#include <string>

#include "support/TestSupport.h"

namespace ManagerTest {

// A w x h PNG whose every pixel is argb (straight, not premultiplied).
std::string MakePng(int width, int height, uint32_t argb);

// Makes a temporary folder the skin folder for the life of the object.
class SkinFolder {
public:
    SkinFolder();
    ~SkinFolder();
    bool Write(const wchar_t* name, const std::string& bytes);
    std::wstring PathOf(const wchar_t* name) const { return m_folder.Path() + name; }

private:
    TestSupport::TempFolder m_folder;
};

// Sets the process-wide DPI; 96 again afterwards.
class GlobalDpi {
public:
    explicit GlobalDpi(int dpi);
    ~GlobalDpi();
};

// Empties every shared table and puts the shared colours back.
void ResetShared();

LOGFONTW LogFontOf(HFONT font);
bool IsLiveGdiObject(HGDIOBJ object);

// A top-down 32-bit DIB section selected into a memory DC, cleared to 0.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return m_dc; }
    uint32_t Pixel(int x, int y) const { return m_bits[y * m_width + x]; }
    void Clear(uint32_t argb);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const uint32_t* Bits() const { return m_bits; }

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    uint32_t* m_bits;
};

} // namespace ManagerTest
