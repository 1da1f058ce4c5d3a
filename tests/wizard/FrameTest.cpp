// The main frame as the program runs it (without the modal loop), with a
// stand-in extraction: the page flow, the one job, the worker's events
// reaching the pages, failure, and a confirmed close during extraction.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "7zCore/UnzipCore7z.h"
#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEInstallProgress.h"
#include "KeInstall/KEMainFrame.h"
#include "ui/controls/UiContainer.h"
#include "WizardHost.h"
#include "support/TestSupport.h"

using namespace SkinUI;
using namespace WizardTests;

namespace {

enum class Run { Succeed, Fail, Block, Flood };
std::atomic<int> g_jobs(0);
std::atomic<int> g_mode(static_cast<int>(Run::Succeed));
std::atomic<bool> g_sawCancel(false);

int FakeExtract(const char*, const char*, ProgressCallback progress, const std::atomic<bool>* cancel,
                UnzipItemCallback)
{
    ++g_jobs;
    switch (static_cast<Run>(g_mode.load())) {
    case Run::Succeed:
        progress(0, 400);
        progress(100, 400);
        progress(400, 400);
        return UNZIP_OK;
    case Run::Fail:
        progress(40, 400);
        return UNZIP_ARCHIVE_CORRUPT;
    case Run::Flood:
        // Far faster than the page refreshes; each report is still logged.
        for (unsigned long long done = 0; done < 400; ++done) progress(done, 400);
        progress(400, 400);
        return UNZIP_OK;
    case Run::Block:
        progress(1, 400);
        for (int i = 0; i < 1000 && !(cancel && cancel->load()); ++i) Sleep(10);
        g_sawCancel = cancel && cancel->load();
        return g_sawCancel ? UNZIP_CANCELLED : UNZIP_OK;
    }
    return UNZIP_ERROR;
}

class WizardFrame : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseBuiltSkin());
        g_jobs = 0;
        g_sawCancel = false;
        g_mode = static_cast<int>(Run::Succeed);
        InstallSettings& settings = GetInstallSettings();
        m_folderBefore = settings.installFolder.GetData();
        settings.installFolder = CUiString(m_temp.Path().c_str()) + L"dest";
        settings.desktopShortcut = true;
        settings.StoreDone(0);
        settings.StoreTotal(0);
    }
    void TearDown() override
    {
        if (frame && !destroyed) DestroyWindow(frame->Handle());
        PumpUntil([&] { return destroyed; }, 3000);
        GetInstallSettings().installFolder = m_folderBefore.c_str();
    }
    // realQuestion: the wizard's own close question instead of a recorder.
    void Open(bool realQuestion = false)
    {
        frame = new KEMainFrame(&FakeExtract);
        auto question = frame->Services().confirmClose;
        frame->Services() = RecordingServices(&calls);
        if (realQuestion) frame->Services().confirmClose = question;
        // The program's own styles: caption, system menu and sizing frame.
    ASSERT_EQ(CreateMainFrame(nullptr, nullptr, false, L"Velkaro", [this] { destroyed = true; }, 0x10CC0000, 0x100,
                                  true, frame),
                  frame);
        PumpUntil([] { return false; }, 150);
    }
    void Click(const wchar_t* name)
    {
        CControlUI* control = frame->Manager().FindControl(name);
        ASSERT_NE(control, nullptr);
        const RECT r = control->Bounds();
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(frame->Handle(), WM_MOUSEMOVE, 0, at);
        SendMessageW(frame->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(frame->Handle(), WM_LBUTTONUP, 0, at);
    }

    KEMainFrame* frame = nullptr;
    Calls calls;
    bool destroyed = false;
    TestSupport::TempFolder m_temp;
    std::wstring m_folderBefore;
};

}  // namespace

TEST_F(WizardFrame, WelcomePageFirstAndThe732By452Window)
{
    Open();
    EXPECT_EQ(frame->CurrentPage(), 0);
    RECT r;
    GetWindowRect(frame->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 732);
    EXPECT_EQ(r.bottom - r.top, 452);
}

