#include "KeInstall/KEInstallPage1.h"

#include "KeInstall/InstallSettings.h"
#include "ui/controls/UiOption.h"

using namespace SkinUI;

UI_BEGIN_NOTIFY_MAP(CKEInstallPage1, SkinUI::CNotifyPump)
    UI_ON_NOTIFY(L"click", L"", HandleClick)
    UI_ON_NOTIFY(L"selectchanged", L"", HandleSelectChanged)
UI_END_NOTIFY_MAP()

void CKEInstallPage1::InitPage()
{
    m_page = Bind(L"verroot1");
    m_minBtn = Bind(L"minbtn1");
    m_closeBtn = Bind(L"closebtn1");
    m_backBtn = Bind(L"gobackbtn");
    m_installBtn = Bind(L"installBtn1");
    m_desktopOpt = Bind(L"desktopShortCutOpt");
    m_taskbarOpt = Bind(L"addtaskbarOpt");
    m_pathLab = Bind(L"pathLab");
    m_modifyBtn = Bind(L"modifyBtn");
    m_desktopLab = Bind(L"tq_desktop_short_cut");
    m_taskbarLab = Bind(L"tq_quick_start_up_lab");
    m_pathTitle = Bind(L"tq_install_path");
    m_pathRoot = Bind(L"tq_hor_path_root");

    // The first use of the settings: it also creates the default folder.
    InstallSettings& settings = GetInstallSettings();
    if (m_pathLab) m_pathLab->AssignText(settings.installFolder);
    if (auto* option = dynamic_cast<COptionUI*>(m_desktopOpt)) option->Select(settings.desktopShortcut, true);
    if (auto* option = dynamic_cast<COptionUI*>(m_taskbarOpt)) option->Select(settings.addToTaskbar, true);
    if (m_page) m_page->AssignBkImage(L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_02.png");
}

void CKEInstallPage1::HandleClick(UiNotification& notification)
{
    if (From(notification, m_minBtn)) {
        Minimise();
    } else if (From(notification, m_closeBtn)) {
        ShowCloseConfirm();
    } else if (From(notification, m_installBtn)) {
        RaiseEvent(EVENT_SHOW_PAGE, 2);
    } else if (From(notification, m_backBtn)) {
        RaiseEvent(EVENT_SHOW_PAGE, 0);
    } else if (From(notification, m_modifyBtn)) {
        ChooseFolder();
    }
}

void CKEInstallPage1::HandleSelectChanged(UiNotification& notification)
{
    // The desktop option decides whether the desktop link is made at the end.
    if (!From(notification, m_desktopOpt)) return;
    if (auto* option = dynamic_cast<COptionUI*>(m_desktopOpt))
        GetInstallSettings().desktopShortcut = option->Selected();
}

void CKEInstallPage1::ChooseFolder()
{
    if (!m_services || !m_services->chooseFolder) return;
    InstallSettings& settings = GetInstallSettings();
    CUiString chosen = m_services->chooseFolder(Window(), settings.installFolder);
    if (chosen.IsEmpty()) return;
    settings.installFolder = chosen;
    if (m_pathLab) m_pathLab->AssignText(chosen);
}
