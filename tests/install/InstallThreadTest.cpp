// The install worker's queue, wake-up and shutdown rules, and the progress
// protocol from library report to posted window message and log entry.
#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEInstallProgress.h"
#include "KeInstall/KEInstallThread.h"
#include "common/Log.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

namespace {

class RecordingThread : public CKEThread<UNINSTALL_INFO> {
public:
    ~RecordingThread() override { Stop(); }
    std::function<void(UNINSTALL_INFO&)> onJob;
    using CKEThread::IsStopping;

protected:
    void HandleJob(UNINSTALL_INFO& job) override { onJob(job); }
};

UNINSTALL_INFO Job(const wchar_t* name)
{
    UNINSTALL_INFO job;
    job.archivePath = L"C:\\setup\\ke.7z";
    job.destFolder = name;
    return job;
}

typedef std::tuple<int, int, int> Event;

// Stands in for the main frame: records events and posts EVENT_POST_TO_UI
// to a message-only window, as the frame posts to its own.
class TestFrame : public KeBase {
public:
    TestFrame()
    {
        m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~TestFrame() override { DestroyWindow(m_window); }

    void OnEvent(int code, int wparam, int lparam) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.emplace_back(code, wparam, lparam);
        }
        if (code == EVENT_POST_TO_UI) PostMessageW(m_window, WM_INSTALLER_EVENT, wparam, 0);
    }

    std::vector<Event> Events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

    // The posted messages as (wParam, lParam) pairs.
    std::vector<std::pair<WPARAM, LPARAM>> TakeMessages()
    {
        std::vector<std::pair<WPARAM, LPARAM>> messages;
        MSG msg;
        while (PeekMessageW(&msg, m_window, WM_INSTALLER_EVENT, WM_INSTALLER_EVENT, PM_REMOVE))
            messages.emplace_back(msg.wParam, msg.lParam);
        return messages;
    }

private:
    HWND m_window;
    std::mutex m_mutex;
    std::vector<Event> m_events;
};

std::string LogText()
{
    std::string bytes;
    TestSupport::ReadFileBytes(GetLogFilePath().GetData(), &bytes);
    return bytes;
}

// The entries' texts appear in this order in text (stamps aside).
void ExpectEntriesInOrder(const std::string& text, const std::vector<std::string>& entries)
{
    size_t at = 0;
    for (const std::string& entry : entries) {
        size_t found = text.find("] - " + entry + "\r\n", at);
        ASSERT_NE(std::string::npos, found) << "missing entry: " << entry << "\nin:\n" << text;
        at = found + entry.size();
    }
}

HANDLE g_fakeDone = nullptr;

bool FakeThreeReports(const char*, const char*, ProgressCallback progress)
{
    progress(0, 100);
    progress(50, 100);
    progress(100, 100);
    SetEvent(g_fakeDone);
    return true;
}

} // namespace

TEST(InstallThread, JobPostedRightAfterConstructionIsPerformed)
{
    // The worker may not have reached its first wait yet; the job must not be lost.
    for (int round = 0; round < 50; ++round) {
        HANDLE performed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        {
            RecordingThread worker;
            worker.onJob = [performed](UNINSTALL_INFO&) { SetEvent(performed); };
            worker.Post(Job(L"only"));
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(performed, 5000)) << "round " << round;
        }
        CloseHandle(performed);
    }
}

TEST(InstallThread, JobsRunOldestFirstWithTheirOwnCopies)
{
    HANDLE allDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::wstring> seen;
    {
        RecordingThread worker;
        worker.onJob = [&](UNINSTALL_INFO& job) {
            seen.push_back(job.destFolder.GetData());
            if (seen.size() == 3) SetEvent(allDone);
        };
        UNINSTALL_INFO job = Job(L"first");
        worker.Post(job);
        job.destFolder = L"second";  // the queue holds a copy, not the caller's record
        worker.Post(job);
        worker.Post(Job(L"third"));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(allDone, 5000));
    }
    CloseHandle(allDone);
    EXPECT_EQ((std::vector<std::wstring>{L"first", L"second", L"third"}), seen);
}

