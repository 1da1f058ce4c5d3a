// The live half of the paint manager, part 3: keyboard focus and tab order, timers
// and tooltips.
#include <algorithm>

#include "ui/controls/UiControl.h"
#include "ui/core/UiLayeredPixels.h"
#include "ui/core/UiPaintManagerLive.h"

namespace SkinUI {

void CPaintManagerUI::SendEvent(CControlUI* control, int kind, WPARAM wParam, LPARAM lParam,
                                WORD keyState, const POINT* pt, wchar_t key, CControlUI* sender)
{
    if (!control) return;
    UiEvent event;
    event.kind = kind;
    event.sender = sender ? sender : control;
    event.timestamp = GetTickCount();
    event.mouse = pt ? *pt : m_lastMousePos;
    event.key = key;
    event.keyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    control->HandleEvent(event);
}

// ---- focus

namespace {

bool Focusable(const CControlUI* control, const CPaintManagerUI* manager)
{
    return control && control->Owner() == manager && control->Shown() && control->Enabled();
}

// The visible, enabled controls in tree order (each container before its children).
CControlUI* CollectInOrder(CControlUI* control, void* data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

std::vector<CControlUI*> TreeOrder(CControlUI* root)
{
    std::vector<CControlUI*> order;
    if (root) root->Search(CollectInOrder, &order, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
    return order;
}

bool IsTabStop(const CControlUI* control) { return (control->Flags() & UIFLAG_TABSTOP) != 0; }

// The tab stop after (forward) or before `from` in tree order, wrapping round; null
// when the tree has none. A `from` not in the walk counts as "no focus yet".
CControlUI* NextTabStop(const std::vector<CControlUI*>& order, CControlUI* from, bool forward)
{
    const auto at = std::find(order.begin(), order.end(), from);
    if (forward) {
        if (at != order.end())
            for (auto it = at + 1; it != order.end(); ++it)
                if (IsTabStop(*it)) return *it;
        for (CControlUI* control : order)
            if (IsTabStop(control)) return control;
        return nullptr;
    }
    if (at != order.end())
        for (auto it = std::make_reverse_iterator(at); it != order.rend(); ++it)
            if (IsTabStop(*it)) return *it;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (IsTabStop(*it)) return *it;
    return nullptr;
}

} // namespace

void CPaintManagerUI::SetFocus(CControlUI* control)
{
    if (m_paintWindow && ::GetFocus() != m_paintWindow && control != m_focus)
        ::SetFocus(m_paintWindow);
    if (control == m_focus) return;
    if (CControlUI* old = m_focus) {
        SendEvent(old, UIEVENT_KILLFOCUS, 0, 0, 0, nullptr, 0, control);
        // The handler may have destroyed it (ForgetControl cleared m_focus).
        if (m_focus == old) SendNotify(old, UiNotify::KillFocus);
        m_focus = nullptr;
    }
    if (!Focusable(control, this)) return;
    m_focus = control;
    SendEvent(control, UIEVENT_SETFOCUS);
    if (m_focus == control) SendNotify(control, UiNotify::SetFocus);
}

void CPaintManagerUI::SetFocusQuietly(CControlUI* control)
{
    if (m_paintWindow) ::SetFocus(m_paintWindow);
    if (!control) return;
    if (CControlUI* old = m_focus) {
        SendEvent(old, UIEVENT_KILLFOCUS, 0, 0, 0, nullptr, 0, control);
        if (m_focus == old) SendNotify(old, UiNotify::KillFocus);
        m_focus = nullptr;
    }
    // No events now: the next paint moves the focus on properly (focus needed).
    m_focus = NextTabStop(TreeOrder(m_root), control, true);
    m_focusNeeded = true;
    if (m_root) m_root->RequestLayout();
    m_updateNeeded = true;
}

bool CPaintManagerUI::FocusNextTabStop(bool forward)
{
    if (m_updateNeeded && forward) {
        // Positions are stale; the paint after the layout does it.
        m_focusNeeded = true;
        Invalidate();
        return true;
    }
    CControlUI* next = NextTabStop(TreeOrder(m_root), m_focus, forward);
    if (next) SetFocus(next);
    m_focusNeeded = false;
    return true;
}

// ---- timers

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse)
{
    if (!control || !m_paintWindow) return false;
    for (TimerRecord& record : m_timers) {
        if (record.control != control || record.id != id || record.window != m_paintWindow) continue;
        if (!record.killed) return false;
        if (!::SetTimer(m_paintWindow, record.localId, elapse, nullptr)) return false;
        record.killed = false;
        return true;
    }
    // Killed records keep their local id: they can be re-armed with it.
    std::vector<unsigned> held;
    for (const TimerRecord& record : m_timers)
        if (record.window == m_paintWindow) held.push_back(record.localId);
    const int localId = NextTimerLocalId(&m_timerCounter, held);
    if (localId < 0) return false;
    if (!::SetTimer(m_paintWindow, static_cast<UINT_PTR>(localId), elapse, nullptr)) return false;
    m_timers.push_back({control, id, m_paintWindow, static_cast<UINT>(localId), false});
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id)
{
    for (TimerRecord& record : m_timers) {
        if (record.control != control || record.id != id || record.window != m_paintWindow ||
            record.killed)
            continue;
        if (IsWindow(record.window)) ::KillTimer(record.window, record.localId);
        record.killed = true;
        return true;
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* control)
{
    auto stop = [this, control](const TimerRecord& record) {
        if (record.control != control || record.window != m_paintWindow) return false;
        if (!record.killed && IsWindow(record.window)) ::KillTimer(record.window, record.localId);
        return true;
    };
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), stop), m_timers.end());
}

