#pragma once
// CWindowWnd: one operating-system window bound to one C++ object. The object
// registers its window class (its own, or a copy of a system class), creates the
// window, and receives every message through OnMessage; it can also take over an
// existing window by subclassing it. RunModal runs a nested message loop that
// ends when the window goes away and answers the value given to Close.
#include <windows.h>

namespace SkinUI {

class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    // ---- virtual operations, in slot order
    virtual const wchar_t* ClassName() const = 0;
    // A system or application class to copy; null registers a class of our own.
    virtual const wchar_t* BaseClassName() const { return nullptr; }
    virtual UINT ClassStyle() const { return 0; }
    // Every message of the window; the default hands it to the previous procedure.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs once the window is gone (after WM_NCDESTROY); the object may delete itself here.
    virtual void AfterDestroy(HWND window) { (void)window; }
    virtual ~CWindowWnd();

    HWND Handle() const { return m_window; }
    operator HWND() const { return m_window; }

    // Null when the class cannot be registered or the window not created.
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y,
                int cx, int cy, HMENU menu = nullptr);
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rect,
                HMENU menu = nullptr);
    HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle);

    bool RegisterOwnClass();
    bool RegisterDerivedClass();

    // Takes over a window made elsewhere; null when it is not a window or the
    // object already has one.
    HWND Subclass(HWND window);
    void Unsubclass();

    void ShowWindow(bool show = true, bool takeFocus = true);
    // Shows the window and runs messages until it is gone; answers the value of
    // the WM_CLOSE that ended it (0 when it went without one, -1 without a window).
    UINT RunModal();
    // Posts WM_CLOSE carrying `result`.
    void Close(UINT result = IDOK);
    // Centres on the owner when it is visible, otherwise on the work area, and
    // keeps the window inside the work area.
    void CentreWindow();
    // The icon resource at the system icon size (rounded up to a multiple of 16),
    // as both the big and the small icon.
    bool SetIcon(UINT resourceId);
    // A client area of cx by cy without moving the window; -1 keeps a dimension.
    void SetClientSize(int cx, int cy);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    static LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SuperclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);
    static HINSTANCE Instance();
    // Lets go of a window that outlives this object: later messages find no
    // object and go to the default procedure instead of into freed memory.
    void Unbind();

    HWND m_window = nullptr;
    WNDPROC m_previous = ::DefWindowProcW;
    bool m_subclassed = false;

private:
    // What a modal loop of this object wants to hear from its window procedure.
    struct ModalState {
        HWND owner = nullptr;
        UINT result = 0;
        bool destroyed = false;   // WM_NCDESTROY came by
        bool objectGone = false;  // the object was deleted inside the loop
    };
    // Binds the object on WM_NCCREATE, then routes; the body of both procedures.
    static LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            bool superclass);
    // Shared by both procedures once the object is known.
    static LRESULT Route(CWindowWnd* self, HWND window, UINT message, WPARAM wParam,
                         LPARAM lParam, bool property);
    void NoteClose(WPARAM wParam);

    ModalState* m_modal = nullptr;
    HICON m_icon = nullptr;   // owned: set by SetIcon
};

} // namespace SkinUI
