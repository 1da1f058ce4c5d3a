// The live half of the paint manager, part 2: the message table. Every window
// message the manager answers has one small handler here; mouse input becomes
// hover, capture and click for the controls.
#include <windowsx.h>

#include <algorithm>

#include "ui/controls/UiControl.h"
#include "ui/core/UiPaintManagerLive.h"

namespace SkinUI {

namespace {

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Messages reflected to the child window that sent them carry this offset.
constexpr UINT kReflectOffset = 0x2000;

} // namespace

struct CPaintManagerUI::MessageTable {
    using Handler = bool (*)(CPaintManagerUI&, UINT, WPARAM, LPARAM, LRESULT&);
    struct Entry {
        UINT message;
        Handler handler;
    };

    // ---- reflection to native child controls
    static bool Command(CPaintManagerUI&, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        if (!lParam) return false;   // menus and accelerators have no child window
        result = SendMessageW(reinterpret_cast<HWND>(lParam), WM_COMMAND + kReflectOffset, wParam, lParam);
        return result != 0;
    }
    static bool CtlColor(CPaintManagerUI&, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        if (!lParam) return false;
        result = SendMessageW(reinterpret_cast<HWND>(lParam), message + kReflectOffset, wParam, lParam);
        return result != 0;
    }
    static bool Notify(CPaintManagerUI&, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header) return false;
        result = SendMessageW(header->hwndFrom, message + kReflectOffset, wParam, lParam);
        return true;
    }

    // ---- mouse
    static bool MouseMove(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (!m.m_mouseTracking) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, m.m_paintWindow, 0};
            track.dwHoverTime = m.m_tooltip ? static_cast<DWORD>(SendMessageW(
                                                  m.m_tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                            : static_cast<DWORD>(m.m_hoverTime);
            // The system's own call, which the common controls' version only
            // forwards to: a pointer resting where the window opens must not
            // start the common controls before the first frame.
            TrackMouseEvent(&track);
            m.m_mouseTracking = true;
        }
        const POINT pt = PointOf(lParam);
        m.m_lastMousePos = pt;
        CControlUI* control = m.FindControl(pt);
        if (control && control->Owner() != &m) return false;
        const WORD keys = CurrentKeyState();
        if (!m.m_mouseCapture && control != m.m_hover && m.m_hover) {
            const std::vector<CControlUI*> listeners = m.m_mouseLeaveNeeded;
            for (CControlUI* listener : listeners)
                if (std::find(m.m_mouseLeaveNeeded.begin(), m.m_mouseLeaveNeeded.end(), listener) !=
                    m.m_mouseLeaveNeeded.end())
                    m.SendEvent(listener, UIEVENT_MOUSELEAVE, wParam, lParam, keys, &pt);
            if (m.m_hover) m.SendEvent(m.m_hover, UIEVENT_MOUSELEAVE, wParam, lParam, keys, &pt);
            m.HideTooltip();
            m.m_hover = nullptr;
        }
        // A leave handler may have removed the control under the point.
        if (control && m.ControlAt(pt) != control) control = nullptr;
        if (!m.m_mouseCapture && control && control != m.m_hover) {
            m.m_hover = control;
            m.SendEvent(control, UIEVENT_MOUSEENTER, wParam, lParam, keys, &pt);
        }
        if (m.m_click) m.SendEvent(m.m_click, UIEVENT_MOUSEMOVE, wParam, lParam, keys, &pt);
        else if (control && m.ControlAt(pt) == control)
            m.SendEvent(control, UIEVENT_MOUSEMOVE, wParam, lParam, keys, &pt);
        return false;
    }

    static bool ButtonDown(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (!m.m_noActivate) ::SetFocus(m.m_paintWindow);
        if (!m.m_root) return false;
        const POINT pt = PointOf(lParam);
        m.m_lastMousePos = pt;
        CControlUI* control = m.ControlAt(pt);
        if (!control) return false;
        m.m_click = control;
        m.SetCapture();
        m.SetFocus(control);
        // Focus handlers may have removed it.
        if (m.m_click == control)
            m.SendEvent(control, UIEVENT_BUTTONDOWN, wParam, lParam, static_cast<WORD>(wParam), &pt);
        return false;
    }

