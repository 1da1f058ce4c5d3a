#pragma once
// The wizard: one skinned, layered, round-cornered window whose tab layout
// holds the four pages. The frame owns the pages and the install worker,
// switches pages, posts the one extraction job and carries the worker's
// events across to the UI thread.
#include <windows.h>

#include <functional>
#include <memory>

#include "KeInstall/KEInstallPage0.h"
#include "KeInstall/KEInstallPage1.h"
#include "KeInstall/KEInstallPage2.h"
#include "KeInstall/KEInstallPage3.h"
#include "KeInstall/KEInstallThread.h"
#include "KeInstall/KEObjectWnd.h"
#include "KeInstall/KEProgressGate.h"
#include "KeInstall/KEWizardServices.h"
#include "ui/controls/UiTabLayout.h"

// Started on the wizard window when a progress notice comes sooner than the
// page may be refreshed again.
const UINT TIMER_PROGRESS_REFRESH = 269;
// A person sees no more than this; each refresh repaints the whole window.
const DWORD kProgressRefreshMs = 40;

class KEMainFrame : public CKEObjectWnd {
public:
    // The worker runs `extract` (the extraction library when null).
    explicit KEMainFrame(ExtractFunctionEx extract = nullptr);
    ~KEMainFrame() override;

    void OnWindowDestroyed(HWND window) override;
    void OnSkinLoaded() override;
    LRESULT OnCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnTimerMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnEvent(int code, int wparam, int lparam) override;

    // What the pages ask of the system; replaced whole by tests.
    WizardServices& Services() { return m_services; }
    // The tab page shown, -1 before the skin is there.
    int CurrentPage() const;
    // How many extraction jobs this frame has posted (at most one).
    int JobsPosted() const { return m_jobsPosted; }
    CKEInstallPage2& ProgressPage() { return m_page2; }

private:
    void StartInstall();
    // A progress notice has arrived or its delay has passed (UI thread).
    void RefreshProgress();

    std::unique_ptr<CKEInstallThread> m_worker;
    WizardServices m_services;
    CKEInstallPage0 m_page0;
    CKEInstallPage1 m_page1;
    CKEInstallPage2 m_page2;
    CKEInstallPage3 m_page3;
    SkinUI::CControlUI* m_root = nullptr;
    SkinUI::CTabLayoutUI* m_tab = nullptr;
    int m_jobsPosted = 0;
    CKEProgressGate m_progressGate{kProgressRefreshMs};
};

// Creates the wizard window. Modal: runs it until it is gone and answers null
// (the frame has deleted itself). Otherwise shows it (or not) and answers the
// frame. `frame`, when given, is used instead of a new one (it must be on the
// heap: the window deletes it); on failure to create the window it is deleted.
KEMainFrame* CreateMainFrame(HWND parent, KeBase* eventParent, bool modal, const wchar_t* title,
                             std::function<void()> onDestroy, DWORD style, DWORD exStyle, bool show,
                             KEMainFrame* frame = nullptr);
