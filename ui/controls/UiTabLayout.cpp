#include "ui/controls/UiTabLayout.h"

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/core/UiEvents.h"
#include "ui/core/UiPaintManager.h"

namespace SkinUI {

CTabLayoutUI::CTabLayoutUI() = default;

const wchar_t* CTabLayoutUI::TypeName() const { return L"TabLayoutUI"; }

void* CTabLayoutUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"TabLayout") == 0)
        return this;
    return CContainerUI::InterfaceFor(name);
}

bool CTabLayoutUI::AddItem(CControlUI* control)
{
    if (!CContainerUI::AddItem(control))
        return false;
    if (m_currentSel == -1 && control->OwnVisible())
        m_currentSel = IndexOfItem(control);
    else
        control->Show(false);
    return true;
}

bool CTabLayoutUI::InsertItem(CControlUI* control, int index)
{
    if (!CContainerUI::InsertItem(control, index))
        return false;
    if (m_currentSel == -1 && control->OwnVisible()) {
        m_currentSel = index;
        return true;
    }
    // A page that is not the selection is hidden wherever it goes in, so that one
    // page is visible at a time; one inserted before the selection moves it.
    control->Show(false);
    if (m_currentSel != -1 && index <= m_currentSel)
        ++m_currentSel;
    return true;
}

bool CTabLayoutUI::RemoveItem(CControlUI* control)
{
    const int index = IndexOfItem(control);
    if (!CContainerUI::RemoveItem(control))
        return false;
    if (index == m_currentSel) {
        if (ItemCount() == 0) {
            m_currentSel = -1;
        } else {
            m_currentSel = 0;
            m_items[0]->Show(true);
            RequestParentLayout();
        }
    } else if (index < m_currentSel) {
        --m_currentSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAllItems()
{
    m_currentSel = -1;
    CContainerUI::RemoveAllItems();
    RequestParentLayout();
}

bool CTabLayoutUI::ShowPage(CControlUI* control)
{
    const int index = IndexOfItem(control);
    return index >= 0 && ShowPage(index);
}

bool CTabLayoutUI::ShowPage(int index)
{
    if (index < 0 || index >= ItemCount())
        return false;
    if (index == m_currentSel)
        return true;
    const int old = m_currentSel;
    m_currentSel = index;
    for (int i = 0; i < ItemCount(); ++i) {
        CControlUI* page = m_items[i];
        if (i == index) {
            page->Show(true);
            page->TakeFocus();
        } else {
            page->Show(false);
        }
    }
    Place(m_itemRect, true);
    RequestParentLayout();
    if (m_manager) {
        CControlUI* focus = m_manager->GetFocus();
        m_manager->SetFocusQuietly(focus ? focus : m_items[index]);
        m_manager->SendNotify(this, UiNotify::TabSelect, static_cast<WPARAM>(index),
                              static_cast<LPARAM>(old));
    }
    return true;
}

void CTabLayoutUI::Place(RECT rect, bool invalidate)
{
    CControlUI::Place(rect, invalidate);
    const RECT inset = Inset();
    RECT client = m_itemRect;
    client.left += inset.left;
    client.top += inset.top;
    client.right -= inset.right;
    client.bottom -= inset.bottom;
    for (int i = 0; i < ItemCount(); ++i) {
        CControlUI* child = m_items[i];
        if (!child->Shown())
            continue;
        if (child->Floating()) {
            PlaceFloatingChild(i);
            continue;
        }
        if (i != m_currentSel)
            continue;
        const UiBoxChild box = LayoutBoxOf(*child);
        const SIZE estimate = child->MeasureSize(TabPageAvailable(client, box));
        child->Place(LayoutTabPage(client, box, estimate), true);
    }
}

namespace {
const UiAttribute<CTabLayoutUI> kTabAttributes[] = {
    {L"selectedid", [](CTabLayoutUI& c, const wchar_t* v) { c.ShowPage(UiParse::Int(v)); }},
};
} // namespace

void CTabLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kTabAttributes, *this, name, value))
        CContainerUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
