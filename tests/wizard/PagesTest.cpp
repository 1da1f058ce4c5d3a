// The four pages on the wizard's real skin, driven as the main frame drives
// them: reports from the worker, clicks, the close question and the timer.
#include <gtest/gtest.h>

#include <string>

#include "7zCore/UnzipCore7z.h"
#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEInstallProgress.h"
#include "WizardHost.h"
#include "support/TestSupport.h"
#include "ui/controls/UiOption.h"
#include "ui/controls/UiProgress.h"

using namespace SkinUI;
using namespace WizardTests;

namespace {

class WizardPages : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseBuiltSkin());
        InstallSettings& settings = GetInstallSettings();
        settings.StoreDone(0);
        settings.StoreTotal(0);
        settings.StoreResult(UNZIP_OK);
        settings.desktopShortcut = true;
        settings.createdLinks.clear();
        host.reset(new WizardHost);
        ASSERT_TRUE(host->Open());
    }
    void TearDown() override { host.reset(); }

    // A report as the worker makes it: counters first, then the event.
    void Report(unsigned long long done, unsigned long long total)
    {
        GetInstallSettings().StoreDone(done);
        GetInstallSettings().StoreTotal(total);
        host->page2.OnProgChanged();
    }
    std::wstring Label() { return host->Find(L"installproglab")->Text().GetData(); }
    int Bar() { return static_cast<CProgressUI*>(host->Find(L"installPrg"))->Value(); }
    int ShowPageEvents(int page)
    {
        int n = 0;
        for (auto& e : host->events) n += (e.first == EVENT_SHOW_PAGE && e.second == page);
        return n;
    }

    std::unique_ptr<WizardHost> host;
};

const wchar_t kPrefix[] = L"正在安装，请不要关闭 ";

}  // namespace

TEST_F(WizardPages, ProgressFollowsReportsAndHandlesTheEndOnce)
{
    struct Step {
        unsigned long long done, total;
        const wchar_t* label;   // after the prefix
        int bar;
        int links;              // desktop links made so far
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } kCases[] = {
        {"quarters", {{0, 200, L"0.0%", 0, 0}, {50, 200, L"25.0%", 25, 0}, {200, 200, L"100.0%", 100, 1}}},
        {"ends twice more", {{199, 200, L"99.5%", 99, 0}, {200, 200, L"100.0%", 100, 1},
                             {200, 200, L"100.0%", 100, 1}, {200, 200, L"100.0%", 100, 1}}},
        {"empty payload", {{0, 0, L"100.0%", 100, 1}}},
        {"one decimal", {{1, 3, L"33.3%", 33, 0}, {3, 8, L"37.5%", 37, 0}, {3, 3, L"100.0%", 100, 1}}},
    };
    for (const auto& c : kCases) {
        host.reset(new WizardHost);
        ASSERT_TRUE(host->Open());
        // Before the first report the skin's own text stands.
        EXPECT_EQ(Label(), L"正在安装，请不要关闭 40%") << c.name;
        EXPECT_EQ(Bar(), 0) << c.name;
        for (const Step& s : c.steps) {
            Report(s.done, s.total);
            EXPECT_EQ(Label(), std::wstring(kPrefix) + s.label) << c.name << " " << s.done << "/" << s.total;
            EXPECT_EQ(Bar(), s.bar) << c.name << " " << s.done << "/" << s.total;
            EXPECT_EQ(host->calls.links, s.links) << c.name << " " << s.done << "/" << s.total;
        }
        EXPECT_TRUE(host->page2.Finished()) << c.name;
    }
}

TEST_F(WizardPages, CompletionPageIsAskedForOnceAboutASecondAfterTheEnd)
{
    Report(100, 200);
    Report(200, 200);
    const DWORD end = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return ShowPageEvents(3) > 0; }, 3000));
    const DWORD waited = GetTickCount() - end;
    EXPECT_GE(waited, 900u);
    EXPECT_LT(waited, 2500u);
    // The timer went with its first tick; later reports start no other.
    Report(200, 200);
    PumpUntil([] { return false; }, 1300);
    EXPECT_EQ(ShowPageEvents(3), 1);
}

TEST_F(WizardPages, FailureIsShownOnTheLabelWithItsReason)
{
    const int kResults[] = {UNZIP_ARCHIVE_MISSING, UNZIP_ARCHIVE_CORRUPT, UNZIP_FOLDER_NOT_WRITABLE,
                            UNZIP_DISK_FULL, UNZIP_UNSAFE_ENTRY, UNZIP_CANCELLED, UNZIP_ERROR};
    for (int result : kResults) {
        host.reset(new WizardHost);
        ASSERT_TRUE(host->Open());
        host->ShowPage(2);
        Report(40, 200);
        GetInstallSettings().StoreResult(result);
        host->page2.OnInstallFailed();
        const std::wstring expected = InstallFailureText(result);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(Label(), expected) << result;
        // A report still queued behind the failure leaves the reason standing.
        Report(50, 200);
        EXPECT_EQ(Label(), expected) << result;
        EXPECT_EQ(Bar(), 20) << result;
        EXPECT_EQ(host->calls.links, 0) << result;
        // The close button needs no question: nothing is left to interrupt.
        host->Click(L"closebtn2");
        EXPECT_TRUE(PumpUntil([&] { return host->closes == 1; }, 2000)) << result;
        EXPECT_EQ(host->calls.questions, 0) << result;
    }
    PumpUntil([] { return false; }, 1200);
    EXPECT_EQ(ShowPageEvents(3), 0);
}

