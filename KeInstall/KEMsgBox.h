#pragma once
// CKEMsgBox: the dark variant of the question box. Its drop shadow is a separate
// window that follows it, drawn from a nine-part image.
#include <windows.h>

#include "KeInstall/KEMsgBoxBase.h"

class CKEMsgBox : public CKEMsgBoxBase {
public:
    CKEMsgBox();

    // As CKEWhiteMsgBox::ShowWhiteMessageBox, without a mode.
    static int ShowMessageBox(HWND owner, const wchar_t* windowText, const wchar_t* title,
                              const wchar_t* message, const SkinUI::CUiString& okText,
                              const SkinUI::CUiString& cancelText, const wchar_t* icon, DWORD style,
                              DWORD exStyle, bool showClose);

protected:
    void OnSkinLoaded() override;
};
