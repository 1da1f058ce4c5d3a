#include "TestContainer.h"

#include "ui/controls/UiClip.h"
#include "ui/controls/UiFloatPlacement.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;

namespace ControlTests {

CTestContainer::~CTestContainer()
{
    for (CControlUI* c : m_items)
        delete c;
}

void* CTestContainer::InterfaceFor(const wchar_t* name)
{
    if (_wcsicmp(name, L"IContainer") == 0)
        return static_cast<IContainerUI*>(this);
    if (_wcsicmp(name, L"Container") == 0)
        return this;
    return CControlUI::InterfaceFor(name);
}

void CTestContainer::Attach(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    for (CControlUI* c : m_items)
        c->Attach(manager, this, init);
    CControlUI::Attach(manager, parent, init);
}

void CTestContainer::Place(RECT rect, bool invalidate)
{
    CControlUI::Place(rect, invalidate);
    for (CControlUI* c : m_items) {
        if (!c->Shown())
            continue;
        if (c->Floating())
            c->Place(PlaceFloatingRect(m_itemRect, FloatInputOf(*c)), false);
        else
            c->Place(m_itemRect, false);
    }
}

CControlUI* CTestContainer::Search(UiFindProc visitor, void* data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) && !Shown())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !Enabled())
        return nullptr;
    if ((flags & UIFIND_HITTEST) && !PtInRect(&m_itemRect, *static_cast<POINT*>(data)))
        return nullptr;
    const bool selfOk = !(flags & UIFIND_HITTEST) || MouseEnabled();
    if ((flags & UIFIND_ME_FIRST) && selfOk) {
        if (CControlUI* found = visitor(this, data))
            return found;
    }
    const int n = ItemCount();
    for (int i = 0; i < n; ++i) {
        CControlUI* child = m_items[(flags & UIFIND_TOP_FIRST) ? n - 1 - i : i];
        if (CControlUI* found = child->Search(visitor, data, flags))
            return found;
    }
    if (!(flags & UIFIND_ME_FIRST) && selfOk)
        return visitor(this, data);
    return nullptr;
}

bool CTestContainer::RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    CUiClipScope clip(dc, m_paintRect);
    CControlUI::RenderLayers(dc, paintRect, stopControl);
    for (CControlUI* c : m_items) {
        if (c == stopControl)
            return false;
        if (c->Shown() && !c->Render(dc, paintRect, stopControl))
            return false;
    }
    return true;
}

CControlUI* CTestContainer::ItemAt(int index) const
{
    return index >= 0 && index < ItemCount() ? m_items[index] : nullptr;
}

int CTestContainer::IndexOfItem(CControlUI* control) const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (m_items[i] == control)
            return i;
    return -1;
}

bool CTestContainer::MoveItemTo(CControlUI* control, int index)
{
    const int at = IndexOfItem(control);
    if (at < 0 || index < 0 || index >= ItemCount())
        return false;
    m_items.erase(m_items.begin() + at);
    m_items.insert(m_items.begin() + index, control);
    RequestLayout();
    return true;
}

bool CTestContainer::AddItem(CControlUI* control) { return InsertItem(control, ItemCount()); }

bool CTestContainer::InsertItem(CControlUI* control, int index)
{
    if (!control || index < 0 || index > ItemCount())
        return false;
    if (m_manager)
        m_manager->BindTree(control, this);
    else
        control->Attach(nullptr, this, false);
    m_items.insert(m_items.begin() + index, control);
    RequestLayout();
    return true;
}

bool CTestContainer::RemoveItem(CControlUI* control)
{
    const int at = IndexOfItem(control);
    if (at < 0)
        return false;
    m_items.erase(m_items.begin() + at);
    RequestLayout();
    if (m_manager)
        m_manager->DestroyLater(control);
    else
        delete control;
    return true;
}

bool CTestContainer::RemoveItemAt(int index) { return RemoveItem(ItemAt(index)); }

void CTestContainer::RemoveAllItems()
{
    while (!m_items.empty())
        RemoveItem(m_items.back());
}

} // namespace ControlTests