TEST_F(WizardPages, EqualCountersOfAFailedRunAreNoSuccess)
{
    GetInstallSettings().StoreResult(UNZIP_ARCHIVE_CORRUPT);
    Report(0, 0);
    EXPECT_EQ(Label(), InstallFailureText(UNZIP_ARCHIVE_CORRUPT));
    EXPECT_EQ(host->calls.links, 0);
    PumpUntil([] { return false; }, 1200);
    EXPECT_EQ(ShowPageEvents(3), 0);
}

TEST_F(WizardPages, AgreementGatesBothWaysForward)
{
    auto* agree = static_cast<COptionUI*>(host->Find(L"protocalOpt"));
    CControlUI* install = host->Find(L"installBtn");
    CControlUI* custom = host->Find(L"customBtn");
    CControlUI* link = host->Find(L"ke_btn_protocal");
    ASSERT_TRUE(agree && install && custom && link);
    ASSERT_TRUE(agree->Selected());
    const struct {
        bool ticked;
    } kSteps[] = {{false}, {true}, {false}};
    for (const auto& step : kSteps) {
        agree->Select(step.ticked, true);
        PumpUntil([&] { return install->Enabled() == step.ticked; }, 1000);
        EXPECT_EQ(install->Enabled(), step.ticked);
        EXPECT_EQ(custom->Enabled(), step.ticked);
        EXPECT_TRUE(link->Enabled());
    }
    // Unticked: clicks on either button go nowhere.
    host->Click(L"installBtn");
    host->Click(L"customBtn");
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(host->events.empty());
    // The link opens the agreement and changes neither page nor box.
    host->Click(L"ke_btn_protocal");
    PumpUntil([&] { return !host->calls.opened.empty(); }, 1000);
    EXPECT_EQ(host->calls.opened.size(), 1u);
    EXPECT_FALSE(agree->Selected());
    EXPECT_TRUE(host->events.empty());
}

TEST_F(WizardPages, CloseQuestionAnswers)
{
    const struct {
        int page;
        const wchar_t* button;
        int answer;
        int closes;          // WM_CLOSE posted
        int registrations;   // finishing steps run
    } kCases[] = {
        {0, L"closebtn", 1, 1, 0},  {0, L"closebtn", 2, 0, 0},  {1, L"closebtn1", 0, 0, 0},
        {2, L"closebtn2", 1, 1, 0}, {2, L"closebtn2", 2, 0, 0},
        // The completion page finishes and closes whatever the answer.
        {3, L"closebtn3", 2, 1, 1}, {3, L"closebtn3", 1, 2, 1},
    };
    for (const auto& c : kCases) {
        host.reset(new WizardHost);
        ASSERT_TRUE(host->Open());
        host->calls.answer = c.answer;
        host->ShowPage(c.page);
        PumpUntil([] { return false; }, 50);
        CControlUI* root = host->Find(L"verRoot");
        const int children = static_cast<CContainerUI*>(root)->ItemCount();
        host->Click(c.button);
        PumpUntil([&] { return host->closes >= c.closes && host->calls.questions == 1; }, 1000);
        PumpUntil([] { return false; }, 100);
        EXPECT_EQ(host->calls.questions, 1) << c.page << "/" << c.answer;
        EXPECT_EQ(host->closes, c.closes) << c.page << "/" << c.answer;
        EXPECT_EQ(host->calls.registrations, c.registrations) << c.page << "/" << c.answer;
        // The dimming overlay is gone again.
        EXPECT_EQ(static_cast<CContainerUI*>(root)->ItemCount(), children);
    }
}

TEST_F(WizardPages, DesktopOptionDecidesTheDesktopLink)
{
    const struct {
        bool ticked;
        int links;
    } kCases[] = {{true, 1}, {false, 0}};
    for (const auto& c : kCases) {
        GetInstallSettings().desktopShortcut = true;
        host.reset(new WizardHost);
        ASSERT_TRUE(host->Open());
        auto* desktop = static_cast<COptionUI*>(host->Find(L"desktopShortCutOpt"));
        ASSERT_TRUE(desktop && desktop->Selected());
        desktop->Select(c.ticked, true);
        PumpUntil([&] { return GetInstallSettings().desktopShortcut == c.ticked; }, 1000);
        Report(10, 10);
        EXPECT_EQ(host->calls.links, c.links) << c.ticked;
        // The taskbar option is never shown and stays as it was.
        EXPECT_FALSE(host->Find(L"addtaskbarOpt")->Shown());
        EXPECT_FALSE(host->Find(L"tq_quick_start_up_lab")->Shown());
    }
    GetInstallSettings().desktopShortcut = true;
}

TEST_F(WizardPages, FolderChoiceReplacesTheFolderOnlyWhenMade)
{
    const std::wstring before = GetInstallSettings().installFolder.GetData();
    host->ShowPage(1);
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(std::wstring(host->Find(L"pathLab")->Text().GetData()), before);
    host->calls.chosenFolder = L"";
    host->Click(L"modifyBtn");
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(std::wstring(GetInstallSettings().installFolder.GetData()), before);
    host->calls.chosenFolder = L"D:\\Tools";
    host->Click(L"modifyBtn");
    PumpUntil([] { return std::wstring(GetInstallSettings().installFolder.GetData()) == L"D:\\Tools"; }, 1000);
    EXPECT_EQ(std::wstring(host->Find(L"pathLab")->Text().GetData()), L"D:\\Tools");
    EXPECT_EQ(std::wstring(GetInstallSettings().ProductFolder().GetData()), L"D:\\Tools\\Norvantix");
    GetInstallSettings().installFolder = before.c_str();
}
