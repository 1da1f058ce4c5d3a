// How an extraction's end reaches the wizard: the failure event with its
// reason, success only once everything is in place, stopping on request, and
// the finishing steps that run only after a success.
#include "KeInstall/InstallFinish.h"
#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEInstallProgress.h"
#include "KeInstall/KEInstallThread.h"
#include "KeInstall/ProductConstants.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

using SkinUI::CUiString;
using namespace TestSupport;

namespace {

typedef unsigned long long u64;
typedef std::tuple<int, int, int> Event;

std::wstring Fixture(const wchar_t* name) { return TestDataFolder() + L"extract\\" + name; }

// Stands in for the main frame: records the events the worker raises.
class Frame : public KeBase {
public:
    void OnEvent(int code, int wparam, int lparam) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.emplace_back(code, wparam, lparam);
        if (onEvent) onEvent(code, wparam, lparam);
    }
    std::vector<Event> Events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    bool SawFinalReport()
    {
        for (const Event& e : Events())
            if (e == Event(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, 1)) return true;
        return false;
    }
    std::vector<Event> Failures()
    {
        std::vector<Event> failures;
        for (const Event& e : Events())
            if (std::get<1>(e) == EVENT_INSTALL_FAILED) failures.push_back(e);
        return failures;
    }
    std::function<void(int, int, int)> onEvent;

private:
    std::mutex m_mutex;
    std::vector<Event> m_events;
};

// One job's end, as its outcome callable sees it.
struct JobEnd {
    JobEnd() : ended(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~JobEnd() { CloseHandle(ended); }
    bool Wait(DWORD ms = 60000) { return WaitForSingleObject(ended, ms) == WAIT_OBJECT_0; }
    HANDLE ended;
    std::atomic<int> result{-100};
    std::atomic<DWORD> at{0};
};

UNINSTALL_INFO MakeJob(const std::wstring& archive, const std::wstring& dest, KeBase* frame, JobEnd* end)
{
    UNINSTALL_INFO job;
    job.archivePath = archive.c_str();
    job.destFolder = dest.c_str();
    job.progress = MakeInstallProgress(frame);
    OutcomeCallback outcome = MakeInstallOutcome(frame);
    job.outcome = [outcome, end](int result) {
        outcome(result);
        end->result = result;
        end->at = GetTickCount();
        SetEvent(end->ended);
    };
    return job;
}

void ResetRun()
{
    InstallSettings& settings = GetInstallSettings();
    settings.StoreDone(0);
    settings.StoreTotal(0x7FFFFFFFFFFFFFFFULL);
    settings.StoreResult(kInstallPending);
    settings.StoreExtracted({});
    settings.createdLinks.clear();
}

// Finishing operations that record what they are asked to do, on folders of the test.
struct FakeShell {
    std::wstring desktop, programs;
    std::vector<std::wstring> links;     // link paths asked for
    std::vector<std::wstring> registered;  // product folders registered
    bool listExistedAtRegistration = false;
    int startMenuCalls = 0;

    FinishOperations Operations()
    {
        FinishOperations ops;
        ops.createLink = [this](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int, const wchar_t* link) {
            links.push_back(link);
            return WriteFileBytes(link, "link");
        };
        ops.createStartMenu = [this](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t* name, const wchar_t*) {
            ++startMenuCalls;
            std::wstring group = programs + L"\\" + name;
            CreateDirectoryW(group.c_str(), nullptr);
            WriteFileBytes(group + L"\\" + name + L".lnk", "link");
            WriteFileBytes(group + L"\\卸载" + name + L".lnk", "link");
        };
        ops.desktopFolder = [this] { return CUiString(desktop.c_str()); };
        ops.programsFolder = [this] { return CUiString(programs.c_str()); };
        ops.registerEntry = [this](const wchar_t* folder) {
            registered.push_back(folder);
            listExistedAtRegistration = PathFileExistsW((std::wstring(folder) + L"\\" + KE_INSTALLED_FILES_NAME).c_str());
        };
        return ops;
    }
    int Calls() const { return static_cast<int>(links.size() + registered.size()) + startMenuCalls; }
};

// A product folder, desktop and programs folder under one temporary folder.
struct Machine {
    Machine()
    {
        desktop = temp.Path() + L"desktop";
        programs = temp.Path() + L"programs";
        CreateDirectoryW(desktop.c_str(), nullptr);
        CreateDirectoryW(programs.c_str(), nullptr);
        GetInstallSettings().installFolder = (temp.Path() + L"install").c_str();
        product = GetInstallSettings().ProductFolder().GetData();
        CreateDirectoryW((temp.Path() + L"install").c_str(), nullptr);
        CreateDirectoryW(product.c_str(), nullptr);
        shell.desktop = desktop;
        shell.programs = programs;
    }
    TempFolder temp;
    std::wstring desktop, programs, product;
    FakeShell shell;
};

} // namespace

