#include "KeInstall/KEMsgBoxBase.h"

#include "ui/controls/UiButton.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiText.h"

using namespace SkinUI;

namespace {

constexpr UINT kApplicationIcon = 101;

// Sets a button's text, or hides it when there is none to show.
void ShowButtonText(const KeControlRef<CButtonUI>& button, const CUiString& text)
{
    if (!button) return;
    if (text.IsEmpty()) button->Show(false);
    else button->AssignText(text);
}

} // namespace

CKEMsgBoxBase::CKEMsgBoxBase(const wchar_t* skinFile, const wchar_t* windowClass)
    : CKEObjectWnd(skinFile, windowClass)
{
}

CKEMsgBoxBase::~CKEMsgBoxBase() = default;

void CKEMsgBoxBase::BindCommonControls()
{
    m_title = BindControl<CTextUI>(L"ke_txt_title");
    m_message = BindControl<CTextUI>(L"ke_txt_msg");
    m_icon = BindControl<CLabelUI>(L"ke_lab_ico");
    m_closeButton = BindControl<CButtonUI>(L"closebtn");
    m_okButton = BindControl<CButtonUI>(L"okBtn");
    m_cancelButton = BindControl<CButtonUI>(L"cancelBtn");
}

void CKEMsgBoxBase::Fill(const KeMsgBoxRequest& request)
{
    ShowButtonText(m_okButton, request.okText);
    if (m_closeButton) m_closeButton->Show(request.showClose);
    ShowButtonText(m_cancelButton, request.cancelText);
    if (m_title) m_title->AssignText(request.title ? request.title : L"");
    if (m_message) m_message->AssignText(request.message ? request.message : L"");
    if (m_icon && request.icon) m_icon->AssignBkImage(request.icon);
}

int CKEMsgBoxBase::Run(std::unique_ptr<CKEMsgBoxBase> box, const KeMsgBoxRequest& request)
{
    if (!box) return KE_MSGBOX_CLOSED;
    box->SetMode(request.mode);
    // Shown by the modal loop once filled and placed, not at the default position
    // first: a window mapped there and moved at once can be put back by a late
    // report of its first position from the display server.
    const HWND window = box->Create(request.owner, request.windowText ? request.windowText : L"",
                                    request.style & ~WS_VISIBLE, request.exStyle, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
    if (!window) return KE_MSGBOX_CLOSED;
    // From here on the window ends the object (OnWindowDestroyed).
    CKEMsgBoxBase* self = box.release();
    self->m_ownsSelf = true;

    self->Fill(request);
    self->CenterOnScreen();
    self->SetIcon(kApplicationIcon);
    if (!IsWindow(window)) return KE_MSGBOX_CLOSED;
    // The object may be gone once this returns: only the answer is used.
    const UINT result = self->RunModal();
    return result == static_cast<UINT>(-1) ? KE_MSGBOX_CLOSED : static_cast<int>(result);
}

void CKEMsgBoxBase::OnClick(UiNotification& notification)
{
    CControlUI* sender = notification.sender;
    if (!sender) return;
    if (sender->Name() == L"closebtn") {
        Close(static_cast<UINT>(m_result));
    } else if (m_okButton && sender == m_okButton.get()) {
        m_result = KE_MSGBOX_OK;
        Close(KE_MSGBOX_OK);
    } else if (m_cancelButton && sender == m_cancelButton.get()) {
        m_result = KE_MSGBOX_CANCEL;
        Close(KE_MSGBOX_CANCEL);
    }
}

void CKEMsgBoxBase::OnWindowDestroyed(HWND window)
{
    CKEObjectWnd::OnWindowDestroyed(window);
    if (m_ownsSelf) delete this;
}