TEST(InstallThread, DestructionWaitsForTheRunningJobAndDropsQueuedOnes)
{
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::mutex mutex;
    std::vector<std::wstring> performed;
    std::atomic<bool> finished(false);

    RecordingThread* worker = new RecordingThread;
    worker->onJob = [&](UNINSTALL_INFO& job) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            performed.push_back(job.destFolder.GetData());
        }
        SetEvent(started);
        WaitForSingleObject(gate, 10000);
        Sleep(200);
        finished = true;
    };
    worker->Post(Job(L"running"));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, 5000));
    worker->Post(Job(L"queued 1"));
    worker->Post(Job(L"queued 2"));

    std::atomic<bool> destroyed(false), finishedWhenDestroyed(false);
    std::thread destroyer([&] {
        delete worker;
        finishedWhenDestroyed = finished.load();
        destroyed = true;
    });
    // The destructor cannot complete while the job runs, so worker stays valid here.
    while (!worker->IsStopping()) Sleep(1);
    Sleep(100);
    EXPECT_FALSE(destroyed);
    SetEvent(gate);
    destroyer.join();
    EXPECT_TRUE(finishedWhenDestroyed);
    EXPECT_EQ(std::vector<std::wstring>{L"running"}, performed);
    CloseHandle(started);
    CloseHandle(gate);
}

TEST(InstallThread, ThreeReportsGiveThreeMessagesAndThreeLogEntriesThenOk)
{
    TestFrame frame;
    g_fakeDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    size_t logBefore = LogText().size();
    {
        CKEInstallThread worker(&FakeThreeReports);
        UNINSTALL_INFO job = Job(L"C:\\Program Files\\Norvantix\\Norvantix");
        job.progress = MakeInstallProgress(&frame);
        worker.Post(job);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_fakeDone, 5000));
    }  // joins: the "ok" entry is written before this returns
    CloseHandle(g_fakeDone);

    std::vector<std::pair<WPARAM, LPARAM>> messages = frame.TakeMessages();
    std::vector<std::pair<WPARAM, LPARAM>> expected(3, std::make_pair(WPARAM(EVENT_PROGRESS_CHANGED), LPARAM(0)));
    EXPECT_EQ(expected, messages);
    // Only the frame sees the done-equals-total flag; the message does not carry it.
    std::vector<Event> events = {Event(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, 0),
                                 Event(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, 0),
                                 Event(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, 1)};
    EXPECT_EQ(events, frame.Events());
    EXPECT_EQ(100u, GetInstallSettings().LoadDone());
    EXPECT_EQ(100u, GetInstallSettings().LoadTotal());

    std::string added = LogText().substr(logBefore);
    // "%I64d,  %I64d\n" then the log's own line end: an empty line follows each.
    ExpectEntriesInOrder(added, {"0,  100\r\n", "50,  100\r\n", "100,  100\r\n", "ok"});
}

TEST(InstallThread, ProgressGoesToTheFramesEventParentWhenItHasOne)
{
    TestFrame parent, frame;
    frame.SetEventParent(&parent);
    ProgressCallback progress = MakeInstallProgress(&frame);
    progress(7, 9);
    // The page reads the counters while the work goes on, not only at the end,
    // where done and total are equal and a mix-up would not show.
    EXPECT_EQ(7u, GetInstallSettings().LoadDone());
    EXPECT_EQ(9u, GetInstallSettings().LoadTotal());
    EXPECT_TRUE(frame.Events().empty());
    EXPECT_EQ(std::vector<Event>{Event(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, 0)}, parent.Events());
    frame.SetEventParent(nullptr);
    progress(9, 9);
    EXPECT_EQ(std::vector<Event>{Event(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, 1)}, frame.Events());
}

TEST(KeBase, DestructionCallsTheOnDestroyCallbackOnce)
{
    int calls = 0;
    {
        KeBase base;
        base.SetOnDestroy([&calls] { ++calls; });
        KeBase parent;
        base.SetEventParent(&parent);
        EXPECT_EQ(&parent, base.GetEventParent());
        base.SetEventParent(nullptr);
        EXPECT_EQ(nullptr, base.GetEventParent());
    }
    EXPECT_EQ(1, calls);
}
