// The live half of the paint manager, part 4: notifications (sync and async),
// message filters, accelerator handlers, keyboard pre-processing, pre-translate and
// the message loop.
#include <algorithm>

#include "ui/controls/UiControl.h"
#include "ui/core/UiPaintManagerLive.h"

namespace SkinUI {

LiveProcessState& LiveProcessState::Get()
{
    static LiveProcessState state;
    return state;
}

LiveProcessState::LiveProcessState()
    : m_dirtyPen(CreatePen(PS_SOLID, 1, RGB(220, 0, 0))), m_updateLayered(nullptr),
      m_updateIndirect(nullptr), m_setLayeredAttributes(nullptr)
{
    // The common controls are started by the first tooltip: a program that
    // binds them late shows its first frame without waiting for them.
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        m_updateLayered = reinterpret_cast<UpdateLayeredWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow")));
        m_updateIndirect = reinterpret_cast<UpdateLayeredWindowIndirectFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindowIndirect")));
        m_setLayeredAttributes = reinterpret_cast<SetLayeredWindowAttributesFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    }
}

WORD CurrentKeyState()
{
    WORD state = 0;
    if (GetKeyState(VK_LBUTTON) < 0) state |= UIKEY_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) state |= UIKEY_RBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) state |= UIKEY_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) state |= UIKEY_CONTROL;
    if (GetKeyState(VK_MENU) < 0) state |= UIKEY_ALT;
    return state;
}

namespace {

template <class T>
bool AddOnce(std::vector<T*>& list, T* item)
{
    if (!item || std::find(list.begin(), list.end(), item) != list.end()) return false;
    list.push_back(item);
    return true;
}

template <class T>
bool RemoveItem(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

template <class T>
bool Contains(const std::vector<T*>& list, T* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) { return AddOnce(m_notifiers, notifier); }
bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) { return RemoveItem(m_notifiers, notifier); }
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) { return AddOnce(m_filters, filter); }
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveItem(m_filters, filter); }
bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) { return AddOnce(m_preFilters, filter); }
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter)
{
    return RemoveItem(m_preFilters, filter);
}
bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAcceleratorUI* handler)
{
    return AddOnce(m_accelerators, handler);
}
bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAcceleratorUI* handler)
{
    return RemoveItem(m_accelerators, handler);
}
bool CPaintManagerUI::AddPostPaint(CControlUI* control) { return AddOnce(m_postPaint, control); }
bool CPaintManagerUI::RemovePostPaint(CControlUI* control) { return RemoveItem(m_postPaint, control); }
bool CPaintManagerUI::AddMouseLeaveNeeded(CControlUI* control)
{
    return AddOnce(m_mouseLeaveNeeded, control);
}
bool CPaintManagerUI::RemoveMouseLeaveNeeded(CControlUI* control)
{
    return RemoveItem(m_mouseLeaveNeeded, control);
}

bool CPaintManagerUI::AddNativeWindow(CControlUI* control, HWND window)
{
    if (!control || !window) return false;
    for (const NativeWindow& known : m_nativeWindows)
        if (known.window == window) return false;
    m_nativeWindows.push_back({control, window});
    return true;
}

