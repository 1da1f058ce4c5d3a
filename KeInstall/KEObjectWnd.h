#pragma once
// CKEObjectWnd: the base of every installer window (the wizard and the message
// boxes). A skinned framework window that names its own skin file and window
// class, carries the installer's event base, and places itself over its owner or
// on the primary monitor.
//
// The framework's slots go by the installer's names here: after-destroy is
// OnWindowDestroyed, on-layout-attached is OnSkinLoaded, handle-other-message is
// OnCustomMessage. Derived windows override those, not the framework's names.
#include <windows.h>

#include <memory>

#include "KeInstall/KeBase.h"
#include "ui/core/UiString.h"
#include "ui/core/UiWindowImplBase.h"

namespace SkinUI {
class CControlUI;
}

// A non-owning handle on a control of a window's tree: the tree frees the
// control with the window, dropping the handle frees nothing.
template <class T>
using KeControlRef = std::shared_ptr<T>;

class CKEObjectWnd : public SkinUI::WindowImplBase, public KeBase {
public:
    CKEObjectWnd(const wchar_t* skinFile, const wchar_t* windowClass);
    ~CKEObjectWnd() override;

    const wchar_t* ClassName() const override { return m_windowClass; }
    SkinUI::CUiString LayoutFile() const override { return m_skinFile; }

    // Centred by PlaceWindow with no clamp and no offset.
    virtual void CenterOnScreen();
    // Timers of the window itself (the paint manager's control timers go on to
    // it either way, unless this sets handled).
    virtual LRESULT OnTimerMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Centres the window horizontally on a visible, not minimised owner and
    // vertically on the primary monitor; otherwise on the primary monitor. A
    // non-empty clamp replaces both and keeps the window inside it.
    void PlaceWindow(const RECT& clamp, POINT offset);

    // The arithmetic of PlaceWindow: the top-left corner for a window of
    // `window`'s size. owner: the owner's rectangle when it is visible and not
    // minimised, else null; primary: the primary monitor's rectangle, or null.
    static POINT Placement(const RECT& window, const RECT* owner, const RECT* primary,
                           const RECT& clamp, POINT offset);

    // The control of that name, when it is a T; empty otherwise.
    template <class T>
    KeControlRef<T> BindControl(const wchar_t* name)
    {
        T* control = dynamic_cast<T*>(FindNamed(name));
        if (!control) return KeControlRef<T>();
        return KeControlRef<T>(control, [](T*) {});
    }

protected:
    // ---- the installer's names for the framework's slots
    virtual void OnWindowDestroyed(HWND window);
    virtual void OnSkinLoaded() {}
    virtual LRESULT OnCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    SkinUI::CControlUI* FindNamed(const wchar_t* name);

    SkinUI::CUiString m_skinFile;
    SkinUI::CUiString m_windowClass;

private:
    void AfterDestroy(HWND window) final { OnWindowDestroyed(window); }
    void OnLayoutAttached() final { OnSkinLoaded(); }
    LRESULT HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) final
    {
        return OnCustomMessage(message, wParam, lParam, handled);
    }
};
