#include "KeInstall/KEWhiteMsgBox.h"

#include "ui/controls/UiContainer.h"
#include "ui/controls/UiVerticalLayout.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;

namespace {

// The shadow image's soft border, drawn as a nine-part frame around the card; the
// card sits this far in from every edge of the window.
constexpr int kShadowBorder = 16;
constexpr const wchar_t* kShadowFrameImage =
    L"file='ke_appended\\shadow\\shadows_white.png' corner='16,16,16,16'";

} // namespace

CKEWhiteMsgBox::CKEWhiteMsgBox() : CKEMsgBoxBase(L"KEWhiteMsgBox.xml", L"kewhitemsgbox") {}

int CKEWhiteMsgBox::ShowWhiteMessageBox(HWND owner, const wchar_t* windowText, const wchar_t* title,
                                        const wchar_t* message, const CUiString& okText,
                                        const CUiString& cancelText, const wchar_t* icon,
                                        DWORD style, DWORD exStyle, bool showClose, int mode)
{
    KeMsgBoxRequest request{owner, windowText, title, message, okText, cancelText,
                            icon, style, exStyle, showClose, mode};
    return Run(std::unique_ptr<CKEMsgBoxBase>(new CKEWhiteMsgBox()), request);
}

void CKEWhiteMsgBox::OnSkinLoaded()
{
    m_manager.SetLayered(true);
    m_centre = BindControl<CVerticalLayoutUI>(L"ke_center_ver");
    BindCommonControls();

    // The skin's root goes inside a frame that paints the shadow around it.
    const RECT inset = {kShadowBorder, kShadowBorder, kShadowBorder, kShadowBorder};
    std::unique_ptr<CContainerUI> frame(new CContainerUI());
    frame->ApplyAttribute(L"bkimage", kShadowFrameImage);
    frame->AssignInset(inset);
    if (!m_manager.WrapRoot(frame.get(), inset)) return;
    CContainerUI* root = frame.release();   // the manager's root now
    root->Attach(&m_manager, nullptr, true);

    // Room for the frame on every side.
    const SIZE init = m_manager.GetInitSize();
    const int grow = m_manager.Scale(2 * kShadowBorder);
    SetWindowPos(m_window, nullptr, 0, 0, init.cx + grow, init.cy + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The caption drags from the card's top edge, which moved down with the
    // frame. The manager keeps the caption in skin pixels and scales it when read,
    // so the frame is added in skin pixels too. A bottom measured from the
    // client's bottom (negative) moves with it already.
    RECT caption = m_manager.GetDpi().Unscale(m_manager.GetCaptionRect());
    if (caption.bottom >= 0) caption.bottom += kShadowBorder;
    m_manager.SetCaptionRect(caption);
}
