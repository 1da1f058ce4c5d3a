#pragma once
// Owner of one COM interface pointer: released when it goes out of scope.
#include <unknwn.h>

template <class T>
class CKEComPtr {
public:
    CKEComPtr() : m_ptr(nullptr) {}
    ~CKEComPtr() { Release(); }
    CKEComPtr(const CKEComPtr&) = delete;
    CKEComPtr& operator=(const CKEComPtr&) = delete;

    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    // For out parameters; whatever was held is released first.
    T** Receive() { Release(); return &m_ptr; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    void Release()
    {
        if (m_ptr != nullptr) m_ptr->Release();
        m_ptr = nullptr;
    }

private:
    T* m_ptr;
};
