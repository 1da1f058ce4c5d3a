#include "KeInstall/KeBase.h"

KeBase::KeBase() : m_mode(0) {}

KeBase::~KeBase()
{
    // Taken out first: a callback that sets another callback must not run it, or
    // have its own closure replaced while it runs.
    std::function<void()> callback = std::move(m_onDestroy);
    m_onDestroy = nullptr;
    if (callback) callback();
    m_eventParent.reset();
}

void KeBase::OnEvent(int, int, int) {}

void KeBase::SetOnDestroy(std::function<void()> callback) { m_onDestroy = std::move(callback); }

bool KeBase::ForwardToParent(int code, int wparam, int lparam)
{
    if (!m_eventParent) return false;
    m_eventParent->OnEvent(code, wparam, lparam);
    return true;
}

void KePageEvents::OnEvent(int code, int wparam, int lparam)
{
    if (code == EVENT_POST_TO_UI) ForwardToParent(code, wparam, lparam);
}

void KeBase::SetEventParent(KeBase* parent)
{
    // Its own parent would pass every forwarded event to itself for ever.
    if (parent == nullptr || parent == this) m_eventParent.reset();
    else m_eventParent = std::shared_ptr<KeBase>(parent, [](KeBase*) {});
}
