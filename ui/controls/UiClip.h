#pragma once
// Clip scopes for painting a subtree: each narrows the DC's clip to a rectangle
// (optionally with round corners) and puts the previous clip back when it ends,
// so nested scopes restore in reverse order by construction.
#include <windows.h>

namespace SkinUI {

class CUiClipScope {
public:
    // Clip &= rect.
    CUiClipScope(HDC dc, const RECT& rect);
    // Clip &= rect & the rounded rectangle around item (corner ellipse cx by cy;
    // 0,0 is a plain rectangle).
    CUiClipScope(HDC dc, const RECT& rect, const RECT& item, int cx, int cy);
    ~CUiClipScope();
    CUiClipScope(const CUiClipScope&) = delete;
    CUiClipScope& operator=(const CUiClipScope&) = delete;

private:
    void Save();
    void Narrow(HRGN region);   // region in logical coordinates; deleted here

    HDC m_dc;
    HRGN m_saved = nullptr;     // null: the DC had no clip region
};

} // namespace SkinUI
