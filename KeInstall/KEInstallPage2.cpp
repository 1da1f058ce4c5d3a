#include "KeInstall/KEInstallPage2.h"

#include "7zCore/UnzipCore7z.h"
#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEInstallProgress.h"
#include "ui/controls/UiProgress.h"

using namespace SkinUI;

UI_BEGIN_NOTIFY_MAP(CKEInstallPage2, SkinUI::CNotifyPump)
    UI_ON_NOTIFY(L"click", L"", HandleClick)
UI_END_NOTIFY_MAP()

void CKEInstallPage2::InitPage()
{
    m_page = Bind(L"verroot2");
    m_minBtn = Bind(L"minbtn2");
    m_closeBtn = Bind(L"closebtn2");
    m_progress = Bind(L"installPrg");
    m_label = Bind(L"installproglab");
    if (auto* bar = dynamic_cast<CProgressUI*>(m_progress)) bar->AssignValue(0);
    if (m_page) m_page->AssignBkImage(L"DUDavov\\zel_video\\public\\Install uninstall\\table_bg_install_03.png");
}

void CKEInstallPage2::HandleClick(UiNotification& notification)
{
    if (From(notification, m_minBtn)) {
        Minimise();
    } else if (From(notification, m_closeBtn)) {
        // After a failure there is no installation left to interrupt.
        if (m_failed && Window())
            ::PostMessageW(Window(), WM_CLOSE, 0, 0);
        else
            ShowCloseConfirm();
    }
}

void CKEInstallPage2::OnProgChanged()
{
    // A report still queued behind the failure must not hide its reason.
    if (m_failed) return;
    InstallSettings& settings = GetInstallSettings();
    unsigned long long done = settings.LoadDone();
    unsigned long long total = settings.LoadTotal();
    if (m_label) m_label->AssignText(FormatProgressLabel(done, total));
    if (auto* bar = dynamic_cast<CProgressUI*>(m_progress)) bar->AssignValue(ProgressBarValue(done, total));

    // The worker may have reported again since the first look.
    done = settings.LoadDone();
    total = settings.LoadTotal();
    if (done != total || m_finished) return;
    const int result = settings.LoadResult();
    if (result != UNZIP_OK && result != kInstallPending) {
        OnInstallFailed();
        return;
    }
    m_finished = 1;
    if (Window()) ::SetTimer(Window(), TIMER_SHOW_COMPLETION, kShowCompletionDelayMs, nullptr);
    if (m_services) CreateDesktopLinkStep(settings, m_services->finish);
}

void CKEInstallPage2::OnInstallFailed()
{
    if (m_failed) return;
    m_failed = true;
    // No end to handle: no link, no timer, no completion page.
    m_finished = 1;
    const wchar_t* reason = InstallFailureText(GetInstallSettings().LoadResult());
    if (!reason || !*reason) reason = InstallFailureText(UNZIP_ERROR);
    if (m_label) m_label->AssignText(reason);
}

LRESULT CKEInstallPage2::OnTimer(WPARAM timerId)
{
    if (timerId != TIMER_SHOW_COMPLETION) return 0;
    if (Window()) ::KillTimer(Window(), TIMER_SHOW_COMPLETION);
    RaiseEvent(EVENT_SHOW_PAGE, 3);
    return 0;
}
