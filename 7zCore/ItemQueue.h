#pragma once
// The hand-over between the thread that decodes the archive and the thread
// that writes files: items and their data in order, with a cap on the bytes
// in flight so memory stays flat while both sides work at once.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace SevenZCore {

struct ItemTimes {
    FILETIME created, accessed, written;
    bool hasCreated, hasAccessed, hasWritten;
};

struct ItemRecord {
    enum Kind { kFolder, kFileStart, kFileData, kFileEnd, kLink };
    Kind kind;
    std::wstring relative;    // kFolder, kFileStart, kLink
    std::wstring linkTarget;  // kLink
    ItemTimes times;          // kFolder, kFileStart
    bool readOnly;            // kFileStart
    std::vector<char> data;   // kFileData
};

class CItemQueue {
public:
    explicit CItemQueue(size_t maxBytesInFlight);

    // Decoding side. Push blocks while the data in flight exceeds the cap and
    // returns false once the writing side has given up.
    bool Push(ItemRecord& record);
    // Ends the sequence; ok tells whether the archive was read to its end.
    void Close(bool ok);
    bool IsCancelled();

    // Writing side. False when the sequence has ended and nothing is left.
    bool Pop(ItemRecord* record);
    bool EndedWell();
    void Cancel();

    // Data buffers go back and forth instead of being allocated for every block.
    std::vector<char> TakeBuffer();
    void ReturnBuffer(std::vector<char>& buffer);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<ItemRecord> m_records;
    std::vector<std::vector<char>> m_spare;
    size_t m_bytes;
    size_t m_maxBytes;
    bool m_closed, m_ok, m_cancelled;
};

} // namespace SevenZCore
