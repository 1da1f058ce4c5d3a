#include "ui/core/UiWindowImplBase.h"

#include <cwchar>

#include "ui/controls/UiControl.h"

namespace SkinUI {

UI_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
    UI_ON_NOTIFY(L"click", L"", OnClick)
UI_END_NOTIFY_MAP()

namespace {

using Handler = LRESULT (WindowImplBase::*)(UINT, WPARAM, LPARAM, bool&);

struct MessageRoute {
    UINT message;
    Handler handler;
};

// The messages with a handler of their own; everything else goes to
// HandleOtherMessage, then to the paint manager, then to the default procedure.
const MessageRoute kRoutes[] = {
    {WM_CREATE, &WindowImplBase::OnCreate},
    {WM_DESTROY, &WindowImplBase::OnDestroy},
    {WM_SIZE, &WindowImplBase::OnSize},
    {WM_SETFOCUS, &WindowImplBase::OnSetFocus},
    {WM_KILLFOCUS, &WindowImplBase::OnKillFocus},
    {WM_CLOSE, &WindowImplBase::OnClose},
    {WM_GETMINMAXINFO, &WindowImplBase::OnGetMinMaxInfo},
    {WM_NCCALCSIZE, &WindowImplBase::OnNcCalcSize},
    {WM_NCHITTEST, &WindowImplBase::OnNcHitTest},
    {WM_NCPAINT, &WindowImplBase::OnNcPaint},
    {WM_NCACTIVATE, &WindowImplBase::OnNcActivate},
    {WM_KEYDOWN, &WindowImplBase::OnKeyDown},
    {WM_CHAR, &WindowImplBase::OnChar},
    {WM_SYSCOMMAND, &WindowImplBase::OnSysCommand},
    {WM_MOUSEMOVE, &WindowImplBase::OnMouseMove},
    {WM_LBUTTONDOWN, &WindowImplBase::OnLButtonDown},
    {WM_LBUTTONUP, &WindowImplBase::OnLButtonUp},
    {WM_MOUSEWHEEL, &WindowImplBase::OnMouseWheel},
    {WM_MOUSEHOVER, &WindowImplBase::OnMouseHover},
};

// Handlers that leave the message to the paint manager and the default procedure.
LRESULT PassOn(bool& handled)
{
    handled = false;
    return 0;
}

} // namespace

WindowImplBase::~WindowImplBase()
{
    // Before the paint manager goes: its teardown must not reach this object
    // through a window that is still alive.
    Unbind();
}

LRESULT WindowImplBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (const MessageRoute& route : kRoutes) {
        if (route.message != message) continue;
        bool handled = true;
        const LRESULT result = (this->*route.handler)(message, wParam, lParam, handled);
        if (handled) return result;
        break;
    }
    bool handled = false;
    const LRESULT other = HandleOtherMessage(message, wParam, lParam, handled);
    if (handled) return other;
    LRESULT result = 0;
    if (m_manager.HandleMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::OnMessage(message, wParam, lParam);
}

void WindowImplBase::AfterDestroy(HWND window)
{
    (void)window;
    m_manager.RemovePreMessageFilter(this);
    m_manager.RemoveNotifier(this);
    // The tree stays with the manager, which deletes it with this object: the
    // application may still read its controls once the window is gone (after a
    // modal loop, say). Only the timers die with the window.
    m_manager.StopAllTimers();
}

// ---- creation from the skin

LONG WindowImplBase::WindowStyle() const
{
    const LONG style = m_window ? GetWindowLongW(m_window, GWL_STYLE) : 0;
    return style & ~WS_CAPTION;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = true;
    SetWindowLongW(m_window, GWL_STYLE, WindowStyle() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_manager.Init(m_window, ManagerLabel());
    m_manager.AddPreMessageFilter(this);

    CLayoutBuilder builder;
    const CUiString file = LayoutFile();
    const CUiString type = LayoutResourceType();
    CControlUI* root = nullptr;
    if (type.IsEmpty()) {
        if (!file.IsEmpty()) root = builder.Create(file, nullptr, this, &m_manager, nullptr);
    } else {
        // A resource id must be a whole number that fits MAKEINTRESOURCE; anything
        // else would be read as a pointer to a name.
        wchar_t* end = nullptr;
        const unsigned long id = std::wcstoul(file, &end, 10);
        if (!file.IsEmpty() && end && *end == L'\0' && id > 0 && id <= 0xFFFF)
            root = builder.Create(MAKEINTRESOURCEW(id), type, this, &m_manager, nullptr);
    }
    if (!root) SkinFailed();
    m_manager.AttachRoot(root);
    m_manager.AddNotifier(this);
    OnLayoutAttached();
    return 0;
}

void WindowImplBase::SkinFailed()
{
    CUiString text(L"加载资源文件失败：");
    text += LayoutFile();
    MessageBoxW(nullptr, text, L"SkinUI", MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

// ---- the interfaces

void WindowImplBase::Notify(UiNotification& notification) { DispatchNotification(notification); }

LRESULT WindowImplBase::FilterMessage(UINT message, WPARAM wParam, LPARAM, bool& handled)
{
    (void)handled;   // never set: Return and Escape still reach the focused control
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        return DefaultKeyResult(wParam);
    return 0;
}

CControlUI* WindowImplBase::MakeControl(const wchar_t*) { return nullptr; }

const wchar_t* WindowImplBase::QueryControlText(const wchar_t*, const wchar_t*) { return nullptr; }

// ---- standard buttons

void WindowImplBase::OnClick(UiNotification& notification)
{
    if (!notification.sender) return;
    const CUiString name = notification.sender->Name();
    if (name == L"closebtn")
        Close(IDOK);
    else if (name == L"minbtn")
        Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (name == L"maxbtn")
        Send(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (name == L"restorebtn")
        Send(WM_SYSCOMMAND, SC_RESTORE, 0);
}

// ---- handlers that pass the message on

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }
LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) { return PassOn(handled); }

LRESULT WindowImplBase::HandleOtherMessage(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = false;
    return 0;
}

} // namespace SkinUI
