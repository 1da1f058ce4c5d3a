#pragma once
// The options page (tab 1): the install folder with its browser, the
// desktop-shortcut option, install and back. The taskbar option stays hidden
// and changes nothing.
#include "KeInstall/KEInstallPage.h"

class CKEInstallPage1 : public CKEInstallPageBase {
public:
    using CKEInstallPageBase::CKEInstallPageBase;

    void InitPage() override;
    virtual void HandleClick(SkinUI::UiNotification& notification);
    virtual void HandleSelectChanged(SkinUI::UiNotification& notification);

    UI_DECLARE_NOTIFY_MAP()

private:
    void ChooseFolder();

    SkinUI::CControlUI* m_page = nullptr;
    SkinUI::CControlUI* m_minBtn = nullptr;
    SkinUI::CControlUI* m_closeBtn = nullptr;
    SkinUI::CControlUI* m_backBtn = nullptr;
    SkinUI::CControlUI* m_installBtn = nullptr;
    SkinUI::CControlUI* m_desktopOpt = nullptr;
    SkinUI::CControlUI* m_taskbarOpt = nullptr;
    SkinUI::CControlUI* m_pathLab = nullptr;
    SkinUI::CControlUI* m_modifyBtn = nullptr;
    SkinUI::CControlUI* m_desktopLab = nullptr;
    SkinUI::CControlUI* m_taskbarLab = nullptr;
    SkinUI::CControlUI* m_pathTitle = nullptr;
    SkinUI::CControlUI* m_pathRoot = nullptr;
};
