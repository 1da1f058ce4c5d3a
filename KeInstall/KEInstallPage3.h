#pragma once
// The completion page (tab 3): either way out registers the product and makes
// the start-menu group; the start button then launches the product.
#include "KeInstall/KEInstallPage.h"

class CKEInstallPage3 : public CKEInstallPageBase {
public:
    using CKEInstallPageBase::CKEInstallPageBase;

    void InitPage() override;
    virtual void HandleClick(SkinUI::UiNotification& notification);

    // The last installation steps; nothing when the extraction did not succeed.
    void FinishInstall();

    UI_DECLARE_NOTIFY_MAP()

private:
    SkinUI::CControlUI* m_page = nullptr;
    SkinUI::CControlUI* m_minBtn = nullptr;
    SkinUI::CControlUI* m_closeBtn = nullptr;
    SkinUI::CControlUI* m_completeBtn = nullptr;
};
