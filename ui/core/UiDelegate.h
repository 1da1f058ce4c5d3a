#pragma once
// Callbacks: a delegate wraps a free function or a member function taking one
// pointer and returning bool; a listener list owns clones of its delegates.
#include "ui/core/UiArray.h"

#include <cstring>

namespace SkinUI {

class CDelegateBase {
public:
    CDelegateBase(void* object, void* function) : m_object(object), m_function(function) {}
    CDelegateBase(const CDelegateBase& other) = default;
    virtual ~CDelegateBase() = default;
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* param) = 0;

    bool Equals(const CDelegateBase& other) const
    {
        return m_object == other.m_object && m_function == other.m_function;
    }
    bool operator()(void* param) { return Invoke(param); }

protected:
    void* GetObject() const { return m_object; }
    void* GetFunction() const { return m_function; }

private:
    void* m_object;
    void* m_function;
};

class CDelegateStatic : public CDelegateBase {
public:
    typedef bool (*Fn)(void*);
    explicit CDelegateStatic(Fn fn) : CDelegateBase(nullptr, reinterpret_cast<void*>(fn)) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }
    bool Invoke(void* param) override { return reinterpret_cast<Fn>(GetFunction())(param); }
};

// Member-function delegates keep the member pointer itself; the base's function
// field holds its first word so that equality works on both fields.
template <class O, class T>
class CDelegate : public CDelegateBase {
public:
    typedef bool (T::*Fn)(void*);
    CDelegate(O* object, Fn fn) : CDelegateBase(object, FirstWord(fn)), m_fn(fn) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }
    bool Invoke(void* param) override
    {
        O* object = static_cast<O*>(GetObject());
        return (object->*m_fn)(param);
    }

private:
    static void* FirstWord(Fn fn)
    {
        void* word;
        static_assert(sizeof(Fn) >= sizeof(void*), "member pointer smaller than a pointer");
        memcpy(&word, &fn, sizeof(word));
        return word;
    }
    Fn m_fn;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* object, bool (T::*fn)(void*))
{
    return CDelegate<O, T>(object, fn);
}

inline CDelegateStatic MakeDelegate(bool (*fn)(void*)) { return CDelegateStatic(fn); }

class CUiListenerList {
public:
    CUiListenerList() = default;
    CUiListenerList(const CUiListenerList&) = delete;
    CUiListenerList& operator=(const CUiListenerList&) = delete;
    ~CUiListenerList();

    bool Add(const CDelegateBase& delegate);
    bool Add(bool (*fn)(void*));
    bool Remove(const CDelegateBase& delegate);
    bool Remove(bool (*fn)(void*));
    bool Raise(void* param);
    bool HasAny() const { return m_delegates.GetSize() > 0; }
    int GetSize() const { return m_delegates.GetSize(); }

    CUiListenerList& operator+=(const CDelegateBase& delegate) { Add(delegate); return *this; }
    CUiListenerList& operator+=(bool (*fn)(void*)) { Add(fn); return *this; }
    CUiListenerList& operator-=(const CDelegateBase& delegate) { Remove(delegate); return *this; }
    CUiListenerList& operator-=(bool (*fn)(void*)) { Remove(fn); return *this; }
    bool operator()(void* param) { return Raise(param); }

private:
    CUiPtrArray m_delegates;
};

} // namespace SkinUI
