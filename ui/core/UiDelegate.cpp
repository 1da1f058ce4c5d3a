#include "ui/core/UiDelegate.h"

namespace SkinUI {

CUiListenerList::~CUiListenerList()
{
    for (int i = 0; i < m_delegates.GetSize(); ++i)
        delete static_cast<CDelegateBase*>(m_delegates[i]);
}

bool CUiListenerList::Add(const CDelegateBase& delegate)
{
    for (int i = 0; i < m_delegates.GetSize(); ++i)
        if (static_cast<CDelegateBase*>(m_delegates[i])->Equals(delegate)) return true;
    CDelegateBase* copy = delegate.Copy();
    if (!m_delegates.Add(copy)) {
        delete copy;
        return false;
    }
    return true;
}

bool CUiListenerList::Add(bool (*fn)(void*)) { return Add(CDelegateStatic(fn)); }

bool CUiListenerList::Remove(const CDelegateBase& delegate)
{
    for (int i = 0; i < m_delegates.GetSize(); ++i) {
        CDelegateBase* item = static_cast<CDelegateBase*>(m_delegates[i]);
        if (item->Equals(delegate)) {
            delete item;
            m_delegates.Remove(i);
            return true;
        }
    }
    return false;
}

bool CUiListenerList::Remove(bool (*fn)(void*)) { return Remove(CDelegateStatic(fn)); }

bool CUiListenerList::Raise(void* param)
{
    for (int i = 0; i < m_delegates.GetSize(); ++i)
        if (!static_cast<CDelegateBase*>(m_delegates[i])->Invoke(param)) return false;
    return true;
}

} // namespace SkinUI
