#pragma once
// Paces the progress page's refreshes. The worker reports far more often than
// anyone can see, and each refresh repaints the whole layered window; letting
// every report through kept the UI thread busy on a core the extraction
// needed. At most one notice is in flight, and the page is refreshed at most
// once per interval. The worker never waits: asking is one atomic exchange.
#include <windows.h>

#include <atomic>

class CKEProgressGate {
public:
    explicit CKEProgressGate(DWORD intervalMs) : m_interval(intervalMs) {}

    // Any thread, after the counters of a report are stored: true when the UI
    // must be told, false when a notice is already on its way (the refresh it
    // leads to reads these counters, or newer ones).
    bool Ask() { return !m_pending.exchange(true); }

    // UI thread, when the notice arrives or its delay has passed; now in
    // milliseconds (GetTickCount). Answers 0 when the page is to be refreshed
    // now: the notice is taken, so a report stored from here on asks again and
    // is never lost. Otherwise the milliseconds to wait before calling again;
    // the notice stays in flight meanwhile, so reports in that time are folded
    // into the refresh that follows.
    DWORD Due(DWORD now);

    // Whether a notice is in flight (for tests).
    bool Pending() const { return m_pending.load(); }

private:
    std::atomic<bool> m_pending{false};
    const DWORD m_interval;
    bool m_refreshed = false;
    DWORD m_lastRefresh = 0;
};