    static bool ButtonUp(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        const POINT pt = PointOf(lParam);
        m.m_lastMousePos = pt;
        CControlUI* control = m.m_click;
        if (!control) return false;
        m.ReleaseCapture();
        if (m.m_click == control)
            m.SendEvent(control, UIEVENT_BUTTONUP, wParam, lParam, static_cast<WORD>(wParam), &pt);
        m.m_click = nullptr;
        return false;
    }

    static bool DoubleClick(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (!m.m_noActivate) ::SetFocus(m.m_paintWindow);
        const POINT pt = PointOf(lParam);
        m.m_lastMousePos = pt;
        CControlUI* control = m.ControlAt(pt);
        if (!control) return false;
        m.SetCapture();
        m.m_click = control;
        m.SendEvent(control, UIEVENT_DBLCLICK, wParam, lParam, static_cast<WORD>(wParam), &pt);
        return false;
    }

    static bool OtherButtonDown(CPaintManagerUI& m, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT&)
    {
        if (!m.m_noActivate) ::SetFocus(m.m_paintWindow);
        const POINT pt = PointOf(lParam);
        m.m_lastMousePos = pt;
        CControlUI* control = m.ControlAt(pt);
        if (!control) return false;
        m.SetFocus(control);
        if (m.ControlAt(pt) != control) return false;
        m.SetCapture();
        m.m_click = control;
        m.SendEvent(control, message == WM_RBUTTONDOWN ? UIEVENT_RBUTTONDOWN : UIEVENT_MBUTTONDOWN,
                    wParam, lParam, static_cast<WORD>(wParam), &pt);
        return false;
    }

    static bool OtherButtonUp(CPaintManagerUI& m, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT&)
    {
        if (m.m_mouseCapture) m.ReleaseCapture();
        const POINT pt = PointOf(lParam);
        m.m_lastMousePos = pt;
        // The click control stays: a context menu that follows goes to it.
        m.m_click = m.ControlAt(pt);
        if (m.m_click)
            m.SendEvent(m.m_click, message == WM_RBUTTONUP ? UIEVENT_RBUTTONUP : UIEVENT_MBUTTONUP,
                        wParam, lParam, static_cast<WORD>(wParam), &pt);
        return false;
    }

    static bool Wheel(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (!m.m_root) return false;
        POINT pt = PointOf(lParam);
        ScreenToClient(m.m_paintWindow, &pt);
        m.m_lastMousePos = pt;
        if (CControlUI* control = m.ControlAt(pt)) {
            const short delta = static_cast<short>(HIWORD(wParam));
            m.SendEvent(control, UIEVENT_SCROLLWHEEL, MAKEWPARAM(delta < 0 ? 1 : 0, HIWORD(wParam)),
                        lParam, CurrentKeyState(), &pt);
        }
        // Content may have scrolled under the pointer: let hover follow it.
        if (m.m_paintWindow)
            SendMessageW(m.m_paintWindow, WM_MOUSEMOVE, 0, MAKELPARAM(m.m_lastMousePos.x, m.m_lastMousePos.y));
        return false;
    }

    static bool Hover(CPaintManagerUI& m, UINT, WPARAM, LPARAM lParam, LRESULT& result)
    {
        result = 0;
        return m.OnMouseHover(lParam);
    }

