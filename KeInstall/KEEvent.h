#pragma once
// The worker's doorbell: a mutex and a condition variable that waits with any
// lockable.
#include <condition_variable>
#include <mutex>

class CKEEvent {
public:
    virtual ~CKEEvent() {}

    std::mutex& Mutex() { return m_mutex; }

    // The caller holds Mutex() through lock; ready is evaluated under it.
    template <class Lock, class Predicate>
    void Wait(Lock& lock, Predicate ready)
    {
        m_condition.wait(lock, ready);
    }

    void NotifyOne()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_condition.notify_one();
    }

    void NotifyAll()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_condition.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable_any m_condition;
};
