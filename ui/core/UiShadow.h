#pragma once
// CShadowUI: a soft drop shadow for a borderless window, drawn by a separate
// layered, click-through window that sits right behind its parent and follows
// it. Every paint manager owns one; it stays inactive until switched on by the
// skin ("showshadow") or by code, and comes alive when the manager attaches its
// root (CreateShadow).
//
// Two modes: computed (size, sharpness, darkness, offset, colour) and image
// (a nine-part image with its corners, drawn with a hole in the middle). Both
// leave the parent's own area empty, so the shadow still looks right where the
// system keeps an owned window in front of its owner instead of behind it.
// UI thread only: the map of hooked windows is not locked.
#include <windows.h>

#include <cstdint>

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
    // The pixels last pushed to the shadow window (top-down, premultiplied
    // 0xAARRGGBB) and their size; null before the first push. For tests.
    const uint32_t* GetFrameBits() const { return m_frameBits; }
    SIZE GetFrameSize() const { return m_frameSize; }
    // Whether the window is subclassed by a shadow (its entry in the map of hooked
    // windows exists). For tests.
    static bool IsHooked(HWND parent);
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
    // The subclass procedure every shadowed window runs; it finds its shadow and its
    // own previous procedure in the map of hooked windows.
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Unhooks from the parent (the entry stays as a pass-through when someone else
    // subclassed the window after us) and destroys the shadow window.
    void Detach();
    // Moves the shadow window to its place next to the parent, keeping its size.
    void Follow();
    // Shows the shadow window without activating it and marks it (and the parent)
    // visible.
    void ShowShadowWindow(BYTE marks);
    void HideShadowWindow();
    // Recomputes at once when the parent shrank, at the next paint when it grew.
    void OnParentSize(WPARAM kind, int width, int height);
    // A top-down DIB section of that size in m_frame (kept between pushes).
    bool EnsureFrame(int width, int height);
    void ReleaseFrame();

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

    HWND m_parent = nullptr;          // the subclassed window
    HBITMAP m_frame = nullptr;        // what was last pushed, owned
    uint32_t* m_frameBits = nullptr;
    SIZE m_frameSize = {};
};

} // namespace SkinUI
