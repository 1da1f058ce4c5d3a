#pragma once
// The welcome page (tab 0): one-click install, the agreement box that gates
// both ways forward, the agreement link and the way to the options page.
#include "KeInstall/KEInstallPage.h"

class CKEInstallPage0 : public CKEInstallPageBase {
public:
    using CKEInstallPageBase::CKEInstallPageBase;

    void InitPage() override;
    virtual void HandleClick(SkinUI::UiNotification& notification);
    virtual void HandleSelectChanged(SkinUI::UiNotification& notification);

    UI_DECLARE_NOTIFY_MAP()

private:
    SkinUI::CControlUI* m_page = nullptr;
    SkinUI::CControlUI* m_minBtn = nullptr;
    SkinUI::CControlUI* m_closeBtn = nullptr;
    SkinUI::CControlUI* m_agreeOpt = nullptr;
    SkinUI::CControlUI* m_installBtn = nullptr;
    SkinUI::CControlUI* m_agreementLink = nullptr;
    SkinUI::CControlUI* m_customBtn = nullptr;
};
