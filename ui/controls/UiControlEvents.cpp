// The control base's input: listeners first, then the base reaction to each
// event kind; everything the base does not consume goes to the parent.
#include "ui/controls/UiControl.h"
#include "ui/core/UiPaintManager.h"

namespace SkinUI {

void CControlUI::HandleEvent(UiEvent& event)
{
    if (!OnEvent.Raise(&event))
        return;
    ProcessEvent(event);
}

void CControlUI::ProcessEvent(UiEvent& event)
{
    switch (event.kind) {
    case UIEVENT_CONTEXTMENU:
        if (m_menuUsed && m_manager) {
            m_manager->SendNotify(this, UiNotify::Menu, event.wParam, event.lParam);
            return;
        }
        break;
    case UIEVENT_KILLFOCUS:
        m_focused = false;
        Repaint();
        return;
    case UIEVENT_SETFOCUS:
        m_focused = true;
        Repaint();
        return;
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(m_cursor != 0 ? m_cursor : 32512)));
        return;
    case UIEVENT_TIMER:
        if (m_manager)
            m_manager->SendNotify(this, UiNotify::Timer, event.wParam, event.lParam);
        return;
    default:
        break;
    }
    if (m_parent)
        m_parent->ProcessEvent(event);
}

CControlUI* CControlUI::Search(UiFindProc visitor, void* data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) && !Shown())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !Enabled())
        return nullptr;
    if (flags & UIFIND_HITTEST) {
        const POINT* pt = static_cast<const POINT*>(data);
        if (!m_mouseEnabled || !pt || !PtInRect(&m_itemRect, *pt))
            return nullptr;
    }
    return visitor ? visitor(this, data) : nullptr;
}

bool CControlUI::SetTimer(UINT id, UINT elapse)
{
    return m_manager ? m_manager->SetTimer(this, id, elapse) : false;
}

bool CControlUI::KillTimer(UINT id)
{
    return m_manager ? m_manager->KillTimer(this, id) : false;
}

void CControlUI::KillAllTimers()
{
    if (m_manager)
        m_manager->KillTimer(this);
}

} // namespace SkinUI
