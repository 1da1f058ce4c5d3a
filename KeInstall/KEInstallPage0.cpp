#include "KeInstall/KEInstallPage0.h"

#include "ui/controls/UiOption.h"

using namespace SkinUI;

UI_BEGIN_NOTIFY_MAP(CKEInstallPage0, SkinUI::CNotifyPump)
    UI_ON_NOTIFY(L"click", L"", HandleClick)
    UI_ON_NOTIFY(L"selectchanged", L"", HandleSelectChanged)
UI_END_NOTIFY_MAP()

void CKEInstallPage0::InitPage()
{
    m_page = Bind(L"verroot0");
    m_minBtn = Bind(L"minbtn");
    m_closeBtn = Bind(L"closebtn");
    m_agreeOpt = Bind(L"protocalOpt");
    m_installBtn = Bind(L"installBtn");
    m_agreementLink = Bind(L"ke_btn_protocal");
    m_customBtn = Bind(L"customBtn");
    if (m_page) m_page->AssignBkImage(L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_01.png");
}

void CKEInstallPage0::HandleClick(UiNotification& notification)
{
    if (From(notification, m_minBtn)) {
        Minimise();
    } else if (From(notification, m_closeBtn)) {
        ShowCloseConfirm();
    } else if (From(notification, m_installBtn)) {
        // A click can still arrive queued from before the box was unticked.
        if (m_installBtn->Enabled()) RaiseEvent(EVENT_SHOW_PAGE, 2);
    } else if (From(notification, m_customBtn)) {
        if (m_customBtn->Enabled()) RaiseEvent(EVENT_SHOW_PAGE, 1);
    } else if (From(notification, m_agreementLink)) {
        if (m_services && m_services->open) m_services->open(kAgreementAddress, SW_SHOW);
    }
}

void CKEInstallPage0::HandleSelectChanged(UiNotification& notification)
{
    if (!From(notification, m_agreeOpt)) return;
    auto* option = dynamic_cast<COptionUI*>(m_agreeOpt);
    if (!option) return;
    const bool agreed = option->Selected();
    if (m_customBtn) m_customBtn->Enable(agreed);
    if (m_installBtn) m_installBtn->Enable(agreed);
}
