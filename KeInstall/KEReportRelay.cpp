#include "KeInstall/KEReportRelay.h"

#include <system_error>

CKEReportRelay::CKEReportRelay(Target target) : m_target(std::move(target))
{
    if (!m_target) return;
    try {
        m_thread = std::thread(&CKEReportRelay::Run, this);
    } catch (const std::system_error&) {
        // Slower, but every report still arrives.
    }
}

CKEReportRelay::~CKEReportRelay()
{
    if (!m_thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void CKEReportRelay::Report(unsigned long long done, unsigned long long total)
{
    if (!m_target) return;
    if (!m_thread.joinable()) {
        m_target(done, total);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.emplace_back(done, total);
    }
    m_wake.notify_one();
}

void CKEReportRelay::Drain()
{
    if (!m_thread.joinable()) return;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void CKEReportRelay::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        // The end waits for the queue: no report is dropped.
        if (m_queue.empty()) return;
        const std::pair<unsigned long long, unsigned long long> report = m_queue.front();
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        m_target(report.first, report.second);
        lock.lock();
        m_busy = false;
        if (m_queue.empty()) m_idle.notify_all();
    }
}
