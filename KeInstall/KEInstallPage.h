#pragma once
// What the four wizard pages share: each is a notification pump for the
// controls of its tab page (virtual window "installN") and a KeBase whose
// parent is the main frame. The pages look their controls up once; the
// controls belong to the window's tree and die with it.
#include <windows.h>

#include "KeInstall/KEWizardServices.h"
#include "KeInstall/KeBase.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiNotifyPump.h"
#include "ui/core/UiPaintManager.h"

class CKEInstallPageBase : public SkinUI::CNotifyPump, public KePageEvents {
public:
    CKEInstallPageBase(SkinUI::CPaintManagerUI* manager, const WizardServices* services);

    virtual void InitPage() = 0;

    // The dimmed wizard behind the close question; on OK, WM_CLOSE is posted.
    // Answers the question's result (1 OK, 2 Cancel, 0 closed otherwise).
    int ShowCloseConfirm();

protected:
    // Null when the skin has no such control.
    SkinUI::CControlUI* Bind(const wchar_t* name) const;
    HWND Window() const;
    void Minimise() const;
    // The event goes to the parent (the main frame); without one, to this
    // page, which ignores it.
    void RaiseEvent(int code, int wparam, int lparam = 0);
    // Whether the notification came from `control` (never for a missing control).
    static bool From(const SkinUI::UiNotification& notification, const SkinUI::CControlUI* control);

    SkinUI::CPaintManagerUI* m_manager;
    const WizardServices* m_services;
};
