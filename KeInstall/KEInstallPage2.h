#pragma once
// The progress page (tab 2): the bar and its label follow the worker's
// reports; at the end the desktop link is made and, a second later, the
// completion page is asked for. A run that fails says so on the label instead.
#include "KeInstall/KEInstallPage.h"

// Started on the wizard window when the extraction has reached its end.
const UINT TIMER_SHOW_COMPLETION = 268;
const UINT kShowCompletionDelayMs = 1000;

class CKEInstallPage2 : public CKEInstallPageBase {
public:
    using CKEInstallPageBase::CKEInstallPageBase;

    void InitPage() override;
    virtual void HandleClick(SkinUI::UiNotification& notification);

    // EVENT_PROGRESS_CHANGED, UI thread.
    void OnProgChanged();
    // EVENT_INSTALL_FAILED, UI thread: the reason is read from the settings.
    void OnInstallFailed();
    // WM_TIMER of the wizard window; only TIMER_SHOW_COMPLETION is ours.
    LRESULT OnTimer(WPARAM timerId);

    bool Finished() const { return m_finished != 0; }
    bool Failed() const { return m_failed; }

    UI_DECLARE_NOTIFY_MAP()

private:
    int m_finished = 0;
    bool m_failed = false;
    SkinUI::CControlUI* m_page = nullptr;
    SkinUI::CControlUI* m_minBtn = nullptr;
    SkinUI::CControlUI* m_closeBtn = nullptr;
    SkinUI::CControlUI* m_progress = nullptr;
    SkinUI::CControlUI* m_label = nullptr;
};
