#pragma once
// Owner of a kernel handle; null and INVALID_HANDLE_VALUE both mean "none".
#include <windows.h>

namespace SevenZCore {

class CWinHandle {
public:
    CWinHandle() : m_handle(INVALID_HANDLE_VALUE) {}
    explicit CWinHandle(HANDLE handle) : m_handle(handle) {}
    ~CWinHandle() { Close(); }
    CWinHandle(const CWinHandle&) = delete;
    CWinHandle& operator=(const CWinHandle&) = delete;

    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    void Reset(HANDLE handle) { Close(); m_handle = handle; }
    bool Close()
    {
        BOOL ok = TRUE;
        if (IsValid()) ok = CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

private:
    HANDLE m_handle;
};

} // namespace SevenZCore
