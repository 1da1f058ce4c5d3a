#include "ui/core/UiWindowWnd.h"

#include "ui/core/UiPaintManager.h"

namespace SkinUI {

namespace {

// Superclassed windows keep their object here: a copied class's procedure may
// use GWLP_USERDATA for itself.
constexpr const wchar_t* kObjectProperty = L"WndX";

CWindowWnd* ObjectOf(HWND window, bool property)
{
    if (property) return static_cast<CWindowWnd*>(GetPropW(window, kObjectProperty));
    return reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void StoreObject(HWND window, CWindowWnd* self, bool property)
{
    if (property) {
        if (self) SetPropW(window, kObjectProperty, self);
        else RemovePropW(window, kObjectProperty);
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
}

} // namespace

CWindowWnd::~CWindowWnd()
{
    // A modal loop still running on this object must not touch it afterwards.
    if (m_modal) m_modal->objectGone = true;
    Unbind();
    if (m_icon) DestroyIcon(m_icon);
}

void CWindowWnd::Unbind()
{
    if (!m_window) return;
    if (IsWindow(m_window)) {
        if (ObjectOf(m_window, true) == this) StoreObject(m_window, nullptr, true);
        if (ObjectOf(m_window, false) == this) StoreObject(m_window, nullptr, false);
        Unsubclass();
    }
    m_window = nullptr;
}

HINSTANCE CWindowWnd::Instance()
{
    HINSTANCE instance = CPaintManagerUI::GetInstance();
    return instance ? instance : GetModuleHandleW(nullptr);
}

LRESULT CWindowWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_previous, m_window, message, wParam, lParam);
}

// ---- classes and creation

bool CWindowWnd::RegisterOwnClass()
{
    const wchar_t* name = ClassName();
    if (!name || !*name) return false;
    WNDCLASSW wc = {};
    wc.style = ClassStyle();
    wc.lpfnWndProc = OwnProcedure;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterDerivedClass()
{
    const wchar_t* name = ClassName();
    const wchar_t* base = BaseClassName();
    if (!name || !*name || !base || !*base) return false;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, base, &wc) && !GetClassInfoExW(Instance(), base, &wc))
        return false;
    m_previous = wc.lpfnWndProc;
    wc.lpfnWndProc = SuperclassProcedure;
    wc.hInstance = Instance();
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x,
                        int y, int cx, int cy, HMENU menu)
{
    // One object, one window: a second window would leave the first without its object.
    if (m_window && IsWindow(m_window)) return nullptr;
    const bool registered = BaseClassName() ? RegisterDerivedClass() : RegisterOwnClass();
    if (!registered) return nullptr;
    HWND window = CreateWindowExW(exStyle, ClassName(), name, style, x, y, cx, cy, parent, menu,
                                  Instance(), this);
    // A window refused during creation has already unbound itself; nothing is left to keep.
    if (!window) m_window = nullptr;
    return window;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle,
                        const RECT& rect, HMENU menu)
{
    return Create(parent, name, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, menu);
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle)
{
    return Create(parent, name, style, exStyle, 0, 0, 0, 0, nullptr);
}

HWND CWindowWnd::Subclass(HWND window)
{
    if (!window || !IsWindow(window) || m_window) return nullptr;
    const LONG_PTR old = SetWindowLongPtrW(window, GWLP_WNDPROC,
                                           reinterpret_cast<LONG_PTR>(OwnProcedure));
    if (!old) return nullptr;
    m_previous = reinterpret_cast<WNDPROC>(old);
    m_subclassed = true;
    m_window = window;
    StoreObject(window, this, false);
    return window;
}

void CWindowWnd::Unsubclass()
{
    if (!m_subclassed) return;
    if (m_window && IsWindow(m_window))
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    m_previous = ::DefWindowProcW;
    m_subclassed = false;
}

// ---- the window procedures

// Own classes keep the object in the user-data slot, superclassed ones in a
// property (the superclass may use the slot itself); otherwise they are alike.
LRESULT CWindowWnd::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             bool superclass)
{
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = create ? static_cast<CWindowWnd*>(create->lpCreateParams) : nullptr;
        if (self) {
            self->m_window = window;
            StoreObject(window, self, superclass);
        }
    } else {
        self = ObjectOf(window, superclass);
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return Route(self, window, message, wParam, lParam, superclass);
}

LRESULT CALLBACK CWindowWnd::OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Dispatch(window, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::SuperclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    return Dispatch(window, message, wParam, lParam, true);
}

