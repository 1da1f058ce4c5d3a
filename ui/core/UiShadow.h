#pragma once
// CShadowUI: a soft drop shadow for a borderless window, drawn by a separate
// layered, click-through window that sits right behind its parent and follows
// it. Every paint manager owns one; it stays inactive until switched on by the
// skin ("showshadow") or by code, and comes alive when the manager attaches its
// root (CreateShadow).
//
// Two modes: computed (size, sharpness, darkness, offset, colour) and image
// (a nine-part image with its corners, drawn with a hole in the middle).
#include <windows.h>
#include "ui/core/UiString.h"

namespace SkinUI {

class CPaintManagerUI;

class CShadowUI {
public:
    CShadowUI() = default;
    CShadowUI(const CShadowUI&) = delete;
    CShadowUI& operator=(const CShadowUI&) = delete;
    ~CShadowUI();

    // Setters refuse an out-of-range value (false, nothing changed) and redraw a
    // visible shadow at once.
    bool AssignShadowSize(int size);                 // -35..35
    bool AssignShadowSharpness(unsigned sharpness);  // 0..35
    bool AssignShadowDarkness(unsigned darkness);    // 0..255
    bool AssignShadowOffset(int x, int y);           // each -35..35
    bool AssignShadowColour(COLORREF rgb);           // 0x00RRGGBB
    bool AssignShadowImage(const wchar_t* image);    // non-null; turns image mode on
    bool AssignShadowCorner(const RECT& corner);     // all >= 0
    // Only stored: takes effect when the shadow is created.
    void ShowShadow(bool show) { m_show = show; }
    bool IsShowShadow() const { return m_show; }

    // Creates the shadow window for the manager's window when showing is on.
    bool CreateShadow(CPaintManagerUI* manager);
    void SuspendShadow(bool suspend);
    bool CopyShadowTo(CShadowUI* other) const;
    // Recomputes the shadow bitmap and pushes it to the shadow window.
    void UpdateShadow();

    HWND GetShadowWindow() const { return m_window; }
    int GetSize() const { return m_size; }
    int GetSharpness() const { return m_sharpness; }
    int GetDarkness() const { return m_darkness; }
    POINT GetOffset() const { return {m_offsetX, m_offsetY}; }
    COLORREF GetColour() const { return m_colour; }
    bool IsImageMode() const { return m_imageMode; }
    const CUiString& GetImage() const { return m_image; }
    RECT GetCorner() const { return m_corner; }

private:
    // A change of look: redraw now when the shadow is on screen.
    void Changed();

    CPaintManagerUI* m_manager = nullptr;
    HWND m_window = nullptr;
    BYTE m_status = 0;            // 1 enabled, 2 shadow visible, 4 parent visible
    bool m_show = false;
    bool m_suspended = false;
    BYTE m_darkness = 150;
    BYTE m_sharpness = 5;
    signed char m_size = 0;
    signed char m_offsetX = 0;
    signed char m_offsetY = 0;
    WORD m_lastWidth = 0;
    WORD m_lastHeight = 0;
    bool m_updatePending = false;
    COLORREF m_colour = 0;
    bool m_imageMode = false;
    CUiString m_image;
    RECT m_corner = {};
};

} // namespace SkinUI
