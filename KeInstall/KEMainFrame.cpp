#include "KeInstall/KEMainFrame.h"

#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEInstallProgress.h"
#include "KeInstall/KEWhiteMsgBox.h"
#include "KeInstall/ProductConstants.h"
#include "common/Folders.h"
#include "ui/controls/UiContainer.h"
#include "ui/controls/UiTabLayout.h"

using namespace SkinUI;

namespace {

const int kShadowMargin = 16;

int AskCloseConfirm(HWND owner)
{
    return CKEWhiteMsgBox::ShowWhiteMessageBox(owner, KE_PRODUCT_NAME, L"确定关闭？", L"关闭后将中断安装流程",
                                               CUiString(L"确定"), CUiString(L"取消"), nullptr, 0x10CC0000,
                                               0x100, true, 1);
}

} // namespace

KEMainFrame::KEMainFrame(ExtractFunctionEx extract)
    : CKEObjectWnd(L"KEMainFrameWhite_brelvost.xml", L"kemainframe"),
      m_worker(new CKEInstallThread(extract)),
      m_services(SystemWizardServices()),
      m_page0(&m_manager, &m_services),
      m_page1(&m_manager, &m_services),
      m_page2(&m_manager, &m_services),
      m_page3(&m_manager, &m_services)
{
    m_services.confirmClose = AskCloseConfirm;
    CNotifyPump* pages[] = {&m_page0, &m_page1, &m_page2, &m_page3};
    KeBase* bases[] = {&m_page0, &m_page1, &m_page2, &m_page3};
    for (int i = 0; i < 4; ++i) {
        CUiString name;
        name.Format(L"install%d", i);
        RegisterSubPump(name, pages[i]);
        bases[i]->SetEventParent(this);
    }
}

KEMainFrame::~KEMainFrame()
{
    for (int i = 0; i < 4; ++i) {
        CUiString name;
        name.Format(L"install%d", i);
        UnregisterSubPump(name);
    }
    m_tab = nullptr;
    m_root = nullptr;
    // Leaving before the extraction has ended stops it; the worker then
    // removes what it had unpacked. After a finished run this does nothing.
    m_worker->Cancel();
    m_worker.reset();
}

void KEMainFrame::OnWindowDestroyed(HWND window)
{
    CKEObjectWnd::OnWindowDestroyed(window);
    delete this;
}

void KEMainFrame::OnSkinLoaded()
{
    m_manager.SetLayered(true);
    m_root = m_manager.FindControl(L"verRoot");
    m_tab = dynamic_cast<CTabLayoutUI*>(m_manager.FindControl(L"tabInstall"));
    m_page0.InitPage();
    m_page1.InitPage();
    m_page2.InitPage();
    m_page3.InitPage();
    // The welcome page first, whatever the skin selects.
    if (m_tab) m_tab->ShowPage(0);
    m_manager.SetGdiplusTextRenderingHint(4);

    auto* shadow = new CContainerUI;
    shadow->AssignBkImage(L"file='ke_appended\\shadow\\shadows_white.png' corner='16,16,16,16'");
    const RECT inset = {kShadowMargin, kShadowMargin, kShadowMargin, kShadowMargin};
    shadow->AssignInset(inset);
    if (m_manager.WrapRoot(shadow, inset)) {
        shadow->Attach(&m_manager, nullptr, true);
    } else {
        delete shadow;
    }

    SIZE size = m_manager.GetInitSize();
    const int margin = m_manager.Scale(2 * kShadowMargin);
    m_manager.SetInitSize(size.cx + margin, size.cy + margin);
    // The skin's frame is drawn by the window itself: window size = client size.
    ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx + margin, size.cy + margin,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The manager keeps the caption in skin pixels and scales it when read: the
    // shadow margin is added in skin pixels too, or at 200 % the title bar would
    // reach halfway down the page.
    RECT caption = m_manager.GetDpi().Unscale(m_manager.GetCaptionRect());
    caption.bottom += kShadowMargin;
    m_manager.SetCaptionRect(caption);
}

