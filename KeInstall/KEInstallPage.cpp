#include "KeInstall/KEInstallPage.h"

#include "ui/controls/UiContainer.h"

using namespace SkinUI;

CKEInstallPageBase::CKEInstallPageBase(CPaintManagerUI* manager, const WizardServices* services)
    : m_manager(manager), m_services(services)
{
}

CControlUI* CKEInstallPageBase::Bind(const wchar_t* name) const
{
    return m_manager ? m_manager->FindControl(name) : nullptr;
}

HWND CKEInstallPageBase::Window() const { return m_manager ? m_manager->GetPaintWindow() : nullptr; }

void CKEInstallPageBase::Minimise() const
{
    if (Window()) ::SendMessageW(Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void CKEInstallPageBase::RaiseEvent(int code, int wparam, int lparam)
{
    KeBase* target = GetEventParent();
    if (target)
        target->OnEvent(code, wparam, lparam);
    else
        OnEvent(code, wparam, lparam);
}

bool CKEInstallPageBase::From(const UiNotification& notification, const CControlUI* control)
{
    return control != nullptr && notification.sender == control;
}

int CKEInstallPageBase::ShowCloseConfirm()
{
    HWND window = Window();
    auto* root = dynamic_cast<CContainerUI*>(Bind(L"verRoot"));
    CControlUI* overlay = nullptr;
    if (root) {
        // A plain control over the whole page dims it while the question is up.
        overlay = new CControlUI;
        overlay->AssignAnchorFractions(UiFloatPercent{0.0, 0.0, 1.0, 1.0});
        overlay->MakeFloating(true);
        overlay->AssignBkColor(0x33000000);
        SIZE offset = root->FloatOffset();
        offset.cx = m_manager->Scale(offset.cx);
        offset.cy = m_manager->Scale(offset.cy);
        overlay->AssignFloatOffset(offset);
        if (!root->AddItem(overlay)) {
            delete overlay;
            overlay = nullptr;
        }
        m_manager->Invalidate();
    }
    int result = (m_services && m_services->confirmClose) ? m_services->confirmClose(window) : 0;
    if (overlay) root->RemoveItem(overlay);
    if (m_manager) m_manager->Invalidate();
    if (result == 1 && window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    return result;
}