TEST(InstallOutcome, FailureReachesTheOwnerWithItsReasonAndNothingIsFinished)
{
    struct Case {
        const wchar_t* archive;
        bool destIsFile;
        int reason;
    } cases[] = {
        {L"missing.7z", false, UNZIP_ARCHIVE_MISSING},
        {L"corrupt.7z", false, UNZIP_ARCHIVE_CORRUPT},
        {L"dotdot.7z", false, UNZIP_UNSAFE_ENTRY},
        {L"lzma2.7z", true, UNZIP_FOLDER_NOT_WRITABLE},
    };
    for (const Case& c : cases) {
        ResetRun();
        Machine machine;
        std::wstring dest = machine.product;
        if (c.destIsFile) {
            dest = machine.temp.Path() + L"a file";
            ASSERT_TRUE(WriteFileBytes(dest, "x"));
        }
        Frame frame;
        JobEnd end;
        {
            CKEInstallThread worker;
            worker.Post(MakeJob(Fixture(c.archive), dest, &frame, &end));
            ASSERT_TRUE(end.Wait()) << ToUtf8(c.archive);
        }
        EXPECT_EQ(c.reason, end.result) << ToUtf8(c.archive);
        EXPECT_EQ(std::vector<Event>{Event(EVENT_POST_TO_UI, EVENT_INSTALL_FAILED, c.reason)}, frame.Failures())
            << ToUtf8(c.archive);
        EXPECT_EQ(c.reason, GetInstallSettings().LoadResult());
        EXPECT_FALSE(frame.SawFinalReport()) << ToUtf8(c.archive);
        EXPECT_NE(GetInstallSettings().LoadDone(), GetInstallSettings().LoadTotal());

        // Even a page that went on regardless makes no link and no registration.
        FinishOperations ops = machine.shell.Operations();
        EXPECT_FALSE(CreateDesktopLinkStep(GetInstallSettings(), ops));
        EXPECT_FALSE(FinishInstall(GetInstallSettings(), ops));
        EXPECT_EQ(0, machine.shell.Calls()) << ToUtf8(c.archive);
        EXPECT_FALSE(PathFileExistsW((machine.product + L"\\" + KE_INSTALLED_FILES_NAME).c_str()));
    }
}

TEST(InstallOutcome, TheFinalReportComesOnlyOnceEverythingIsInPlace)
{
    ResetRun();
    Machine machine;
    Frame frame;
    int resultAtFinal = -100;
    size_t itemsAtFinal = 0;
    int finalReports = 0;
    frame.onEvent = [&](int, int wparam, int lparam) {
        if (wparam == EVENT_PROGRESS_CHANGED && lparam == 1 && ++finalReports == 1) {
            resultAtFinal = GetInstallSettings().LoadResult();
            itemsAtFinal = GetInstallSettings().Extracted().size();
        }
    };
    JobEnd end;
    {
        CKEInstallThread worker;
        worker.Post(MakeJob(Fixture(L"lzma2.7z"), machine.product, &frame, &end));
        ASSERT_TRUE(end.Wait());
    }
    EXPECT_EQ(UNZIP_OK, end.result);
    EXPECT_TRUE(frame.Failures().empty());
    EXPECT_EQ(1, finalReports);
    EXPECT_EQ(UNZIP_OK, resultAtFinal);
    EXPECT_GT(itemsAtFinal, 15u);
    EXPECT_EQ(GetInstallSettings().LoadDone(), GetInstallSettings().LoadTotal());
}