LRESULT KEMainFrame::OnCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = false;
    if (message == WM_TIMER) {
        OnTimerMessage(message, wParam, lParam, handled);
    } else if (message == WM_INSTALLER_EVENT) {
        if (wParam == EVENT_PROGRESS_CHANGED)
            RefreshProgress();
        else
            OnEvent(static_cast<int>(wParam), 0, 0);
    }
    return 0;
}

LRESULT KEMainFrame::OnTimerMessage(UINT, WPARAM wParam, LPARAM, bool&)
{
    if (wParam == TIMER_PROGRESS_REFRESH) {
        if (HWND window = Handle()) ::KillTimer(window, TIMER_PROGRESS_REFRESH);
        RefreshProgress();
        return 0;
    }
    return m_page2.OnTimer(wParam);
}

void KEMainFrame::RefreshProgress()
{
    const DWORD wait = m_progressGate.Due(::GetTickCount());
    if (wait == 0) {
        LARGE_INTEGER frequency, start, end;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        OnEvent(EVENT_PROGRESS_CHANGED, 0, 0);
        // Painted here rather than when the queue empties, so the cost is known.
        if (HWND window = Handle()) ::UpdateWindow(window);
        ::QueryPerformanceCounter(&end);
        m_progressGate.NoteRefreshCost(static_cast<DWORD>((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart));
    } else if (HWND window = Handle()) {
        ::SetTimer(window, TIMER_PROGRESS_REFRESH, wait, nullptr);
    }
}

int KEMainFrame::CurrentPage() const { return m_tab ? m_tab->CurrentPage() : -1; }

void KEMainFrame::OnEvent(int code, int wparam, int lparam)
{
    (void)lparam;
    switch (code) {
    case EVENT_POST_TO_UI:
        // Any thread: only the posting happens here. A progress notice already
        // on its way will show this report's counters too.
        if (wparam == EVENT_PROGRESS_CHANGED && !m_progressGate.Ask()) break;
        if (HWND window = Handle()) ::PostMessageW(window, WM_INSTALLER_EVENT, static_cast<WPARAM>(wparam), 0);
        break;
    case EVENT_SHOW_PAGE:
        if (wparam < 0 || wparam > 3 || !m_tab) break;
        m_tab->ShowPage(wparam);
        if (wparam == 2) OnEvent(EVENT_START_INSTALL, 0, 0);
        break;
    case EVENT_START_INSTALL:
        StartInstall();
        break;
    case EVENT_PROGRESS_CHANGED:
        m_page2.OnProgChanged();
        break;
    case EVENT_INSTALL_FAILED:
        m_page2.OnInstallFailed();
        break;
    default:
        break;
    }
}

void KEMainFrame::StartInstall()
{
    // A second click queued behind the first, or any other way back to the
    // progress page, must not unpack the payload twice.
    if (m_jobsPosted > 0) return;
    InstallSettings& settings = GetInstallSettings();
    CUiString product = settings.ProductFolder();
    settings.NoteInstallFolderBeforeCreating();
    CreateFolderChain(product);
    UNINSTALL_INFO job;
    job.archivePath = GetExeFolder() + KE_PAYLOAD_ARCHIVE;
    job.destFolder = product;
    job.progress = MakeInstallProgress(this);
    job.outcome = MakeInstallOutcome(this);
    ++m_jobsPosted;
    m_worker->Post(job);
}

KEMainFrame* CreateMainFrame(HWND parent, KeBase* eventParent, bool modal, const wchar_t* title,
                             std::function<void()> onDestroy, DWORD style, DWORD exStyle, bool show,
                             KEMainFrame* frame)
{
    if (!frame) frame = new KEMainFrame();
    frame->SetOnDestroy(std::move(onDestroy));
    frame->SetMode(0);
    // Shown only once sized and centred: a window mapped at the default place
    // and moved at once can be put back there by the display server's late
    // report of its first position.
    if (!frame->Create(parent, title, style & ~WS_VISIBLE, exStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT)) {
        delete frame;
        return nullptr;
    }
    frame->SetIcon(KE_WINDOW_ICON_ID);
    frame->SetEventParent(eventParent);
    frame->CenterOnScreen();
    if (modal) {
        frame->RunModal();
        return nullptr;
    }
    frame->ShowWindow(show, show);
    return frame;
}
