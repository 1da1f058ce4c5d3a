#pragma once
// CKEWhiteMsgBox: the installer's question box, a white round-cornered card on a
// soft shadow that the window draws itself, around its own layered content.
#include <windows.h>

#include "KeInstall/KEMsgBoxBase.h"

namespace SkinUI {
class CVerticalLayoutUI;
}

class CKEWhiteMsgBox : public CKEMsgBoxBase {
public:
    CKEWhiteMsgBox();

    // Asks modally over `owner` and answers 1 (OK), 2 (Cancel) or 0 (the ×, the
    // system close command, or no box at all). An empty button text hides that
    // button; a null icon keeps the skin's prompt icon.
    static int ShowWhiteMessageBox(HWND owner, const wchar_t* windowText, const wchar_t* title,
                                   const wchar_t* message, const SkinUI::CUiString& okText,
                                   const SkinUI::CUiString& cancelText, const wchar_t* icon,
                                   DWORD style, DWORD exStyle, bool showClose, int mode);

protected:
    void OnSkinLoaded() override;

    KeControlRef<SkinUI::CVerticalLayoutUI> m_centre;   // the visible card
};
