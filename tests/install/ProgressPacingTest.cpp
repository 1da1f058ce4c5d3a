// How the worker's reports reach the progress page: the relay that takes them
// off the extracting thread, and the gate that folds them into paced refreshes.
#include "KeInstall/KEProgressGate.h"
#include "KeInstall/KEReportRelay.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<unsigned long long, unsigned long long>> Reports;

} // namespace

TEST(ProgressGate, FoldsNoticesAndSpacesRefreshes)
{
    // One step of a timeline: a report asks, or the UI looks at time `now`.
    struct Step {
        enum { Ask, Due } what;
        DWORD now;
        DWORD expected;  // Ask: 1 when a notice is to be sent; Due: the wait
    };
    const struct {
        const char* name;
        DWORD refreshCost;  // 0: never noted
        std::vector<Step> steps;
    } kCases[] = {
        {"first notice refreshes at once, the next ones wait in flight",
         0,
         {{Step::Ask, 0, 1}, {Step::Ask, 0, 0}, {Step::Due, 1000, 0}, {Step::Ask, 0, 1}, {Step::Due, 1010, 30},
          {Step::Ask, 0, 0}, {Step::Due, 1040, 0}, {Step::Ask, 0, 1}}},
        {"a slow paint stretches the interval to eight times its cost",
         25,
         {{Step::Ask, 0, 1}, {Step::Due, 0, 0}, {Step::Ask, 0, 1}, {Step::Due, 40, 160}, {Step::Due, 200, 0}}},
        {"however slow, the page moves four times a second",
         900,
         {{Step::Ask, 0, 1}, {Step::Due, 5000, 0}, {Step::Ask, 0, 1}, {Step::Due, 5001, 249}, {Step::Due, 5250, 0}}},
        {"the tick count wrapping between refreshes",
         0,
         {{Step::Ask, 0, 1}, {Step::Due, 0xFFFFFFF0u, 0}, {Step::Ask, 0, 1}, {Step::Due, 0x10, 8},
          {Step::Due, 0x18, 0}}},
    };
    for (const auto& c : kCases) {
        CKEProgressGate gate(40);
        if (c.refreshCost) gate.NoteRefreshCost(c.refreshCost);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            if (s.what == Step::Ask)
                EXPECT_EQ(s.expected != 0, gate.Ask()) << c.name << ", step " << i;
            else
                EXPECT_EQ(s.expected, gate.Due(s.now)) << c.name << ", step " << i;
        }
    }
}

// The worker reports as fast as it can while the UI refreshes slowly: the
// last refresh still sees the final counters, and the end is handled once.
TEST(ProgressGate, AFloodOfReportsEndsWithTheFinalCountersAndOneEnd)
{
    const unsigned long long total = 200000;
    std::atomic<unsigned long long> done(0);
    std::atomic<bool> workerDone(false);
    CKEProgressGate gate(5);
    HANDLE notice = CreateSemaphoreW(nullptr, 0, 1 << 30, nullptr);
    std::thread worker([&] {
        for (unsigned long long d = 0; d <= total; ++d) {
            done.store(d);
            if (gate.Ask()) ReleaseSemaphore(notice, 1, nullptr);
        }
        workerDone = true;
    });
    int notices = 0, ends = 0;
    bool finished = false;
    double lastPercent = -1;
    const DWORD deadline = GetTickCount() + 20000;
    while (GetTickCount() - deadline > 0x80000000u) {
        if (WaitForSingleObject(notice, 20) == WAIT_TIMEOUT) {
            // A notice in flight is always in the semaphore: none is lost.
            if (workerDone && !gate.Pending()) break;
            continue;
        }
        ++notices;
        // Each notice leads to one refresh, now or once its wait has passed.
        for (DWORD wait; (wait = gate.Due(GetTickCount())) != 0;) Sleep(wait);
        const unsigned long long seen = done.load();
        lastPercent = seen * 100.0 / total;
        // As the page does: a notice that comes after the end changes nothing.
        if (seen == total && !finished) {
            finished = true;
            ++ends;
        }
    }
    worker.join();
    CloseHandle(notice);
    EXPECT_EQ(1, ends);
    EXPECT_DOUBLE_EQ(100.0, lastPercent);
    EXPECT_LT(notices, static_cast<int>(total / 100)) << "the notices were not folded";
}

TEST(ReportRelay, PassesEveryReportOnInOrderWithoutMakingTheReporterWait)
{
    std::mutex gate;
    std::unique_lock<std::mutex> held(gate);
    Reports seen;
    std::atomic<DWORD> thread(0);
    {
        CKEReportRelay relay([&](unsigned long long done, unsigned long long total) {
            // The first report waits here until the reporter has queued them all.
            std::lock_guard<std::mutex> lock(gate);
            thread = GetCurrentThreadId();
            seen.emplace_back(done, total);
        });
        for (unsigned long long d = 0; d < 500; ++d) relay.Report(d, 500);
        held.unlock();  // reached only because Report never waited for the target
        relay.Drain();
        EXPECT_EQ(500u, seen.size());
        relay.Report(500, 500);
    }  // the last one is passed on by the destructor
    ASSERT_EQ(501u, seen.size());
    for (unsigned long long d = 0; d <= 500; ++d) EXPECT_EQ(std::make_pair(d, 500ULL), seen[d]);
    EXPECT_NE(GetCurrentThreadId(), thread.load());
}

TEST(ReportRelay, AnEmptyTargetTakesReportsHarmlessly)
{
    CKEReportRelay relay(CKEReportRelay::Target{});
    relay.Report(1, 2);
    relay.Drain();
}
