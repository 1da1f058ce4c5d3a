#pragma once
// WindowImplBase: a skinned top-level window. It builds its controls from the
// skin file when the window is created, draws no system frame (the skin's
// caption and sizing border are hit-tested instead), shapes the window with the
// skin's round corners, and answers the standard caption buttons "closebtn",
// "minbtn", "maxbtn" and "restorebtn". Sources by concern:
//   UiWindowImplBase.cpp       message routing, creation from the skin, buttons
//   UiWindowImplBaseFrame.cpp  hit-testing, region, sizes, system commands
//
// An application window supplies ClassName and LayoutFile, adds its own
// notification table (UI_DECLARE_NOTIFY_MAP) and overrides the On... handlers
// it needs; each receives a handled flag that starts true and is cleared to let
// the message go on to the paint manager and the default procedure.
#include <windows.h>
#include "ui/core/UiEvents.h"
#include "ui/core/UiLayoutBuilder.h"
#include "ui/core/UiNotifyPump.h"
#include "ui/core/UiPaintManager.h"
#include "ui/core/UiSkinAlias.h"
#include "ui/core/UiString.h"
#include "ui/core/UiWindowWnd.h"

namespace SkinUI {

class CControlUI;

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
public:
    WindowImplBase() = default;

    // ---- virtual operations, in slot order (0 to 4 from CWindowWnd)
    const wchar_t* ClassName() const override = 0;
    UINT ClassStyle() const override { return CS_DBLCLKS; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void AfterDestroy(HWND window) override;
    ~WindowImplBase() override;
    // No behaviour and no caller; kept so that derived slots stay where they are.
    virtual void Reserved() {}
    // The skin is attached and the notifications flow.
    virtual void OnLayoutAttached() {}
    virtual void OnClick(UiNotification& notification);
    // Whether a press on `control` inside the caption drags the window: only
    // controls that are, and sit only in, plain layouts and text.
    virtual bool IsPassiveControl(CControlUI* control);
    // Empty: the layout is a skin file; otherwise a resource type, the layout
    // file then being the resource id in decimal.
    virtual CUiString LayoutResourceType() const { return CUiString(); }
    virtual CUiString LayoutFile() const = 0;
    virtual const wchar_t* ManagerLabel() const { return nullptr; }
    virtual LRESULT DefaultKeyResult(WPARAM key) { return key == VK_ESCAPE ? TRUE : FALSE; }
    virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Messages without a handler of their own; handled starts false here.
    virtual LRESULT HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LONG WindowStyle() const;

    // ---- the interfaces
    void Notify(UiNotification& notification) override;
    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    CControlUI* MakeControl(const wchar_t* elementName) override;
    const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) override;

    CPaintManagerUI& Manager() { return m_manager; }

    UI_DECLARE_NOTIFY_MAP()

protected:
    // The caption buttons follow the maximised state: "maxbtn" or "restorebtn".
    void ShowMaximised(bool maximised);
    // What a failed skin load does: tell the user, end the process with 1.
    [[noreturn]] void SkinFailed();

    CPaintManagerUI m_manager;
};

} // namespace SkinUI
