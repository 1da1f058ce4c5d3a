// CShadowUI: the shadow window, the subclass that makes it follow its parent, and
// pushing its pixels (drawn by UiShadowBitmap.cpp).
//
// Each hooked window keeps its own previous procedure in its map entry: a message
// box shadowed over the shadowed wizard must hand the wizard's messages to the
// wizard's procedure and the box's to the box's, and either may go first.
#include "ui/core/UiShadow.h"

#include <algorithm>
#include <map>
#include <vector>

#include "ui/core/UiPaintManager.h"
#include "ui/core/UiShadowBitmap.h"
#include "ui/render/UiGdi.h"

namespace SkinUI {

namespace {

constexpr wchar_t kShadowClass[] = L"UmbraShadowWnd";
constexpr BYTE kEnabled = 1;
constexpr BYTE kShadowVisible = 2;
constexpr BYTE kParentVisible = 4;

struct ParentHook {
    CShadowUI* shadow;   // null: the shadow went away, the entry only passes messages on
    WNDPROC previous;
};

// Created on first use and never freed: windows may still be destroyed while the
// process winds down its statics.
std::map<HWND, ParentHook>& Hooks()
{
    static auto* hooks = new std::map<HWND, ParentHook>();
    return *hooks;
}

// The module this code lives in, whatever the application set as its instance, so
// the class is found again by every window created here.
HINSTANCE ShadowModule()
{
    static HINSTANCE module = [] {
        HMODULE found = nullptr;
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCWSTR>(&Hooks), &found))
            found = GetModuleHandleW(nullptr);
        return static_cast<HINSTANCE>(found);
    }();
    return module;
}

bool RegisterShadowClass()
{
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = ShadowModule();
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));   // IDC_ARROW
        wc.lpszClassName = kShadowClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

// The window's outline in window coordinates: its region, or the whole rectangle.
std::vector<UiShadowSpan> ParentOutline(HWND parent, int width, int height)
{
    CUiRegion region(CreateRectRgn(0, 0, 0, 0));
    const int type = region ? GetWindowRgn(parent, region) : ERROR;
    if (type == NULLREGION) return std::vector<UiShadowSpan>(height > 0 ? height : 0);
    if (type != SIMPLEREGION && type != COMPLEXREGION) return RectangleSpans(width, height);
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    if (bytes < sizeof(RGNDATAHEADER)) return RectangleSpans(width, height);
    std::vector<BYTE> buffer(bytes);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!GetRegionData(region, bytes, data)) return RectangleSpans(width, height);
    const DWORD room = (bytes - data->rdh.dwSize) / sizeof(RECT);
    const int count = static_cast<int>(std::min<DWORD>(data->rdh.nCount, room));
    return SpansFromRects(reinterpret_cast<const RECT*>(buffer.data() + data->rdh.dwSize), count,
                          width, height);
}

} // namespace

CShadowUI::~CShadowUI()
{
    Detach();
    ReleaseFrame();
}