    static bool Leave(CPaintManagerUI& m, UINT, WPARAM, LPARAM, LRESULT&)
    {
        m.HideTooltip();
        if (!m.m_mouseTracking) return false;
        POINT screen = {};
        GetCursorPos(&screen);
        RECT window = {};
        GetWindowRect(m.m_paintWindow, &window);
        LPARAM where = -1;   // no control: hover ends
        if (PtInRect(&window, screen) && GetActiveWindow() == m.m_paintWindow &&
            !IsIconic(m.m_paintWindow) &&
            SendMessageW(m.m_paintWindow, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTCLIENT) {
            POINT client = screen;
            ScreenToClient(m.m_paintWindow, &client);
            where = MAKELPARAM(client.x, client.y);
        }
        SendMessageW(m.m_paintWindow, WM_MOUSEMOVE, 0, where);
        m.m_mouseTracking = false;
        return false;
    }

    static bool SetCursorMessage(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        if (!m.m_root || LOWORD(lParam) != HTCLIENT) return false;
        result = TRUE;
        if (m.m_mouseCapture) return true;
        POINT pt = {};
        GetCursorPos(&pt);
        ScreenToClient(m.m_paintWindow, &pt);
        CControlUI* control = m.ControlAt(pt);
        if (!control || !(control->Flags() & UIFLAG_SETCURSOR)) return false;
        m.SendEvent(control, UIEVENT_SETCURSOR, wParam, lParam, CurrentKeyState(), &pt);
        return true;
    }

    static bool ContextMenu(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (!m.m_root) return false;
        POINT pt = PointOf(lParam);
        ScreenToClient(m.m_paintWindow, &pt);
        m.m_lastMousePos = pt;
        CControlUI* control = m.m_click;
        if (!control) return false;
        m.ReleaseCapture();
        if (m.m_click == control)
            m.SendEvent(control, UIEVENT_CONTEXTMENU, wParam, reinterpret_cast<LPARAM>(control),
                        static_cast<WORD>(wParam), &pt);
        m.m_click = nullptr;
        return false;
    }

    // ---- keyboard
    static bool KeyDown(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (!m.m_root || !m.m_focus) return false;
        CControlUI* focus = m.m_focus;
        m.SendEvent(focus, UIEVENT_KEYDOWN, wParam, lParam, CurrentKeyState(), nullptr,
                    static_cast<wchar_t>(wParam));
        if (m.m_focus == focus) m.m_keyPress = focus;
        return false;
    }
    static bool KeyUp(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        CControlUI* pressed = m.m_keyPress;
        if (!pressed) return false;
        m.SendEvent(pressed, UIEVENT_KEYUP, wParam, lParam, CurrentKeyState(), nullptr,
                    static_cast<wchar_t>(wParam));
        m.m_keyPress = nullptr;
        return false;
    }
    static bool Char(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (m.m_focus)
            m.SendEvent(m.m_focus, UIEVENT_CHAR, wParam, lParam, CurrentKeyState(), nullptr,
                        static_cast<wchar_t>(wParam));
        return false;
    }

    // ---- window state
    static bool Timer(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        m.OnTimerMessage(wParam, lParam);
        return false;
    }
    static bool AsyncWork(CPaintManagerUI& m, UINT, WPARAM, LPARAM, LRESULT&)
    {
        m.DrainAsyncWork();
        return false;
    }
    static bool Size(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        if (m.m_focus) m.SendEvent(m.m_focus, UIEVENT_WINDOWSIZE, wParam, lParam);
        if (m.m_root) m.m_root->RequestLayout();
        m.m_updateNeeded = true;
        result = 0;
        return true;
    }
    static bool SetFocusMessage(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        if (m.m_focus) m.SendEvent(m.m_focus, UIEVENT_SETFOCUS, wParam, lParam);
        return false;
    }
    static bool KillFocusMessage(CPaintManagerUI& m, UINT, WPARAM, LPARAM, LRESULT&)
    {
        if (m.m_mouseCapture) m.ReleaseCapture();
        return false;
    }
    static bool Paint(CPaintManagerUI& m, UINT, WPARAM, LPARAM, LRESULT& result)
    {
        m.OnPaint();
        result = 0;
        return true;
    }
    static bool PrintClient(CPaintManagerUI& m, UINT, WPARAM wParam, LPARAM lParam, LRESULT&)
    {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (!m.m_root || !dc) return false;
        RECT client = {};
        GetClientRect(m.m_paintWindow, &client);
        m.m_root->Render(dc, client, nullptr);
        if (lParam & PRF_CHILDREN) {
            for (HWND child = GetWindow(m.m_paintWindow, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                RECT box = {};
                GetWindowRect(child, &box);
                MapWindowPoints(HWND_DESKTOP, m.m_paintWindow, reinterpret_cast<POINT*>(&box), 2);
                POINT old = {};
                SetWindowOrgEx(dc, -box.left, -box.top, &old);
                SendMessageW(child, WM_PRINT, wParam, lParam | PRF_NONCLIENT);
                SetWindowOrgEx(dc, old.x, old.y, nullptr);
            }
        }
        return false;
    }
    static bool Close(CPaintManagerUI& m, UINT, WPARAM, LPARAM, LRESULT&)
    {
        const POINT pt = m.m_lastMousePos;
        if (CControlUI* hover = m.m_hover) {
            m.m_hover = nullptr;
            m.SendEvent(hover, UIEVENT_MOUSELEAVE, 0, MAKELPARAM(pt.x, pt.y), 0, &pt);
        }
        if (CControlUI* click = m.m_click) {
            m.m_click = nullptr;
            m.SendEvent(click, UIEVENT_BUTTONUP, 0, MAKELPARAM(pt.x, pt.y), 0, &pt);
        }
        m.SetFocus(nullptr);
        if (GetActiveWindow() == m.m_paintWindow)
            if (HWND owner = GetWindow(m.m_paintWindow, GW_OWNER)) ::SetFocus(owner);
        if (m.m_tooltip) {
            DestroyWindow(m.m_tooltip);
            m.m_tooltip = nullptr;
        }
        return false;
    }
    static bool EraseBackground(CPaintManagerUI&, UINT, WPARAM, LPARAM, LRESULT& result)
    {
        result = 1;
        return true;
    }
    static bool MinMaxInfo(CPaintManagerUI& m, UINT, WPARAM, LPARAM lParam, LRESULT&)
    {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (!info) return false;
        const SIZE minimum = m.GetMinInfo();
        const SIZE maximum = m.GetMaxInfo();
        if (minimum.cx > 0) info->ptMinTrackSize.x = minimum.cx;
        if (minimum.cy > 0) info->ptMinTrackSize.y = minimum.cy;
        if (maximum.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = maximum.cx;
        if (maximum.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = maximum.cy;
        return false;
    }

    static const Entry* Find(UINT message);
};

const CPaintManagerUI::MessageTable::Entry* CPaintManagerUI::MessageTable::Find(UINT message)
{
    static const Entry entries[] = {
        {WM_COMMAND, Command},
        {WM_CTLCOLOREDIT, CtlColor},
        {WM_CTLCOLORSTATIC, CtlColor},
        {WM_NOTIFY, Notify},
        {WM_TIMER, Timer},
        {WM_MOUSEMOVE, MouseMove},
        {WM_LBUTTONDOWN, ButtonDown},
        {WM_LBUTTONUP, ButtonUp},
        {WM_LBUTTONDBLCLK, DoubleClick},
        {WM_RBUTTONDOWN, OtherButtonDown},
        {WM_MBUTTONDOWN, OtherButtonDown},
        {WM_RBUTTONUP, OtherButtonUp},
        {WM_MBUTTONUP, OtherButtonUp},
        {WM_MOUSEWHEEL, Wheel},
        {WM_MOUSEHOVER, Hover},
        {WM_MOUSELEAVE, Leave},
        {WM_PRINTCLIENT, PrintClient},
        {kAsyncWorkMessage, AsyncWork},
        {WM_SIZE, Size},
        {WM_SETFOCUS, SetFocusMessage},
        {WM_KILLFOCUS, KillFocusMessage},
        {WM_PAINT, Paint},
        {WM_CLOSE, Close},
        {WM_ERASEBKGND, EraseBackground},
        {WM_SETCURSOR, SetCursorMessage},
        {WM_GETMINMAXINFO, MinMaxInfo},
        {WM_CONTEXTMENU, ContextMenu},
        {WM_KEYDOWN, KeyDown},
        {WM_KEYUP, KeyUp},
        {WM_CHAR, Char},
    };
    for (const Entry& entry : entries)
        if (entry.message == message) return &entry;
    return nullptr;
}

bool CPaintManagerUI::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!m_paintWindow) return false;
    const std::vector<IMessageFilterUI*> filters = m_filters;
    for (IMessageFilterUI* filter : filters) {
        if (std::find(m_filters.begin(), m_filters.end(), filter) == m_filters.end()) continue;
        bool handled = false;
        const LRESULT answer = filter->FilterMessage(message, wParam, lParam, handled);
        if (!handled) continue;
        // The pointer position still follows messages a filter swallowed.
        switch (message) {
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL: {
            POINT pt = PointOf(lParam);
            ScreenToClient(m_paintWindow, &pt);
            m_lastMousePos = pt;
            break;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            m_lastMousePos = PointOf(lParam);
            break;
        default:
            break;
        }
        result = answer;
        return true;
    }
    if (m_layered) {
        switch (message) {
        case WM_NCCALCSIZE:
        case WM_NCPAINT:
            result = 0;
            return true;
        case WM_NCACTIVATE:
            if (IsIconic(m_paintWindow)) break;
            result = wParam == FALSE ? TRUE : FALSE;
            return true;
        default:
            break;
        }
    }
    const MessageTable::Entry* entry = MessageTable::Find(message);
    return entry && entry->handler(*this, message, wParam, lParam, result);
}

} // namespace SkinUI
