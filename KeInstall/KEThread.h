#pragma once
// One worker thread with a first-in first-out queue of jobs of one type. The
// thread starts with the object and is joined by its destruction; jobs still
// queued then are dropped, a job that is running is waited for.
#include "KeInstall/KEEvent.h"

#include <atomic>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

template <class Job>
class CKEThread {
public:
    CKEThread() : m_stop(false) { Start(); }

    virtual ~CKEThread() { Stop(); }

    CKEThread(const CKEThread&) = delete;
    CKEThread& operator=(const CKEThread&) = delete;

    // Appends a copy of the job and wakes the worker. Any thread.
    void Post(const Job& job)
    {
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            m_queue.push_back(job);
        }
        m_event.NotifyOne();
    }

protected:
    // The thread body: waits for jobs and performs them one by one, oldest first.
    virtual void Run()
    {
        while (!m_stop.load()) {
            {
                std::unique_lock<std::mutex> lock(m_event.Mutex());
                // Evaluated under the event's mutex before each wait, so a job
                // posted before the wait begins is not missed.
                m_event.Wait(lock, [this] { return m_stop.load() || !IsQueueEmpty(); });
            }
            if (m_stop.load()) break;
            while (!m_stop.load()) {
                Job job;
                {
                    std::lock_guard<std::mutex> lock(m_queueMutex);
                    if (m_queue.empty()) break;
                    job = m_queue.front();
                    m_queue.pop_front();
                }
                HandleJob(job);
            }
        }
    }

    virtual void HandleJob(Job& job) = 0;

    // Ends the thread: wakes it, waits for a running job, drops queued ones.
    // Derived classes call this first in their own destructor, so that the
    // worker never calls HandleJob on an object that is half destroyed.
    void Stop()
    {
        std::lock_guard<std::mutex> lock(m_controlMutex);
        if (!m_thread) return;
        m_stop.exchange(true);
        m_event.NotifyAll();
        if (m_thread->joinable()) m_thread->join();  // from the worker itself: resource_deadlock_would_occur
        m_thread.reset();
    }

    bool IsStopping() const { return m_stop.load(); }

private:
    void Start()
    {
        std::lock_guard<std::mutex> lock(m_controlMutex);
        if (m_thread) return;
        // Returns once the new thread runs. It calls the base Run directly: the
        // object's dynamic type is not complete while its constructors run.
        std::promise<void> running;
        std::future<void> started = running.get_future();
        m_thread = std::make_shared<std::thread>([this, running = std::move(running)]() mutable {
            running.set_value();
            CKEThread::Run();
        });
        started.wait();
    }

    bool IsQueueEmpty()
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        return m_queue.empty();
    }

    std::mutex m_controlMutex;
    std::deque<Job> m_queue;
    std::mutex m_queueMutex;
    CKEEvent m_event;
    std::shared_ptr<std::thread> m_thread;
    std::atomic<bool> m_stop;
};
