#include "ItemQueue.h"

namespace SevenZCore {

CItemQueue::CItemQueue(size_t maxBytesInFlight)
    : m_bytes(0), m_maxBytes(maxBytesInFlight), m_closed(false), m_ok(false), m_cancelled(false)
{
}

bool CItemQueue::Push(ItemRecord& record)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    size_t size = record.data.size();
    // A single record larger than the cap still passes once the queue is empty.
    m_changed.wait(lock, [&] { return m_cancelled || m_bytes == 0 || m_bytes + size <= m_maxBytes; });
    if (m_cancelled) return false;
    m_bytes += size;
    m_records.push_back(std::move(record));
    m_changed.notify_all();
    return true;
}

void CItemQueue::Close(bool ok)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
    m_ok = ok;
    m_changed.notify_all();
}

bool CItemQueue::IsCancelled()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cancelled;
}

bool CItemQueue::Pop(ItemRecord* record)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_closed || !m_records.empty(); });
    if (m_records.empty()) return false;
    *record = std::move(m_records.front());
    m_records.pop_front();
    m_bytes -= record->data.size();
    m_changed.notify_all();
    return true;
}

bool CItemQueue::EndedWell()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_closed && m_ok && m_records.empty();
}

void CItemQueue::Cancel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cancelled = true;
    m_changed.notify_all();
}

std::vector<char> CItemQueue::TakeBuffer()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_spare.empty()) return std::vector<char>();
    std::vector<char> buffer = std::move(m_spare.back());
    m_spare.pop_back();
    return buffer;
}

void CItemQueue::ReturnBuffer(std::vector<char>& buffer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    buffer.clear();
    if (m_spare.size() < 128) m_spare.push_back(std::move(buffer));
}

} // namespace SevenZCore
