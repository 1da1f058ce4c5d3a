#pragma once
// Owners for the kernel and registry handles the support library opens.
#include <windows.h>

// A kernel handle; both null and INVALID_HANDLE_VALUE mean "none".
class CKEScopedHandle {
public:
    CKEScopedHandle() : m_handle(nullptr) {}
    explicit CKEScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~CKEScopedHandle() { Close(); }
    CKEScopedHandle(const CKEScopedHandle&) = delete;
    CKEScopedHandle& operator=(const CKEScopedHandle&) = delete;

    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    void Reset(HANDLE handle) { Close(); m_handle = handle; }
    void Close()
    {
        if (IsValid()) CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle;
};
