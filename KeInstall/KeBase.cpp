#include "KeInstall/KeBase.h"

KeBase::KeBase() : m_mode(0) {}

KeBase::~KeBase()
{
    if (m_onDestroy) m_onDestroy();
    m_onDestroy = nullptr;
    m_eventParent.reset();
}

void KeBase::OnEvent(int, int, int) {}

void KeBase::SetOnDestroy(std::function<void()> callback) { m_onDestroy = std::move(callback); }

void KeBase::SetEventParent(KeBase* parent)
{
    if (parent == nullptr) m_eventParent.reset();
    else m_eventParent = std::shared_ptr<KeBase>(parent, [](KeBase*) {});
}
