// The window's frame as the skin draws it: no system caption or border, the
// skin's caption and sizing border found by hit-testing, round corners cut by a
// window region, and the maximised state kept in step with the caption buttons.
#include <windowsx.h>

#include <cwchar>

#include "ui/controls/UiContainer.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiWindowImplBase.h"

namespace SkinUI {

namespace {

// Controls that neither take clicks nor hold anything that does.
const wchar_t* const kPassiveClasses[] = {
    L"controlui",          L"textui",          L"labelui",
    L"containerui",        L"horizontallayoutui", L"verticallayoutui",
    L"tablayoutui",        L"childlayoutui",   L"dialoglayoutui",
    L"progresscontainerui",
};

bool IsPassiveClass(const wchar_t* typeName)
{
    if (!typeName) return false;
    for (const wchar_t* passive : kPassiveClasses)
        if (_wcsicmp(typeName, passive) == 0) return true;
    return false;
}

// Which sizing-border code a client point gets, or HTNOWHERE outside the border.
LRESULT SizingBorderCode(POINT pt, const RECT& client, const RECT& box)
{
    const bool left = pt.x < client.left + box.left;
    const bool right = pt.x >= client.right - box.right;
    if (pt.y < client.top + box.top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (pt.y >= client.bottom - box.bottom)
        return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    return HTNOWHERE;
}

} // namespace

bool WindowImplBase::IsPassiveControl(CControlUI* control)
{
    if (!control) return false;
    for (CControlUI* c = control; c; c = c->ParentControl())
        if (!IsPassiveClass(c->TypeName())) return false;
    return true;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled)
{
    handled = true;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_window, &pt);
    RECT client = {};
    GetClientRect(m_window, &client);

    if (!IsZoomed(m_window)) {
        const LRESULT border = SizingBorderCode(pt, client, m_manager.GetSizeBox());
        if (border != HTNOWHERE) return border;
    }
    const RECT caption = m_manager.GetCaptionRect();
    if (pt.x < client.left + caption.left || pt.x >= client.right - caption.right) return HTCLIENT;
    const LONG bottom = caption.bottom < 0 ? client.bottom : caption.bottom;
    if (pt.y >= caption.top && pt.y < bottom && IsPassiveControl(m_manager.FindControl(pt)))
        return HTCAPTION;
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled)
{
    handled = true;
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (!info) return 0;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        handled = false;
        return 0;
    }
    // The maximised position is relative to the monitor: a taskbar at the left
    // or top of any monitor still shifts it.
    RECT work = monitor.rcWork;
    OffsetRect(&work, -monitor.rcMonitor.left, -monitor.rcMonitor.top);
    const LONG workWidth = work.right - work.left;
    const LONG workHeight = work.bottom - work.top;
    info->ptMaxPosition = {work.left, work.top};
    info->ptMaxSize = {workWidth, workHeight};
    const SIZE maxInfo = m_manager.GetMaxInfo();
    info->ptMaxTrackSize = {maxInfo.cx ? maxInfo.cx : workWidth, maxInfo.cy ? maxInfo.cy : workHeight};
    const SIZE minInfo = m_manager.GetMinInfo();
    info->ptMinTrackSize = {minInfo.cx, minInfo.cy};
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = false;   // the paint manager lays out at the new size
    if (IsIconic(m_window)) return 0;
    RECT rect = {};
    GetWindowRect(m_window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const SIZE corner = m_manager.GetRoundCorner();
    HRGN region = (corner.cx || corner.cy)
                      ? CreateRoundRectRgn(0, 0, width + 1, height + 1, corner.cx, corner.cy)
                      : CreateRectRgn(0, 0, width + 1, height + 1);
    // The window owns the region once it is set; a refused one is ours to free.
    if (region && !SetWindowRgn(m_window, region, TRUE)) DeleteObject(region);
    return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled)
{
    if (IsIconic(m_window)) {
        handled = false;
        return 0;
    }
    handled = true;
    return wParam == FALSE ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = true;
    return 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = true;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = true;
    // The low four bits of the command belong to the system.
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        Send(WM_CLOSE, 0, 0);
        return 0;
    }
    const HWND window = m_window;
    const bool wasMaximised = IsZoomed(window) != FALSE;
    const LRESULT result = CWindowWnd::OnMessage(message, wParam, lParam);
    // The command may have closed the window and with it this object's state.
    if (!IsWindow(window) || m_window != window) return result;
    const bool maximised = IsZoomed(window) != FALSE;
    if (maximised != wasMaximised) ShowMaximised(maximised);
    return result;
}

void WindowImplBase::ShowMaximised(bool maximised)
{
    CControlUI* root = m_manager.GetRoot();
    auto* container =
        root ? static_cast<CContainerUI*>(root->InterfaceFor(L"Container")) : nullptr;
    // A maximised window has no room for the margin around its content (the
    // shadow drawn inside a layered window). A root that was never wrapped has
    // no such margin, and the inset its skin gave it stays.
    const RECT margin = m_manager.GetWrappedRootInset();
    const bool hasMargin = margin.left || margin.top || margin.right || margin.bottom;
    if (container && hasMargin) container->AssignInset(maximised ? RECT{} : margin);
    if (CControlUI* max = m_manager.FindControl(L"maxbtn")) max->Show(!maximised);
    if (CControlUI* restore = m_manager.FindControl(L"restorebtn")) restore->Show(maximised);
}

} // namespace SkinUI
