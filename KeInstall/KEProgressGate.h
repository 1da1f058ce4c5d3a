#pragma once
// Paces the progress page's refreshes. The worker reports more often than
// anyone can see, and each refresh pushes the whole layered window to the
// screen, which costs tens of milliseconds under Wine; letting every report
// through kept the UI thread busy on a core the extraction needed. At most one
// notice is in flight, and the page is refreshed at most once per interval:
// the given minimum, stretched so that refreshing takes no more than about an
// eighth of the UI thread's time. The worker never waits: asking is one
// atomic exchange.
#include <windows.h>

#include <atomic>

class CKEProgressGate {
public:
    explicit CKEProgressGate(DWORD intervalMs) : m_interval(intervalMs) {}

    // How long a refresh took, painting included (UI thread). Averaged with
    // the ones before: a single slow paint should not slow the page for long.
    void NoteRefreshCost(DWORD ms) { m_cost = m_costKnown ? (m_cost + ms) / 2 : ms; m_costKnown = true; }
    // The spacing of refreshes now in force.
    DWORD Interval() const;

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
    DWORD m_cost = 0;
    bool m_costKnown = false;
    bool m_refreshed = false;
    DWORD m_lastRefresh = 0;
};