bool CShadowUI::AssignShadowSize(int size)
{
    if (size < -35 || size > 35) return false;
    m_size = static_cast<signed char>(size);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowSharpness(unsigned sharpness)
{
    if (sharpness > 35) return false;
    m_sharpness = static_cast<BYTE>(sharpness);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowDarkness(unsigned darkness)
{
    if (darkness > 255) return false;
    m_darkness = static_cast<BYTE>(darkness);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowOffset(int x, int y)
{
    if (x < -35 || x > 35 || y < -35 || y > 35) return false;
    m_offsetX = static_cast<signed char>(x);
    m_offsetY = static_cast<signed char>(y);
    Changed();
    return true;
}

bool CShadowUI::AssignShadowColour(COLORREF rgb)
{
    m_colour = rgb & 0x00FFFFFF;
    Changed();
    return true;
}

bool CShadowUI::AssignShadowImage(const wchar_t* image)
{
    if (!image) return false;
    m_image = image;
    m_imageMode = true;
    Changed();
    return true;
}

bool CShadowUI::AssignShadowCorner(const RECT& corner)
{
    if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
    m_corner = corner;
    Changed();
    return true;
}

void CShadowUI::Changed()
{
    if (m_window && IsWindowVisible(m_window)) UpdateShadow();
}

bool CShadowUI::IsHooked(HWND parent)
{
    return parent && Hooks().count(parent) != 0;
}

bool CShadowUI::CreateShadow(CPaintManagerUI* manager)
{
    if (!manager || !m_show) return false;
    HWND parent = manager->GetPaintWindow();
    if (!parent || !IsWindow(parent)) return false;
    if (m_window && m_parent == parent && IsWindow(m_window)) {
        m_manager = manager;   // a new root on the same window: one shadow is enough
        return true;
    }
    Detach();
    if (!RegisterShadowClass()) return false;

    // No system menu: a popup with one counts as a framed window for some window
    // managers, which then constrain and move the shadow and its owner on their
    // own; a click-through window that never activates has no use for it.
    const DWORD style = WS_POPUP | WS_BORDER |
                        (static_cast<DWORD>(GetWindowLongPtrW(parent, GWL_STYLE)) & WS_DLGFRAME);
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr, style,
                                  CW_USEDEFAULT, 0, 0, 0, parent, nullptr, ShadowModule(), nullptr);
    if (!window) return false;

    auto& hooks = Hooks();
    auto found = hooks.find(parent);
    if (found != hooks.end()) {
        // Another shadow object had this window: it steps aside, and the window's
        // procedure chain stays as it is.
        if (CShadowUI* other = found->second.shadow) other->Detach();
        found = hooks.find(parent);
    }
    if (found != hooks.end()) {
        found->second.shadow = this;
    } else {
        WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC));
        if (!previous) {
            DestroyWindow(window);
            return false;
        }
        hooks[parent] = ParentHook{this, previous};
        SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc));
    }

    m_manager = manager;
    m_parent = parent;
    m_window = window;
    m_updatePending = false;
    RECT client = {};
    GetClientRect(parent, &client);
    m_lastWidth = static_cast<WORD>(client.right - client.left);
    m_lastHeight = static_cast<WORD>(client.bottom - client.top);
    if (!IsWindowVisible(parent)) {
        m_status = kEnabled;
    } else if (IsZoomed(parent) || IsIconic(parent)) {
        m_status = kEnabled | kParentVisible;
    } else {
        m_status = kEnabled;
        ShowShadowWindow(kShadowVisible | kParentVisible);
        UpdateShadow();
    }
    return true;
}

void CShadowUI::Detach()
{
    if (m_parent) {
        auto& hooks = Hooks();
        auto found = hooks.find(m_parent);
        if (found != hooks.end() && found->second.shadow == this) {
            const LONG_PTR ours = reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc);
            if (IsWindow(m_parent) && GetWindowLongPtrW(m_parent, GWLP_WNDPROC) == ours) {
                SetWindowLongPtrW(m_parent, GWLP_WNDPROC,
                                  reinterpret_cast<LONG_PTR>(found->second.previous));
                hooks.erase(found);
            } else {
                // Someone subclassed the window after us and calls our procedure as
                // their previous one: keep passing messages on until it is destroyed.
                found->second.shadow = nullptr;
            }
        }
    }
    if (m_window && IsWindow(m_window)) DestroyWindow(m_window);
    m_window = nullptr;
    m_parent = nullptr;
    m_manager = nullptr;
    m_status = 0;
    m_updatePending = false;
}

void CShadowUI::SuspendShadow(bool suspend)
{
    m_suspended = suspend;
    if (!m_window || !m_parent) return;
    if (suspend) {
        HideShadowWindow();
        m_status &= static_cast<BYTE>(~kShadowVisible);
        return;
    }
    m_status = kEnabled;
    if (!IsWindowVisible(m_parent)) return;
    m_status |= kParentVisible;
    if (IsZoomed(m_parent) || IsIconic(m_parent)) return;
    ShowShadowWindow(kShadowVisible);
    UpdateShadow();
}

