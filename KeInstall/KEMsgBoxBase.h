#pragma once
// What the installer's two skinned message boxes share: the named controls, the
// answer of the button that closed the box, and the run from creation through
// the modal loop to the box deleting itself with its window.
#include <windows.h>

#include <memory>

#include "KeInstall/KEObjectWnd.h"
#include "ui/core/UiString.h"

namespace SkinUI {
class CButtonUI;
class CLabelUI;
class CTextUI;
}

// Which button closed a box.
enum KeMsgBoxResult {
    KE_MSGBOX_CLOSED = 0,   // the ×, the system close command, or the window just went
    KE_MSGBOX_OK = 1,
    KE_MSGBOX_CANCEL = 2,
};

// What a show function puts into a box.
struct KeMsgBoxRequest {
    HWND owner = nullptr;
    const wchar_t* windowText = nullptr;
    const wchar_t* title = nullptr;
    const wchar_t* message = nullptr;
    SkinUI::CUiString okText;       // empty hides the OK button
    SkinUI::CUiString cancelText;   // empty hides the Cancel button
    const wchar_t* icon = nullptr;  // image attribute string; null keeps the skin's
    DWORD style = 0;
    DWORD exStyle = 0;
    bool showClose = true;
    int mode = 0;
};

class CKEMsgBoxBase : public CKEObjectWnd {
public:
    ~CKEMsgBoxBase() override;
    int Result() const { return m_result; }

    void OnClick(SkinUI::UiNotification& notification) override;

protected:
    CKEMsgBoxBase(const wchar_t* skinFile, const wchar_t* windowClass);

    // Creates the window for `box`, fills it, centres it and runs it modally.
    // The box owns itself from the moment its window exists; when the window
    // cannot be made, the box goes here and the answer is KE_MSGBOX_CLOSED.
    static int Run(std::unique_ptr<CKEMsgBoxBase> box, const KeMsgBoxRequest& request);

    void OnWindowDestroyed(HWND window) override;
    // The six names both skins carry; a missing one stays an empty handle.
    void BindCommonControls();
    void Fill(const KeMsgBoxRequest& request);

    int m_result = KE_MSGBOX_CLOSED;
    KeControlRef<SkinUI::CTextUI> m_title;
    KeControlRef<SkinUI::CTextUI> m_message;
    KeControlRef<SkinUI::CLabelUI> m_icon;
    KeControlRef<SkinUI::CButtonUI> m_closeButton;
    KeControlRef<SkinUI::CButtonUI> m_okButton;
    KeControlRef<SkinUI::CButtonUI> m_cancelButton;

private:
    bool m_ownsSelf = false;   // set once the window exists: it then ends the object
};