TEST(InstallOutcome, ConfirmedCloseStopsPromptlyAndLeavesOnlyWhatWasThere)
{
    ResetRun();
    Machine machine;
    std::wstring big = machine.product + L"\\big";
    ASSERT_TRUE(CreateDirectoryW(big.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(big + L"\\part-23.bin", "old"));
    ASSERT_TRUE(WriteFileBytes(machine.product + L"\\settings.ini", "mine"));

    Frame frame;
    JobEnd end;
    HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE cancelled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD cancelAt = 0;
    {
        CKEInstallThread worker;
        UNINSTALL_INFO job = MakeJob(Fixture(L"big.7z"), machine.product, &frame, &end);
        ProgressCallback report = job.progress;
        // A third of the way in, the extraction waits until the close is confirmed.
        job.progress = [report, reached, cancelled](u64 done, u64 total) {
            report(done, total);
            if (done * 3 >= total && WaitForSingleObject(reached, 0) != WAIT_OBJECT_0) {
                SetEvent(reached);
                WaitForSingleObject(cancelled, 10000);
            }
        };
        worker.Post(job);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(reached, 60000));
        cancelAt = GetTickCount();
        worker.Cancel();
        SetEvent(cancelled);
        ASSERT_TRUE(end.Wait(10000));
    }
    CloseHandle(reached);
    CloseHandle(cancelled);
    EXPECT_LE(end.at - cancelAt, 500u);
    EXPECT_EQ(UNZIP_CANCELLED, end.result);
    EXPECT_EQ(std::vector<Event>{Event(EVENT_POST_TO_UI, EVENT_INSTALL_FAILED, UNZIP_CANCELLED)}, frame.Failures());
    EXPECT_FALSE(frame.SawFinalReport());

    std::map<std::wstring, std::string> left;
    for (const wchar_t* name : {L"\\settings.ini", L"\\big\\part-23.bin"}) ReadFileBytes(machine.product + name, &left[name]);
    EXPECT_EQ("mine", left[L"\\settings.ini"]);
    EXPECT_EQ("old", left[L"\\big\\part-23.bin"]);
    // Nothing else: the run's files, its temporary file and its folders are gone.
    WIN32_FIND_DATAW data;
    int count = 0;
    HANDLE find = FindFirstFileW((big + L"\\*").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    do {
        if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L"..")) {
            ++count;
            EXPECT_STREQ(L"part-23.bin", data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(1, count);

    FinishOperations ops = machine.shell.Operations();
    EXPECT_FALSE(CreateDesktopLinkStep(GetInstallSettings(), ops));
    EXPECT_FALSE(FinishInstall(GetInstallSettings(), ops));
    EXPECT_EQ(0, machine.shell.Calls());
}

namespace {

std::atomic<int> g_fakeCalls{0};
HANDLE g_fakeStarted = nullptr;

// Runs until it is told to stop.
int FakeUntilStopped(const char*, const char*, ProgressCallback, const std::atomic<bool>* cancel, UnzipItemCallback)
{
    ++g_fakeCalls;
    SetEvent(g_fakeStarted);
    for (int i = 0; i < 1000 && !cancel->load(); ++i) Sleep(10);
    return cancel->load() ? UNZIP_CANCELLED : UNZIP_OK;
}

int FakeQuick(const char*, const char*, ProgressCallback progress, const std::atomic<bool>* cancel, UnzipItemCallback)
{
    ++g_fakeCalls;
    if (cancel->load()) return UNZIP_CANCELLED;
    progress(5, 5);
    return UNZIP_OK;
}

} // namespace

TEST(InstallOutcome, CancelTakesTheRunningAndQueuedJobsOnlyAndIsHarmlessWhenIdle)
{
    ResetRun();
    Frame frame;
    g_fakeStarted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        // Idle, twice, then a job that runs as usual.
        CKEInstallThread worker(&FakeQuick);
        worker.Cancel();
        worker.Cancel();
        g_fakeCalls = 0;
        JobEnd end;
        worker.Post(MakeJob(L"a.7z", L"C:\\dest", &frame, &end));
        ASSERT_TRUE(end.Wait(5000));
        EXPECT_EQ(UNZIP_OK, end.result);
        EXPECT_EQ(1, g_fakeCalls);
        EXPECT_TRUE(frame.SawFinalReport());
    }
    {
        CKEInstallThread worker(&FakeUntilStopped);
        g_fakeCalls = 0;
        JobEnd running, queued;
        worker.Post(MakeJob(L"a.7z", L"C:\\one", &frame, &running));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_fakeStarted, 5000));
        worker.Post(MakeJob(L"a.7z", L"C:\\two", &frame, &queued));
        worker.Cancel();
        ASSERT_TRUE(running.Wait(5000));
        ASSERT_TRUE(queued.Wait(5000));
        EXPECT_EQ(UNZIP_CANCELLED, running.result);
        EXPECT_EQ(UNZIP_CANCELLED, queued.result);
        EXPECT_EQ(1, g_fakeCalls) << "a job queued before the cancel must not start";
        worker.Cancel();
    }
    CloseHandle(g_fakeStarted);
}