void CPaintManagerUI::StopAllTimers()
{
    auto stop = [this](const TimerRecord& record) {
        if (record.window != m_paintWindow) return false;
        if (!record.killed && IsWindow(record.window)) ::KillTimer(record.window, record.localId);
        return true;
    };
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), stop), m_timers.end());
}

void CPaintManagerUI::OnTimerMessage(WPARAM wParam, LPARAM lParam)
{
    const UINT localId = LOWORD(wParam);
    for (const TimerRecord& record : m_timers) {
        if (record.window != m_paintWindow || record.localId != localId || record.killed) continue;
        // The handler may set or kill timers: nothing of the list is used after it.
        SendEvent(record.control, UIEVENT_TIMER, record.id, lParam, CurrentKeyState());
        return;
    }
}

// ---- tooltips

void CPaintManagerUI::HideTooltip()
{
    if (m_tooltip && m_store) SendMessageW(m_tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_store->toolInfo));
}

bool CPaintManagerUI::OnMouseHover(LPARAM lParam)
{
    m_mouseTracking = false;
    const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    CControlUI* control = ControlAt(pt);
    if (!control) return false;
    if (m_hover) SendEvent(m_hover, UIEVENT_MOUSEHOVER, 0, lParam, CurrentKeyState(), &pt);
    // The hover handler may have removed the control.
    if (ControlAt(pt) != control) return true;
    LiveStore& store = Store();
    store.tipText = control->Hint();
    if (store.tipText.IsEmpty()) return true;
    TTTOOLINFOW& info = store.toolInfo;
    info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = m_paintWindow;
    info.uId = reinterpret_cast<UINT_PTR>(m_paintWindow);
    info.hinst = GetInstance();
    info.lpszText = store.tipText.GetBuffer();
    info.rect = control->BoundsRef();
    if (!m_tooltip) {
        // The tooltip class is the only thing taken from the common controls
        // by window class rather than by call; their start-up waits until now.
        InitCommonControls();
        m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_paintWindow,
                                    nullptr, GetInstance(), nullptr);
        if (!m_tooltip) return true;
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, control->HintWidth());
    }
    if (!IsWindowVisible(m_tooltip)) {
        SendMessageW(m_tooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
        SendMessageW(m_tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    }
    return true;
}

} // namespace SkinUI