LRESULT CWindowWnd::Route(CWindowWnd* self, HWND window, UINT message, WPARAM wParam,
                          LPARAM lParam, bool property)
{
    if (message == WM_NCDESTROY) {
        const LRESULT result = CallWindowProcW(self->m_previous, window, message, wParam, lParam);
        StoreObject(window, nullptr, property);
        if (self->m_subclassed) self->Unsubclass();
        self->m_window = nullptr;
        if (self->m_modal) self->m_modal->destroyed = true;
        // Last use of the object: it may delete itself in there.
        self->AfterDestroy(window);
        return result;
    }
    if (message != WM_CLOSE || !self->m_modal)
        return self->OnMessage(message, wParam, lParam);

    // A modal window closing gives its owner back before it goes, so that
    // activation returns there and not to some other program. A close the
    // handler refuses leaves the window up, and its owner disabled again.
    ModalState* modal = self->m_modal;
    self->NoteClose(wParam);
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (!modal->destroyed && !modal->objectGone && IsWindow(window) && modal->owner &&
        IsWindowVisible(window))
        EnableWindow(modal->owner, FALSE);
    return result;
}

void CWindowWnd::NoteClose(WPARAM wParam)
{
    if (!m_modal) return;
    m_modal->result = static_cast<UINT>(wParam);
    if (m_modal->owner) {
        EnableWindow(m_modal->owner, TRUE);
        ::SetFocus(m_modal->owner);
    }
}

// ---- showing, modal loop, closing

void CWindowWnd::ShowWindow(bool show, bool takeFocus)
{
    if (!m_window) return;
    ::ShowWindow(m_window, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::RunModal()
{
    if (!m_window || !IsWindow(m_window) || m_modal) return static_cast<UINT>(-1);
    const HWND window = m_window;
    ModalState state;
    state.owner = GetWindow(window, GW_OWNER);
    m_modal = &state;
    if (state.owner) EnableWindow(state.owner, FALSE);
    ::ShowWindow(window, SW_SHOWNORMAL);

    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg = {};
    // The object may die inside a handler (its after-destroy may delete it), so
    // only the local state and the handle copy are read in here.
    while (!state.destroyed && IsWindow(window)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1) break;
        // Taken here too: a WM_CLOSE that a filter swallows never reaches the procedure.
        if (msg.message == WM_CLOSE && msg.hwnd == window)
            state.result = static_cast<UINT>(msg.wParam);
        if (CPaintManagerUI::PreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (state.owner && IsWindow(state.owner)) {
        EnableWindow(state.owner, TRUE);
        ::SetFocus(state.owner);
    }
    if (!state.objectGone) m_modal = nullptr;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return state.result;
}

void CWindowWnd::Close(UINT result)
{
    if (m_window && IsWindow(m_window)) PostMessageW(m_window, WM_CLOSE, result, 0);
}

void CWindowWnd::CentreWindow()
{
    if (!m_window || (GetWindowLongW(m_window, GWL_STYLE) & WS_CHILD)) return;
    RECT rect = {};
    GetWindowRect(m_window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT work = monitor.rcWork;
    RECT area = work;
    const HWND owner = GetWindow(m_window, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    if (x + width > work.right) x = work.right - width;
    if (x < work.left) x = work.left;
    if (y + height > work.bottom) y = work.bottom - height;
    if (y < work.top) y = work.top;
    SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWindowWnd::SetIcon(UINT resourceId)
{
    if (!m_window) return false;
    const int size = (GetSystemMetrics(SM_CXICON) + 15) & ~15;
    auto* icon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(resourceId),
                                               IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!icon) return false;
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    // The window only borrows the icon; the previous one can go now it is replaced.
    if (m_icon) DestroyIcon(m_icon);
    m_icon = icon;
    return true;
}

void CWindowWnd::SetClientSize(int cx, int cy)
{
    if (!m_window) return;
    RECT rect = {};
    if (!GetClientRect(m_window, &rect)) return;
    if (cx != -1) rect.right = cx;
    if (cy != -1) rect.bottom = cy;
    const DWORD style = static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(m_window, GWL_EXSTYLE));
    const BOOL menu = !(style & WS_CHILD) && GetMenu(m_window) != nullptr;
    if (!AdjustWindowRectEx(&rect, style, menu, exStyle)) return;
    SetWindowPos(m_window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_window ? SendMessageW(m_window, message, wParam, lParam) : 0;
}

LRESULT CWindowWnd::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_window ? PostMessageW(m_window, message, wParam, lParam) : 0;
}

} // namespace SkinUI
