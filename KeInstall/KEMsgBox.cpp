#include "KeInstall/KEMsgBox.h"

#include "ui/core/UiPaintManager.h"
#include "ui/core/UiShadow.h"

using namespace SkinUI;

namespace {

constexpr const wchar_t* kShadowImage = L"ke_appended\\shadow\\shadow_black.png";
constexpr RECT kShadowCorner = {38, 38, 38, 38};
constexpr int kShadowSize = 16;

} // namespace

CKEMsgBox::CKEMsgBox() : CKEMsgBoxBase(L"KEMsgBox.xml", L"kemsgbox") {}

int CKEMsgBox::ShowMessageBox(HWND owner, const wchar_t* windowText, const wchar_t* title,
                              const wchar_t* message, const CUiString& okText,
                              const CUiString& cancelText, const wchar_t* icon, DWORD style,
                              DWORD exStyle, bool showClose)
{
    KeMsgBoxRequest request{owner, windowText, title, message, okText, cancelText,
                            icon, style, exStyle, showClose, 0};
    return Run(std::unique_ptr<CKEMsgBoxBase>(new CKEMsgBox()), request);
}

void CKEMsgBox::OnSkinLoaded()
{
    m_manager.SetLayered(true);
    BindCommonControls();

    CShadowUI& shadow = m_manager.GetShadow();
    shadow.AssignShadowImage(kShadowImage);
    shadow.AssignShadowCorner(kShadowCorner);
    shadow.ShowShadow(true);
    shadow.AssignShadowSize(kShadowSize);
    shadow.CreateShadow(&m_manager);
}