LRESULT CALLBACK CShadowUI::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& hooks = Hooks();
    auto found = hooks.find(window);
    if (found == hooks.end()) return DefWindowProcW(window, message, wParam, lParam);
    // Copies: the shadow's handling may hook or unhook other windows.
    CShadowUI* shadow = found->second.shadow;
    const WNDPROC previous = found->second.previous;

    if (message == WM_NCDESTROY) {
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ParentProc))
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        hooks.erase(found);
        if (shadow) {
            if (shadow->m_window && IsWindow(shadow->m_window)) DestroyWindow(shadow->m_window);
            shadow->m_window = nullptr;
            shadow->m_parent = nullptr;
            shadow->m_status = 0;
        }
    } else if (shadow && (!shadow->m_suspended || message == WM_DESTROY)) {
        // Even a suspended shadow goes with its parent: the system destroys an owned
        // window with its owner, and the handle must not outlive it.
        shadow->OnParentMessage(message, wParam, lParam);
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

void CShadowUI::OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool enabled = (m_status & kEnabled) != 0;
    switch (message) {
    case WM_DESTROY:
        if (m_window && IsWindow(m_window)) DestroyWindow(m_window);
        m_window = nullptr;
        m_status = 0;
        break;
    case WM_MOVE:
        if (m_status & kShadowVisible) Follow();
        break;
    case WM_SIZE:
        OnParentSize(wParam, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_PAINT:
        if (m_updatePending) {
            m_updatePending = false;
            UpdateShadow();
        }
        break;
    case WM_SHOWWINDOW:
        if (!enabled) break;
        if (wParam) {
            if (!(m_status & kParentVisible)) {
                m_updatePending = true;
                ShowShadowWindow(kShadowVisible | kParentVisible);
            }
        } else {
            HideShadowWindow();
            m_status &= static_cast<BYTE>(~(kShadowVisible | kParentVisible));
        }
        break;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (m_window && IsWindowEnabled(m_parent))
            SetWindowPos(m_window, m_parent, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (m_status & kShadowVisible) Follow();
        if (!pos || !enabled) break;
        if ((pos->flags & SWP_SHOWWINDOW) && !(m_status & kParentVisible)) {
            m_updatePending = true;
            ShowShadowWindow(kShadowVisible | kParentVisible);
        } else if (pos->flags & SWP_HIDEWINDOW) {
            HideShadowWindow();
            m_status &= static_cast<BYTE>(~(kShadowVisible | kParentVisible));
        }
        break;
    }
    case WM_EXITSIZEMOVE:
        if (m_status & kShadowVisible) UpdateShadow();
        break;
    default:
        break;
    }
}

void CShadowUI::OnParentSize(WPARAM kind, int width, int height)
{
    if (!(m_status & kEnabled)) return;
    if (kind == SIZE_MAXIMIZED || kind == SIZE_MINIMIZED) {
        HideShadowWindow();
        m_status &= static_cast<BYTE>(~kShadowVisible);
        return;
    }
    if (!IsWindowVisible(m_parent)) return;
    const int oldWidth = m_lastWidth, oldHeight = m_lastHeight;
    const bool grew = width > oldWidth || height > oldHeight;
    m_lastWidth = static_cast<WORD>(width);
    m_lastHeight = static_cast<WORD>(height);
    if (!(m_status & kShadowVisible)) {
        // Coming back (after a maximise, say): drawn for the new size before it shows,
        // never with the picture of the old one.
        m_status |= kShadowVisible;
        UpdateShadow();
        ShowShadowWindow(kShadowVisible);
        return;
    }
    // A larger window shows its new area only when it paints, so its shadow waits for
    // the same moment; a smaller one would leave shadow in the open at once.
    if (grew) {
        m_updatePending = true;
        // The uncovered strips are what the system repaints after a growth; a layered
        // window may not get them invalidated, and then the paint would never come.
        const RECT right = {oldWidth, 0, width, height};
        const RECT bottom = {0, oldHeight, width, height};
        if (width > oldWidth) InvalidateRect(m_parent, &right, FALSE);
        if (height > oldHeight) InvalidateRect(m_parent, &bottom, FALSE);
    } else {
        UpdateShadow();
    }
}

void CShadowUI::ShowShadowWindow(BYTE marks)
{
    m_status |= marks;
    if (!m_window) return;
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    if (m_parent)
        SetWindowPos(m_window, m_parent, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void CShadowUI::HideShadowWindow()
{
    if (m_window) ShowWindow(m_window, SW_HIDE);
}

void CShadowUI::Follow()
{
    if (!m_window || !m_parent) return;
    RECT rc = {};
    if (!GetWindowRect(m_parent, &rc)) return;
    int x = rc.left - m_size, y = rc.top - m_size;
    if (!m_imageMode) {
        x += m_offsetX;
        y += m_offsetY;
    }
    SetWindowPos(m_window, m_parent, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

bool CShadowUI::CopyShadowTo(CShadowUI* other) const
{
    if (!other) return false;
    if (m_imageMode) {
        other->m_image = m_image;
        other->m_imageMode = true;
        other->m_corner = m_corner;
        other->m_size = m_size;
    } else {
        other->m_size = m_size;
        other->m_sharpness = m_sharpness;
        other->m_darkness = m_darkness;
        other->m_colour = m_colour;
        other->m_offsetX = m_offsetX;
        other->m_offsetY = m_offsetY;
    }
    other->m_show = m_show;
    other->Changed();
    return true;
}

bool CShadowUI::EnsureFrame(int width, int height)
{
    if (m_frame && m_frameSize.cx == width && m_frameSize.cy == height) return true;
    ReleaseFrame();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down, as the drawing functions expect
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP frame = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!frame || !bits) {
        if (frame) DeleteObject(frame);
        return false;
    }
    m_frame = frame;
    m_frameBits = static_cast<uint32_t*>(bits);
    m_frameSize = SIZE{width, height};
    return true;
}

void CShadowUI::ReleaseFrame()
{
    if (m_frame) DeleteObject(m_frame);
    m_frame = nullptr;
    m_frameBits = nullptr;
    m_frameSize = SIZE{0, 0};
}

void CShadowUI::UpdateShadow()
{
    if (!m_show || !(m_status & kShadowVisible) || !m_window || !m_parent) return;
    if (m_imageMode ? m_image.IsEmpty() : m_size == 0) return;
    RECT rc = {};
    if (!GetWindowRect(m_parent, &rc)) return;
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    const SIZE size = ShadowBitmapSize(width, height, m_size);
    if (size.cx == 0) return;
    POINT at = {rc.left - m_size, rc.top - m_size};

    // Nothing is pushed when a step fails: the window keeps its last good picture
    // rather than showing a half-drawn or missing one.
    if (m_imageMode) {
        UiImageInfo* image = m_manager ? m_manager->GetImageEx(m_image) : nullptr;
        if (!image || !image->bitmap) return;
        if (!EnsureFrame(size.cx, size.cy)) return;
        std::fill(m_frameBits, m_frameBits + static_cast<size_t>(size.cx) * size.cy, 0u);
        CUiMemoryDC dc;
        CUiSelectObject select(dc, m_frame);
        if (!dc || !select.Ok()) return;
        DrawImageShadow(dc, image->bitmap, image->width, image->height, image->hasAlpha, m_corner,
                        size.cx, size.cy);
        GdiFlush();
    } else {
        if (!EnsureFrame(size.cx, size.cy)) return;
        UiShadowLook look;
        look.size = m_size;
        look.sharpness = m_sharpness;
        look.darkness = m_darkness;
        look.offsetX = m_offsetX;
        look.offsetY = m_offsetY;
        look.colour = m_colour;
        if (!DrawComputedShadow(m_frameBits, width, ParentOutline(m_parent, width, height), look))
            std::fill(m_frameBits, m_frameBits + static_cast<size_t>(size.cx) * size.cy, 0u);
        at.x += m_offsetX;
        at.y += m_offsetY;
    }

    CUiMemoryDC dc;
    CUiSelectObject select(dc, m_frame);
    if (!dc || !select.Ok()) return;
    SetWindowPos(m_window, nullptr, at.x, at.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    POINT origin = {0, 0};
    SIZE push = size;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(m_window, nullptr, &at, &push, dc, &origin, 0, &blend, ULW_ALPHA);
}

} // namespace SkinUI