bool CPaintManagerUI::RemoveNativeWindow(HWND window)
{
    for (auto it = m_nativeWindows.begin(); it != m_nativeWindows.end(); ++it) {
        if (it->window == window) {
            m_nativeWindows.erase(it);
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam,
                                 LPARAM lParam, bool async)
{
    UiNotification notification;
    notification.type = type ? type : L"";
    notification.sender = sender;
    notification.wParam = wParam;
    notification.lParam = lParam;
    SendNotify(notification, async);
}

void CPaintManagerUI::SendNotify(UiNotification& notification, bool async)
{
    notification.timestamp = GetTickCount();
    notification.mouse = m_lastMousePos;
    if (m_useVirtualWindowNames && notification.sender)
        notification.virtualWindow = notification.sender->VirtualWindowName();
    if (async) {
        Store().asyncQueue.push_back(notification);
        if (m_paintWindow && !m_asyncPosted)
            m_asyncPosted = PostMessageW(m_paintWindow, kAsyncWorkMessage, 0, 0) != FALSE;
        return;
    }
    DeliverNotification(notification);
}

void CPaintManagerUI::DeliverNotification(UiNotification& notification)
{
    // Receivers may remove themselves or others, or destroy the sender: walk a copy
    // of the list, skip receivers removed meanwhile, and let ForgetControl null the
    // sender of this record.
    std::vector<UiNotification*>& inFlight = Store().inFlight;
    inFlight.push_back(&notification);
    if (notification.sender) notification.sender->OnNotify.Raise(&notification);
    const std::vector<INotifyUI*> receivers = m_notifiers;
    for (INotifyUI* receiver : receivers)
        if (Contains(m_notifiers, receiver)) receiver->Notify(notification);
    // A receiver may have torn the manager's live state down (window destroyed).
    if (m_store) {
        auto& list = m_store->inFlight;
        auto it = std::find(list.begin(), list.end(), &notification);
        if (it != list.end()) list.erase(it);
    }
}

namespace {

struct ShortcutQuery {
    wchar_t key;
    bool found;
};

CControlUI* MatchShortcut(CControlUI* control, void* data)
{
    ShortcutQuery* query = static_cast<ShortcutQuery*>(data);
    if (!query->found) {
        const wchar_t shortcut = static_cast<wchar_t>(
            reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(
                static_cast<UINT_PTR>(control->AccessKey())))));
        if (shortcut && shortcut == query->key) query->found = true;
    }
    // A label's shortcut names the control after it.
    if (query->found && !wcsstr(control->TypeName(), L"LabelUI")) return control;
    return nullptr;
}

bool WantsTabKey(CControlUI* focus)
{
    if (!focus) return false;
    if (wcsstr(focus->TypeName(), L"WkeWebkitUI")) return true;
    // Rich edits keep Tab for themselves (the rich-edit control answers this query
    // only while it wants tabs).
    return focus->Shown() && focus->Enabled() && focus->InterfaceFor(L"RichEditWantsTab");
}

} // namespace

bool CPaintManagerUI::PreHandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const std::vector<IMessageFilterUI*> filters = m_preFilters;
    for (IMessageFilterUI* filter : filters) {
        if (!Contains(m_preFilters, filter)) continue;
        bool handled = false;
        const LRESULT answer = filter->FilterMessage(message, wParam, lParam, handled);
        if (handled) {
            result = answer;
            return true;
        }
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB || WantsTabKey(m_focus)) return false;
        FocusNextTabStop(GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSCHAR: {
        if (!m_root) return false;
        ShortcutQuery query = {static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
                                   CharUpperW(reinterpret_cast<LPWSTR>(wParam & 0xFFFF)))),
                               false};
        CControlUI* target = m_root->Search(MatchShortcut, &query,
                                            UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
        if (!target) return false;
        SetFocus(target);
        target->Trigger();
        return true;
    }
    case WM_SYSKEYDOWN:
        if (m_focus) SendEvent(m_focus, UIEVENT_SYSKEY, wParam, lParam, CurrentKeyState(), nullptr,
                               static_cast<wchar_t>(wParam));
        return false;
    default:
        return false;
    }
}

bool CPaintManagerUI::PreTranslate(MSG* msg)
{
    if (!msg) return false;
    // Handlers may destroy windows and their managers: walk a copy and skip the
    // managers that left the list meanwhile.
    const CUiPtrArray managers = GetManagers();
    auto alive = [](CPaintManagerUI* manager) { return GetManagers().Find(manager) >= 0; };
    auto accelerate = [msg](CPaintManagerUI* manager) {
        const std::vector<ITranslateAcceleratorUI*> handlers = manager->m_accelerators;
        for (ITranslateAcceleratorUI* handler : handlers)
            if (Contains(manager->m_accelerators, handler) && handler->TranslateAccelerator(msg))
                return true;
        return false;
    };
    const LONG style = GetWindowLongW(msg->hwnd, GWL_STYLE);
    if (style & WS_CHILD) {
        for (int i = 0; i < managers.GetSize(); ++i) {
            CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(managers[i]);
            if (!alive(manager)) continue;
            for (HWND w = msg->hwnd; w; w = GetParent(w)) {
                if (w != manager->m_paintWindow) continue;
                if (accelerate(manager)) return true;
                LRESULT ignored = 0;
                manager->PreHandleMessage(msg->message, msg->wParam, msg->lParam, ignored);
                break;
            }
        }
        return false;
    }
    for (int i = 0; i < managers.GetSize(); ++i) {
        CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(managers[i]);
        if (!alive(manager) || manager->m_paintWindow != msg->hwnd) continue;
        if (accelerate(manager)) return true;
        LRESULT ignored = 0;
        return manager->PreHandleMessage(msg->message, msg->wParam, msg->lParam, ignored);
    }
    return false;
}

void CPaintManagerUI::RunMessageLoop()
{
    MSG msg = {};
    // GetMessage answers -1 on a bad call; looping on it would never end.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace SkinUI
