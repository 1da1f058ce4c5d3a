// The live half of the paint manager, part 5: invalidation, the layout pass and
// painting. Painting always goes through a 32-bit double buffer; a layered window
// gets per-pixel alpha and is pushed with UpdateLayeredWindow.
#include <algorithm>

#include "ui/controls/UiControl.h"
#include "ui/core/UiLayeredPixels.h"
#include "ui/core/UiPaintManagerLive.h"
#include "ui/render/UiImageSpec.h"

namespace SkinUI {

namespace {

RECT ClientRect(HWND window)
{
    RECT client = {};
    if (window) GetClientRect(window, &client);
    return client;
}

RECT Inset(RECT rect, const RECT& inset)
{
    rect.left += inset.left;
    rect.top += inset.top;
    rect.right -= inset.right;
    rect.bottom -= inset.bottom;
    return rect;
}

// A 32-bit bottom-up DIB section selected into a new memory DC.
bool CreateSurface(HDC compatible, int width, int height, HDC* dc, HBITMAP* bitmap,
                   HGDIOBJ* oldBitmap, BYTE** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;   // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP made = CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!made) return false;
    HDC memory = CreateCompatibleDC(compatible);
    if (!memory) {
        DeleteObject(made);
        return false;
    }
    *oldBitmap = SelectObject(memory, made);
    *dc = memory;
    *bitmap = made;
    *bits = static_cast<BYTE*>(pixels);
    return true;
}

void DestroySurface(HDC* dc, HBITMAP* bitmap, HGDIOBJ* oldBitmap, BYTE** bits)
{
    if (*dc && *oldBitmap) SelectObject(*dc, *oldBitmap);
    if (*dc) DeleteDC(*dc);
    if (*bitmap) DeleteObject(*bitmap);
    *dc = nullptr;
    *bitmap = nullptr;
    *oldBitmap = nullptr;
    *bits = nullptr;
}

// The controls whose layout is pending, outermost first; a pending container
// covers its whole subtree.
CControlUI* CollectPending(CControlUI* control, void* data)
{
    if (!control->LayoutPending()) return nullptr;
    auto* found = static_cast<std::vector<CControlUI*>*>(data);
    if (std::find(found->begin(), found->end(), control) == found->end()) found->push_back(control);
    // Non-null stops the walk at a container (skipping its subtree) but would end the
    // whole search at a leaf.
    return control->InterfaceFor(L"IContainer") ? control : nullptr;
}

} // namespace

// ---- invalidation

void CPaintManagerUI::Invalidate()
{
    if (!m_paintWindow) return;
    Invalidate(ClientRect(m_paintWindow));
}

void CPaintManagerUI::Invalidate(const RECT& rect)
{
    if (!m_paintWindow) return;
    RECT r = rect;
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (IsRectEmpty(&m_layeredUpdate)) m_layeredUpdate = r;
    else UnionRect(&m_layeredUpdate, &m_layeredUpdate, &r);
    InvalidateRect(m_paintWindow, &r, FALSE);
}

// ---- window geometry

SIZE CPaintManagerUI::GetInitSize() { return m_initSize; }

void CPaintManagerUI::SetInitSize(int cx, int cy)
{
    m_initSize = {Scale(cx), Scale(cy)};
    if (m_paintWindow)
        SetWindowPos(m_paintWindow, nullptr, 0, 0, m_initSize.cx, m_initSize.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CPaintManagerUI::GetCaptionRect() { return GetDpi().Scale(m_caption); }
RECT CPaintManagerUI::GetSizeBox() { return GetDpi().Scale(m_sizeBox); }
SIZE CPaintManagerUI::GetRoundCorner() { return GetDpi().Scale(m_roundCorner); }
SIZE CPaintManagerUI::GetMinInfo() { return GetDpi().Scale(m_minInfo); }
SIZE CPaintManagerUI::GetMaxInfo() { return GetDpi().Scale(m_maxInfo); }
void CPaintManagerUI::SetMinInfo(int cx, int cy) { m_minInfo = {std::max(cx, 0), std::max(cy, 0)}; }
void CPaintManagerUI::SetMaxInfo(int cx, int cy) { m_maxInfo = {std::max(cx, 0), std::max(cy, 0)}; }

// ---- layered state

void CPaintManagerUI::SetLayered(bool layered)
{
    m_layeredRequested = layered;
    if (!m_paintWindow || layered == m_layered) return;
    const LONG_PTR style = GetWindowLongPtrW(m_paintWindow, GWL_STYLE);
    if (style & WS_CHILD) return;
    // Without UpdateLayeredWindow the window stays opaque.
    if (layered && !LiveProcessState::Get().UpdateLayered()) return;
    m_layered = layered;
    if (!layered) {
        // A layered style left behind with nothing pushing frames shows nothing.
        const LONG_PTR ex = GetWindowLongPtrW(m_paintWindow, GWL_EXSTYLE);
        SetWindowLongPtrW(m_paintWindow, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
    if (m_root) m_root->RequestLayout();
    m_updateNeeded = true;
    Invalidate();
}

void CPaintManagerUI::SetLayeredOpacity(BYTE opacity)
{
    m_layeredOpacity = opacity;
    m_layeredChanged = true;
    Invalidate();
}

void CPaintManagerUI::SetLayeredInset(const RECT& inset)
{
    m_layeredInset = inset;
    m_layeredChanged = true;
    Invalidate();
}

void CPaintManagerUI::SetLayeredImage(const wchar_t* image)
{
    m_layeredImage = image ? image : L"";
    m_layeredChanged = true;
    Invalidate();
}

void CPaintManagerUI::SetOpacity(BYTE opacity)
{
    SetLayeredWindowAttributesFn setAttributes = LiveProcessState::Get().SetLayeredAttributes();
    if (!m_paintWindow || !setAttributes) return;
    const LONG_PTR ex = GetWindowLongPtrW(m_paintWindow, GWL_EXSTYLE);
    SetWindowLongPtrW(m_paintWindow, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    setAttributes(m_paintWindow, 0, opacity, LWA_ALPHA);
}

// ---- surfaces

bool CPaintManagerUI::EnsureOffscreen(int width, int height)
{
    if (m_offscreenBitmap) return true;
    if (width <= 0 || height <= 0) return false;
    if (!CreateSurface(m_paintDC, width, height, &m_offscreenDC, &m_offscreenBitmap,
                       &m_offscreenOldBitmap, &m_offscreenBits))
        return false;
    m_offscreenSize = {width, height};
    return true;
}

void CPaintManagerUI::ReleaseOffscreen()
{
    DestroySurface(&m_offscreenDC, &m_offscreenBitmap, &m_offscreenOldBitmap, &m_offscreenBits);
    m_offscreenSize = {};
    m_pushedSize = {};
}

void CPaintManagerUI::ReleaseBackground()
{
    DestroySurface(&m_backgroundDC, &m_backgroundBitmap, &m_backgroundOldBitmap, &m_backgroundBits);
}

// ---- painting

void CPaintManagerUI::PushLayeredFrame(const RECT& paintRect)
{
    const LiveProcessState& live = LiveProcessState::Get();
    RECT window = {};
    GetWindowRect(m_paintWindow, &window);
    POINT destination = {window.left, window.top};
    SIZE size = m_offscreenSize;
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_layeredOpacity, AC_SRC_ALPHA};
    // Once a whole frame of this size is on screen, only the repainted part needs
    // to travel; the system keeps the rest.
    // A new opacity, inset or mask changes every pixel.
    const bool partial =
        !m_layeredChanged && m_pushedSize.cx == size.cx && m_pushedSize.cy == size.cy;
    bool pushed = false;
    if (UpdateLayeredWindowIndirectFn indirect = live.UpdateLayeredIndirect()) {
        UPDATELAYEREDWINDOWINFO info = {};
        info.cbSize = sizeof(info);
        info.hdcDst = m_paintDC;
        info.pptDst = &destination;
        info.psize = &size;
        info.hdcSrc = m_offscreenDC;
        info.pptSrc = &source;
        info.pblend = &blend;
        info.dwFlags = ULW_ALPHA;
        info.prcDirty = partial ? &paintRect : nullptr;
        pushed = indirect(m_paintWindow, &info) != FALSE;
    }
    if (!pushed)
        if (UpdateLayeredWindowFn update = live.UpdateLayered())
            pushed = update(m_paintWindow, m_paintDC, &destination, &size, m_offscreenDC, &source, 0,
                            &blend, ULW_ALPHA) != FALSE;
    m_pushedSize = pushed ? size : SIZE{};
}

bool CPaintManagerUI::LayoutPass(bool* relaidOut)
{
    m_updateNeeded = false;
    const RECT client = ClientRect(m_paintWindow);
    if (IsRectEmpty(&client) || IsIconic(m_paintWindow)) return true;
    if (m_root->LayoutPending()) {
        // New size: the surfaces are made again at the next paint.
        ReleaseOffscreen();
        ReleaseBackground();
        m_root->Place(m_layered ? Inset(client, m_layeredInset) : client, true);
    } else {
        std::vector<CControlUI*> pending;
        m_root->Search(CollectPending, &pending,
                       UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_UPDATETEST);
        for (CControlUI* control : pending) {
            // A floating control's place comes from its parent's rules: the parent
            // places its children again on its own rectangle.
            CControlUI* parent = control->ParentControl();
            if (control->Floating() && parent) parent->Place(parent->BoundsRef(), true);
            else control->Place(control->BoundsRef(), true);
        }
    }
    *relaidOut = true;
    if (m_firstLayout) {
        m_firstLayout = false;
        SendNotify(m_root, UiNotify::WindowInit);
        if (!m_root) return false;   // the application replaced or dropped the tree
        if (m_layered && m_layeredChanged) {
            Invalidate();
            return false;
        }
    }
    return true;
}

void CPaintManagerUI::OnPaint()
{
    if (!m_root) {
        PAINTSTRUCT ps = {};
        HDC dc = BeginPaint(m_paintWindow, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(m_paintWindow, &ps);
        return;
    }
    RECT paintRect = {};
    if (!GetUpdateRect(m_paintWindow, &paintRect, FALSE)) return;
    if (m_focusNeeded) FocusNextTabStop(true);
    m_painting = true;
    bool relaidOut = false;
    const RECT client = ClientRect(m_paintWindow);
    if (m_updateNeeded) {
        if (!LayoutPass(&relaidOut) || !m_root) {
            m_painting = false;
            return;
        }
    } else if (m_layered && m_layeredChanged) {
        ClearPixels(m_offscreenBits, m_offscreenSize.cx, m_offscreenSize.cy, client);
        m_root->Place(Inset(client, m_layeredInset), true);
    }
    // Focus that waited for the layout moves now: its invalidation would otherwise
    // be swallowed by BeginPaint and wait for some unrelated later paint.
    if (m_focusNeeded && !m_updateNeeded) FocusNextTabStop(true);
    // The layout and the focus change may have invalidated more than was asked for.
    RECT more = {};
    if (GetUpdateRect(m_paintWindow, &more, FALSE)) UnionRect(&paintRect, &paintRect, &more);
    if (m_layered) {
        const LONG_PTR ex = GetWindowLongPtrW(m_paintWindow, GWL_EXSTYLE);
        if (!(ex & WS_EX_LAYERED))
            SetWindowLongPtrW(m_paintWindow, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        m_offscreenPaint = true;
        if (!IsRectEmpty(&m_layeredUpdate)) UnionRect(&paintRect, &paintRect, &m_layeredUpdate);
        m_layeredUpdate = {};
        IntersectRect(&paintRect, &paintRect, &client);
    }
    if (m_offscreenPaint) EnsureOffscreen(client.right - client.left, client.bottom - client.top);
    PAINTSTRUCT ps = {};
    BeginPaint(m_paintWindow, &ps);
    if (m_offscreenPaint && m_offscreenDC) {
        PaintIntoOffscreen(ps.hdc, paintRect);
    } else {
        const int saved = SaveDC(ps.hdc);
        m_root->Render(ps.hdc, paintRect, nullptr);
        const std::vector<CControlUI*> overlays = m_postPaint;
        for (CControlUI* control : overlays) control->Render(ps.hdc, paintRect, nullptr);
        RestoreDC(ps.hdc, saved);
    }
    EndPaint(m_paintWindow, &ps);
    m_painting = false;
    m_layeredChanged = false;
    if (m_updateNeeded) Invalidate();
    if (relaidOut && m_root) SendNotify(m_root, UiNotify::WindowSize, 0, 0, true);
}

void CPaintManagerUI::PaintIntoOffscreen(HDC paintDC, const RECT& paintRect)
{
    const int width = m_offscreenSize.cx;
    const int height = m_offscreenSize.cy;
    const int saved = SaveDC(m_offscreenDC);
    if (m_layered) ClearPixels(m_offscreenBits, width, height, paintRect);
    m_root->Render(m_offscreenDC, paintRect, nullptr);
    if (m_layered) {
        for (auto it = m_nativeWindows.begin(); it != m_nativeWindows.end();) {
            HWND child = it->window;
            if (!IsWindow(child)) {
                it = m_nativeWindows.erase(it);
                continue;
            }
            ++it;
            RECT box = {};
            GetWindowRect(child, &box);
            MapWindowPoints(HWND_DESKTOP, m_paintWindow, reinterpret_cast<POINT*>(&box), 2);
            RECT meet = {};
            if (!IsWindowVisible(child) || !IntersectRect(&meet, &box, &paintRect)) continue;
            HDC childDC = nullptr;
            HBITMAP childBitmap = nullptr;
            HGDIOBJ childOld = nullptr;
            BYTE* childBits = nullptr;
            const int cw = box.right - box.left;
            const int ch = box.bottom - box.top;
            if (!CreateSurface(m_offscreenDC, cw, ch, &childDC, &childBitmap, &childOld, &childBits))
                continue;
            SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDC),
                         PRF_CHECKVISIBLE | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
            MakeGdiPixelsOpaque(childBits, cw, ch, RECT{0, 0, cw, ch});
            BitBlt(m_offscreenDC, box.left, box.top, cw, ch, childDC, 0, 0, SRCCOPY);
            DestroySurface(&childDC, &childBitmap, &childOld, &childBits);
        }
    }
    const std::vector<CControlUI*> overlays = m_postPaint;
    for (CControlUI* control : overlays) control->Render(m_offscreenDC, paintRect, nullptr);
    RestoreDC(m_offscreenDC, saved);

    if (m_layered) {
        if (m_layeredImage.IsEmpty()) {
            MakeGdiPixelsOpaque(m_offscreenBits, width, height, paintRect);
        } else {
            const RECT client = {0, 0, width, height};
            if (!m_backgroundBitmap) {
                CreateSurface(m_paintDC, width, height, &m_backgroundDC, &m_backgroundBitmap,
                              &m_backgroundOldBitmap, &m_backgroundBits);
                m_layeredChanged = true;
            }
            if (m_backgroundBits && m_layeredChanged) {
                ClearPixels(m_backgroundBits, width, height, client);
                const RECT box = Inset(client, m_layeredInset);
                PaintImageSpec(m_backgroundDC, this, box, box, m_layeredImage);
            }
            ApplyAlphaMask(m_offscreenBits, m_backgroundBits, width, height, paintRect);
        }
        PushLayeredFrame(paintRect);
        return;
    }
    BitBlt(paintDC, paintRect.left, paintRect.top, paintRect.right - paintRect.left,
           paintRect.bottom - paintRect.top, m_offscreenDC, paintRect.left, paintRect.top, SRCCOPY);
    if (m_showUpdateRect) {
        HGDIOBJ oldPen = SelectObject(paintDC, LiveProcessState::Get().DirtyPen());
        HGDIOBJ oldBrush = SelectObject(paintDC, GetStockObject(HOLLOW_BRUSH));
        Rectangle(paintDC, paintRect.left, paintRect.top, paintRect.right, paintRect.bottom);
        SelectObject(paintDC, oldBrush);
        SelectObject(paintDC, oldPen);
    }
}

} // namespace SkinUI