TEST(InstallOutcome, DesktopOptionDecidesTheDesktopLinkAndTheListNamesWhatWasMade)
{
    for (bool desktop : {true, false}) {
        ResetRun();
        Machine machine;
        InstallSettings& settings = GetInstallSettings();
        settings.desktopShortcut = desktop;
        settings.addToTaskbar = true;  // inert
        settings.StoreExtracted({{InstalledEntry::kFolder, L"bin"}, {InstalledEntry::kFile, L"bin\\a.dll"},
                                 {InstalledEntry::kFile, L"DUDavov.exe"}});
        settings.StoreResult(UNZIP_OK);
        FinishOperations ops = machine.shell.Operations();

        EXPECT_EQ(desktop, CreateDesktopLinkStep(settings, ops));
        std::vector<std::wstring> expectedLinks;
        if (desktop) expectedLinks.push_back(machine.desktop + L"\\Velkaro.lnk");
        EXPECT_EQ(expectedLinks, machine.shell.links);

        ASSERT_TRUE(FinishInstall(settings, ops));
        EXPECT_EQ(std::vector<std::wstring>{machine.product}, machine.shell.registered);
        EXPECT_TRUE(machine.shell.listExistedAtRegistration);
        EXPECT_EQ(expectedLinks, machine.shell.links) << "the taskbar option makes no link";

        CInstalledFiles list;
        ASSERT_EQ(INSTALLED_LIST_OK, list.Load((machine.product + L"\\" + KE_INSTALLED_FILES_NAME).c_str()));
        std::vector<InstalledEntry> expected = {{InstalledEntry::kFolder, L"bin"},
                                                {InstalledEntry::kFile, L"bin\\a.dll"},
                                                {InstalledEntry::kFile, L"DUDavov.exe"}};
        if (desktop) expected.push_back({InstalledEntry::kLink, machine.desktop + L"\\Velkaro.lnk"});
        expected.push_back({InstalledEntry::kLink, machine.programs + L"\\Velkaro\\Velkaro.lnk"});
        expected.push_back({InstalledEntry::kLink, machine.programs + L"\\Velkaro\\卸载Velkaro.lnk"});
        expected.push_back({InstalledEntry::kFile, KE_INSTALLED_FILES_NAME});
        EXPECT_TRUE(expected == list.Entries());
    }
}

TEST(InstallOutcome, LabelShowsOneDecimalAndAnEmptyPayloadAsComplete)
{
    struct Case {
        u64 done, total;
        const wchar_t* label;
        int bar;
    } cases[] = {
        {0, 200, L"正在安装，请不要关闭 0.0%", 0},
        {50, 200, L"正在安装，请不要关闭 25.0%", 25},
        {75, 200, L"正在安装，请不要关闭 37.5%", 37},
        {1, 3, L"正在安装，请不要关闭 33.3%", 33},
        {200, 200, L"正在安装，请不要关闭 100.0%", 100},
        {0, 0, L"正在安装，请不要关闭 100.0%", 100},
        {0, 0x7FFFFFFFFFFFFFFFULL, L"正在安装，请不要关闭 0.0%", 0},
        {300, 200, L"正在安装，请不要关闭 100.0%", 100},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.label, FormatProgressLabel(c.done, c.total).GetData()) << c.done << "/" << c.total;
        EXPECT_EQ(c.bar, ProgressBarValue(c.done, c.total)) << c.done << "/" << c.total;
    }
}

TEST(InstallOutcome, EveryReasonHasItsOwnText)
{
    std::map<std::wstring, int> seen;
    for (int reason : std::vector<int>{UNZIP_ARCHIVE_MISSING, UNZIP_ARCHIVE_CORRUPT, UNZIP_FOLDER_NOT_WRITABLE,
                                       UNZIP_DISK_FULL, UNZIP_UNSAFE_ENTRY, UNZIP_ERROR}) {
        std::wstring text = InstallFailureText(reason);
        EXPECT_EQ(0u, text.find(L"安装失败：")) << reason;
        EXPECT_TRUE(seen.emplace(text, reason).second) << reason;
    }
    EXPECT_STREQ(InstallFailureText(UNZIP_ERROR), InstallFailureText(99));
    EXPECT_STREQ(L"安装已取消", InstallFailureText(UNZIP_CANCELLED));
    EXPECT_STREQ(L"安装失败：安装包已损坏", InstallFailureText(UNZIP_ARCHIVE_CORRUPT));
    EXPECT_STREQ(L"", InstallFailureText(UNZIP_OK));
}