TEST_F(WizardFrame, PageFlowPostsOneJob)
{
    g_mode = static_cast<int>(Run::Block);
    struct Action {
        const wchar_t* click;   // a button, or null for the event below
        int showPage;
    };
    const struct {
        const char* name;
        std::vector<Action> actions;
        int page;
        int jobs;
    } kFlows[] = {
        {"options and back", {{L"customBtn", 0}, {L"gobackbtn", 0}}, 0, 0},
        {"out of range", {{nullptr, 4}, {nullptr, -1}}, 0, 0},
        {"install twice", {{L"installBtn", 0}, {L"installBtn", 0}}, 2, 1},
        {"from options", {{L"customBtn", 0}, {L"installBtn1", 0}, {nullptr, 2}}, 2, 1},
        {"shown again", {{nullptr, 2}, {nullptr, 1}, {nullptr, 2}, {nullptr, 2}}, 2, 1},
    };
    for (const auto& flow : kFlows) {
        destroyed = false;
        g_jobs = 0;
        Open();
        for (const Action& a : flow.actions) {
            if (a.click)
                Click(a.click);
            else
                frame->OnEvent(EVENT_SHOW_PAGE, a.showPage, 0);
            PumpUntil([] { return false; }, 60);
        }
        EXPECT_EQ(frame->CurrentPage(), flow.page) << flow.name;
        EXPECT_EQ(frame->JobsPosted(), flow.jobs) << flow.name;
        if (flow.jobs) EXPECT_TRUE(PumpUntil([&] { return g_jobs.load() == flow.jobs; }, 2000)) << flow.name;
        DestroyWindow(frame->Handle());
        ASSERT_TRUE(PumpUntil([&] { return destroyed; }, 3000)) << flow.name;
        EXPECT_EQ(g_jobs.load(), flow.jobs) << flow.name;
        frame = nullptr;
    }
}

TEST_F(WizardFrame, ASuccessfulRunReachesTheCompletionPage)
{
    Open();
    Click(L"installBtn");
    ASSERT_TRUE(PumpUntil([&] { return frame->CurrentPage() == 3; }, 4000));
    EXPECT_EQ(calls.links, 1);
    EXPECT_EQ(frame->Manager().FindControl(L"installproglab")->Text(), CUiString(L"正在安装，请不要关闭 100.0%"));
    Click(L"completeBtn");
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }, 3000));
    frame = nullptr;
    EXPECT_EQ(calls.registrations, 1);
    ASSERT_EQ(calls.opened.size(), 1u);
}

TEST_F(WizardFrame, AFloodOfReportsEndsAtOneHundredPercentWithOneLink)
{
    g_mode = static_cast<int>(Run::Flood);
    Open();
    Click(L"installBtn");
    ASSERT_TRUE(PumpUntil([&] { return frame->CurrentPage() == 3; }, 10000));
    EXPECT_EQ(frame->Manager().FindControl(L"installproglab")->Text(), CUiString(L"正在安装，请不要关闭 100.0%"));
    // Notices still queued or timed behind the end change nothing.
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(calls.links, 1);
    EXPECT_EQ(frame->CurrentPage(), 3);
}

TEST_F(WizardFrame, AFailedRunSaysWhyAndCanBeClosed)
{
    g_mode = static_cast<int>(Run::Fail);
    Open();
    Click(L"installBtn");
    CControlUI* label = frame->Manager().FindControl(L"installproglab");
    const CUiString expected(InstallFailureText(UNZIP_ARCHIVE_CORRUPT));
    ASSERT_TRUE(PumpUntil([&] { return label->Text() == expected; }, 3000)) << TestSupport::ToUtf8(label->Text().GetData());
    PumpUntil([] { return false; }, 1300);
    EXPECT_EQ(frame->CurrentPage(), 2);
    EXPECT_EQ(calls.links, 0);
    Click(L"closebtn2");
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }, 3000));
    frame = nullptr;
    EXPECT_EQ(calls.registrations, 0);
    EXPECT_EQ(calls.startMenus, 0);
}

TEST_F(WizardFrame, AConfirmedCloseStopsTheExtraction)
{
    g_mode = static_cast<int>(Run::Block);
    Open();
    Click(L"installBtn");
    ASSERT_TRUE(PumpUntil([&] { return g_jobs.load() == 1; }, 2000));
    calls.answer = 1;
    const DWORD start = GetTickCount();
    Click(L"closebtn2");
    ASSERT_TRUE(PumpUntil([&] { return destroyed; }, 5000));
    frame = nullptr;
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_TRUE(g_sawCancel.load());
    EXPECT_EQ(calls.registrations, 0);
    EXPECT_EQ(calls.links, 0);
}

TEST_F(WizardFrame, TheCloseQuestionIsAskedOverTheDimmedWizard)
{
    Open(true);
    // The box's own loop runs inside the click; another thread answers it.
    std::atomic<bool> seen(false), visible(false), dimmed(false);
    CControlUI* root = frame->Manager().FindControl(L"verRoot");
    const int children = static_cast<CContainerUI*>(root)->ItemCount();
    std::thread answer([&] {
        for (int i = 0; i < 300 && !seen; ++i) {
            HWND box = FindWindowW(L"kewhitemsgbox", nullptr);
            if (box) {
                seen = true;
                Sleep(200);
                visible = IsWindowVisible(box) != FALSE;
                dimmed = static_cast<CContainerUI*>(root)->ItemCount() == children + 1;
                PostMessageW(box, WM_CLOSE, 0, 0);
            }
            Sleep(10);
        }
    });
    Click(L"closebtn");
    answer.join();
    EXPECT_TRUE(seen.load());
    EXPECT_TRUE(visible.load());
    EXPECT_TRUE(dimmed.load());
    PumpUntil([] { return false; }, 200);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(static_cast<CContainerUI*>(root)->ItemCount(), children);
}
