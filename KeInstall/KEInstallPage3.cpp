#include "KeInstall/KEInstallPage3.h"

#include "KeInstall/InstallSettings.h"
#include "KeInstall/ProductConstants.h"

using namespace SkinUI;

UI_BEGIN_NOTIFY_MAP(CKEInstallPage3, SkinUI::CNotifyPump)
    UI_ON_NOTIFY(L"click", L"", HandleClick)
UI_END_NOTIFY_MAP()

void CKEInstallPage3::InitPage()
{
    m_page = Bind(L"verroot3");
    m_minBtn = Bind(L"minbtn3");
    m_closeBtn = Bind(L"closebtn3");
    m_completeBtn = Bind(L"completeBtn");
    if (m_page) m_page->AssignBkImage(L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_04.png");
}

void CKEInstallPage3::FinishInstall()
{
    if (m_services) ::FinishInstall(GetInstallSettings(), m_services->finish);
}

void CKEInstallPage3::HandleClick(UiNotification& notification)
{
    HWND window = Window();
    if (From(notification, m_minBtn)) {
        Minimise();
    } else if (From(notification, m_completeBtn)) {
        FinishInstall();
        CUiString exe = GetInstallSettings().ProductFolder() + KE_PRODUCT_EXE;
        // Posted, so the window goes after this handler, with the steps done.
        if (window) {
            ::ShowWindow(window, SW_HIDE);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        if (m_services && m_services->open) m_services->open(exe, SW_SHOWNORMAL);
    } else if (From(notification, m_closeBtn)) {
        // The product is installed by now: whatever the answer, it is
        // registered and the wizard closes.
        ShowCloseConfirm();
        FinishInstall();
        if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
}
