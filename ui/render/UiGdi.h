#pragma once
// Small owners for GDI handles, so that every early return gives back what it took.
// A drawing call keeps its DCs, bitmaps and selections in these and never calls
// DeleteObject or DeleteDC by hand.
#include <windows.h>

namespace SkinUI {

// Owns one GDI object (bitmap, brush, pen, font, region) and deletes it.
template <class Handle>
class CUiGdiObject {
public:
    CUiGdiObject() : m_handle(nullptr) {}
    explicit CUiGdiObject(Handle handle) : m_handle(handle) {}
    ~CUiGdiObject() { Reset(); }
    CUiGdiObject(const CUiGdiObject&) = delete;
    CUiGdiObject& operator=(const CUiGdiObject&) = delete;
    CUiGdiObject(CUiGdiObject&& other) noexcept : m_handle(other.Detach()) {}
    CUiGdiObject& operator=(CUiGdiObject&& other) noexcept
    {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    void Reset(Handle handle = nullptr)
    {
        if (m_handle) DeleteObject(m_handle);
        m_handle = handle;
    }
    // Gives up ownership: the caller deletes the handle.
    Handle Detach()
    {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    Handle m_handle;
};

using CUiBitmap = CUiGdiObject<HBITMAP>;
using CUiBrush = CUiGdiObject<HBRUSH>;
using CUiPen = CUiGdiObject<HPEN>;
using CUiFont = CUiGdiObject<HFONT>;
using CUiRegion = CUiGdiObject<HRGN>;

// A memory DC compatible with another (null: with the screen), deleted at scope exit.
class CUiMemoryDC {
public:
    explicit CUiMemoryDC(HDC compatible = nullptr) : m_dc(CreateCompatibleDC(compatible)) {}
    ~CUiMemoryDC()
    {
        if (m_dc) DeleteDC(m_dc);
    }
    CUiMemoryDC(const CUiMemoryDC&) = delete;
    CUiMemoryDC& operator=(const CUiMemoryDC&) = delete;

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// A window's DC (null window: the screen's), released at scope exit.
class CUiWindowDC {
public:
    explicit CUiWindowDC(HWND window = nullptr) : m_window(window), m_dc(GetDC(window)) {}
    ~CUiWindowDC()
    {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    CUiWindowDC(const CUiWindowDC&) = delete;
    CUiWindowDC& operator=(const CUiWindowDC&) = delete;

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a DC and puts the previous one back at scope exit, so the
// object can be deleted afterwards (a selected object cannot be).
class CUiSelectObject {
public:
    CUiSelectObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_old(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~CUiSelectObject()
    {
        if (m_old && m_old != HGDI_ERROR) SelectObject(m_dc, m_old);
    }
    CUiSelectObject(const CUiSelectObject&) = delete;
    CUiSelectObject& operator=(const CUiSelectObject&) = delete;

    bool Ok() const { return m_old != nullptr && m_old != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Saves a DC's state (clip region, stretch mode, selected objects, ...) and restores it.
class CUiSaveDC {
public:
    explicit CUiSaveDC(HDC dc) : m_dc(dc), m_saved(dc ? SaveDC(dc) : 0) {}
    ~CUiSaveDC()
    {
        if (m_saved) RestoreDC(m_dc, m_saved);
    }
    CUiSaveDC(const CUiSaveDC&) = delete;
    CUiSaveDC& operator=(const CUiSaveDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};

// Sets a DC's stretch mode and puts the previous one back.
class CUiStretchMode {
public:
    CUiStretchMode(HDC dc, int mode) : m_dc(dc), m_old(dc ? SetStretchBltMode(dc, mode) : 0) {}
    ~CUiStretchMode()
    {
        if (m_old) SetStretchBltMode(m_dc, m_old);
    }
    CUiStretchMode(const CUiStretchMode&) = delete;
    CUiStretchMode& operator=(const CUiStretchMode&) = delete;

private:
    HDC m_dc;
    int m_old;
};

// GDI+ for the life of the object (the program entry, each paint manager, a test).
// Sessions nest: GDI+ counts its own startups.
class CUiGdiplusSession {
public:
    CUiGdiplusSession();
    ~CUiGdiplusSession();
    CUiGdiplusSession(const CUiGdiplusSession&) = delete;
    CUiGdiplusSession& operator=(const CUiGdiplusSession&) = delete;

    bool Ok() const { return m_token != 0; }

private:
    ULONG_PTR m_token;
};

} // namespace SkinUI
