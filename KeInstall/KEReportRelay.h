#pragma once
// Passes the extraction library's reports on to a job's progress callable
// from a thread of its own, every one of them and in order. The callable logs
// each report and notifies the window; run on the thread that writes the
// payload, those milliseconds a report were spent on the path the extraction
// waits on.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

class CKEReportRelay {
public:
    typedef std::function<void(unsigned long long, unsigned long long)> Target;

    // An empty target makes every report a no-op. When no thread can be had,
    // reports are passed on by the reporting thread itself.
    explicit CKEReportRelay(Target target);
    // Passes on what is still queued, then ends the thread.
    ~CKEReportRelay();
    CKEReportRelay(const CKEReportRelay&) = delete;
    CKEReportRelay& operator=(const CKEReportRelay&) = delete;

    // Any thread. Waits for nothing but the queue's lock.
    void Report(unsigned long long done, unsigned long long total);
    // Returns once every report queued before the call has been passed on.
    void Drain();

private:
    void Run();

    Target m_target;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // a report queued, or the end
    std::condition_variable m_idle;  // the queue emptied and nothing in hand
    std::deque<std::pair<unsigned long long, unsigned long long>> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};
