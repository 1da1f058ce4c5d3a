// The container's children: adding, removing and who deletes them; passing the
// manager, visibility and enabling on; the attribute table; plain placement.
#include "ui/controls/UiContainer.h"

#include <algorithm>
#include <cwchar>

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiFloatPlacement.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/core/UiPaintManager.h"

namespace SkinUI {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI()
{
    // Children die with the container, now: nothing of theirs can outlive it.
    m_delayedDestroy = false;
    RemoveAllItems();
    ReleaseBar(m_vbar);
    ReleaseBar(m_hbar);
    if (m_externalVBar && m_externalVBar->OwnerContainer() == this)
        m_externalVBar->AssignOwner(nullptr);
}

const wchar_t* CContainerUI::TypeName() const { return L"ContainerUI"; }

void* CContainerUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"IContainer") == 0)
        return static_cast<IContainerUI*>(this);
    if (name && _wcsicmp(name, L"Container") == 0)
        return static_cast<CContainerUI*>(this);
    return CControlUI::InterfaceFor(name);
}

// ---- children

CControlUI* CContainerUI::ItemAt(int index) const
{
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return m_items[index];
}

int CContainerUI::IndexOfItem(CControlUI* control) const
{
    if (!control)
        return -1;
    auto it = std::find(m_items.begin(), m_items.end(), control);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::AddItem(CControlUI* control)
{
    // Not through the virtual: a layout that adds rules to both must not run its
    // insertion rules for an append as well.
    return CContainerUI::InsertItem(control, ItemCount());
}

bool CContainerUI::InsertItem(CControlUI* control, int index)
{
    if (!control || index < 0 || index > ItemCount())
        return false;
    if (m_manager)
        m_manager->BindTree(control, this);
    if (Shown())
        RequestLayout();
    else
        control->ShowByParent(false);
    m_items.insert(m_items.begin() + index, control);
    return true;
}

bool CContainerUI::MoveItemTo(CControlUI* control, int index)
{
    const int from = IndexOfItem(control);
    if (from < 0)
        return false;
    m_items.erase(m_items.begin() + from);
    RequestLayout();
    index = std::max(0, std::min(index, ItemCount()));
    m_items.insert(m_items.begin() + index, control);
    return true;
}

bool CContainerUI::RemoveItem(CControlUI* control)
{
    const int index = IndexOfItem(control);
    if (index < 0)
        return false;
    RequestLayout();
    // Out of the array first: deleting may run code that walks the children.
    m_items.erase(m_items.begin() + index);
    Dispose(control);
    return true;
}

bool CContainerUI::RemoveItemAt(int index)
{
    CControlUI* control = ItemAt(index);
    return control ? RemoveItem(control) : false;
}

void CContainerUI::RemoveAllItems()
{
    std::vector<CControlUI*> items;
    items.swap(m_items);
    for (CControlUI* control : items)
        Dispose(control);
    RequestLayout();
}

void CContainerUI::Dispose(CControlUI* control)
{
    if (!m_autoDestroy || !control)
        return;
    // A child may be the control whose handler is running right now (a click that
    // empties its own list), or the manager's hover or capture: the manager
    // deletes it once the current message is done.
    if (m_delayedDestroy && m_manager)
        m_manager->DestroyLater(control);
    else
        delete control;
}

void CContainerUI::Attach(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    for (CControlUI* child : m_items)
        child->Attach(manager, this, init);
    if (m_vbar)
        m_vbar->Attach(manager, this, init);
    if (m_hbar)
        m_hbar->Attach(manager, this, init);
    CControlUI::Attach(manager, parent, init);
}

// ---- visibility, enabling, moving

void CContainerUI::Show(bool visible)
{
    if (m_visible == visible)
        return;
    CControlUI::Show(visible);
    for (CControlUI* child : m_items)
        child->ShowByParent(Shown());
}

void CContainerUI::ShowByParent(bool visible)
{
    CControlUI::ShowByParent(visible);
    for (CControlUI* child : m_items)
        child->ShowByParent(Shown());
}

void CContainerUI::Enable(bool enable)
{
    if (m_enabled == enable)
        return;
    CControlUI::Enable(enable);
    for (CControlUI* child : m_items)
        child->Enable(enable);
    Repaint();
}

void CContainerUI::EnableMouse(bool enable)
{
    if (m_vbar)
        m_vbar->EnableMouse(enable);
    if (m_hbar)
        m_hbar->EnableMouse(enable);
    CControlUI::EnableMouse(enable);
}

void CContainerUI::Shift(int dx, int dy)
{
    CControlUI::Shift(dx, dy);
    if (BarVisible(m_vbar.get()))
        m_vbar->Shift(dx, dy);
    if (BarVisible(m_hbar.get()))
        m_hbar->Shift(dx, dy);
    for (CControlUI* child : m_items) {
        if (child->Shown())
            child->Shift(dx, dy);
    }
}

// ---- inset, spacing, alignment, deletion policy

RECT CContainerUI::Inset() const { return ScaleRect(m_inset); }
void CContainerUI::AssignInset(RECT inset)
{
    m_inset = inset;
    RequestLayout();
}
int CContainerUI::ChildGap() const { return ScaleLength(m_childPadding); }
void CContainerUI::AssignChildGap(int gap)
{
    m_childPadding = gap;
    RequestLayout();
}
UINT CContainerUI::ChildHAlign() const { return m_childAlign; }
void CContainerUI::AssignChildHAlign(UINT align)
{
    m_childAlign = align;
    RequestLayout();
}
UINT CContainerUI::ChildVAlign() const { return m_childVAlign; }
void CContainerUI::AssignChildVAlign(UINT align)
{
    m_childVAlign = align;
    RequestLayout();
}
bool CContainerUI::DeletesItems() const { return m_autoDestroy; }
void CContainerUI::AssignDeletesItems(bool deletes) { m_autoDestroy = deletes; }
bool CContainerUI::DefersDeletion() const { return m_delayedDestroy; }
void CContainerUI::AssignDefersDeletion(bool defers) { m_delayedDestroy = defers; }
bool CContainerUI::HitsChildren() const { return m_mouseChildEnabled; }
void CContainerUI::AssignHitsChildren(bool hits) { m_mouseChildEnabled = hits; }

int CContainerUI::NextSelectable(int index, bool forward) const
{
    const int count = ItemCount();
    if (count == 0)
        return -1;
    index = std::max(0, std::min(index, count - 1));
    auto selectable = [](CControlUI* c) {
        return c->InterfaceFor(L"ListItem") != nullptr && c->Shown() && c->Enabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i)
            if (selectable(m_items[i]))
                return i;
        return -1;
    }
    for (int i = index; i >= 0; --i)
        if (selectable(m_items[i]))
            return i;
    for (int i = 0; i < count; ++i)
        if (selectable(m_items[i]))
            return i;
    return -1;
}

// ---- placement

bool CContainerUI::BarVisible(const CScrollBarUI* bar) const
{
    return bar && bar->OwnVisible();
}

RECT CContainerUI::ClientRect(bool countExternal) const
{
    const RECT inset = Inset();
    RECT rc = m_itemRect;
    rc.left += inset.left;
    rc.top += inset.top;
    rc.right -= inset.right;
    rc.bottom -= inset.bottom;
    const CScrollBarUI* vbar = VerticalBar();
    if (BarVisible(vbar) && (countExternal || !m_externalVBar))
        rc.right -= vbar->PresetWidth();
    if (BarVisible(m_hbar.get()))
        rc.bottom -= m_hbar->PresetHeight();
    return rc;
}

RECT CContainerUI::Bounds() const
{
    const RECT inset = Inset();
    RECT rc = m_itemRect;
    rc.left += inset.left;
    rc.top += inset.top;
    rc.right -= inset.right;
    rc.bottom -= inset.bottom;
    const CScrollBarUI* vbar = VerticalBar();
    if (BarVisible(vbar)) {
        const LONG pos = static_cast<LONG>(vbar->ScrollPosition());
        rc.top -= pos;
        rc.bottom -= pos;
        rc.bottom += static_cast<LONG>(vbar->ScrollRange());
        rc.right -= vbar->PresetWidth();
    }
    if (BarVisible(m_hbar.get())) {
        const LONG pos = static_cast<LONG>(m_hbar->ScrollPosition());
        rc.left -= pos;
        rc.right -= pos;
        rc.right += static_cast<LONG>(m_hbar->ScrollRange());
        rc.bottom -= m_hbar->PresetHeight();
    }
    return rc;
}

bool CContainerUI::PlaceAgain()
{
    // Showing one bar can make the other one needed; after a few rounds the
    // content has had every chance to settle, and we stop instead of looping.
    if (m_placeDepth >= 4)
        return false;
    ++m_placeDepth;
    Place(m_itemRect, true);
    --m_placeDepth;
    return true;
}

UiBoxChild LayoutBoxOf(const CControlUI& c)
{
    UiBoxChild box;
    box.visible = c.Shown();
    box.floating = c.Floating();
    box.padding = c.Padding();
    box.fixed = SIZE{c.PresetWidth(), c.PresetHeight()};
    box.minSize = SIZE{c.MinimumWidth(), c.MinimumHeight()};
    box.maxSize = SIZE{c.MaximumWidth(), c.MaximumHeight()};
    return box;
}

void CContainerUI::Place(RECT rect, bool invalidate)
{
    CControlUI::Place(rect, invalidate);
    if (m_items.empty())
        return;
    const RECT content = Bounds();
    for (int i = 0; i < ItemCount(); ++i) {
        CControlUI* child = m_items[i];
        if (!child->Shown())
            continue;
        if (child->Floating()) {
            PlaceFloatingChild(i);
            continue;
        }
        child->Place(LayoutFilledChild(content, LayoutBoxOf(*child)), false);
    }
}

void CContainerUI::PlaceFloatingChild(int index)
{
    CControlUI* child = ItemAt(index);
    if (!child || !child->Shown() || !child->Floating())
        return;
    child->Place(PlaceFloatingRect(m_itemRect, FloatInputOf(*child)), false);
}

// ---- attributes

struct ContainerAttributes {
    static void Inset(CContainerUI& c, const wchar_t* v) { c.AssignInset(UiParse::Rect(v)); }
    static void MouseChild(CContainerUI& c, const wchar_t* v) { c.AssignHitsChildren(UiParse::Bool(v)); }
    static void VBar(CContainerUI& c, const wchar_t* v)
    {
        c.ConfigureScrollBars(UiParse::Bool(v), c.m_hbar != nullptr);
    }
    static void HBar(CContainerUI& c, const wchar_t* v)
    {
        c.ConfigureScrollBars(c.m_vbar != nullptr || c.m_externalVBar != nullptr, UiParse::Bool(v));
    }
    static void VBarStyle(CContainerUI& c, const wchar_t* v)
    {
        c.m_vbarStyle = v;
        c.ConfigureScrollBars(true, c.m_hbar != nullptr);
        c.ApplyBarStyle(c.VerticalBar(), v);
    }
    static void HBarStyle(CContainerUI& c, const wchar_t* v)
    {
        c.m_hbarStyle = v;
        c.ConfigureScrollBars(c.m_vbar != nullptr || c.m_externalVBar != nullptr, true);
        c.ApplyBarStyle(c.HorizontalBar(), v);
    }
    static void ChildPadding(CContainerUI& c, const wchar_t* v) { c.AssignChildGap(UiParse::Int(v)); }
    static void ScrollStep(CContainerUI& c, const wchar_t* v) { c.AssignScrollStep(UiParse::Int(v)); }
};

namespace {
const UiAttribute<CContainerUI> kContainerAttributes[] = {
    {L"inset", ContainerAttributes::Inset},
    {L"mousechild", ContainerAttributes::MouseChild},
    {L"vscrollbar", ContainerAttributes::VBar},
    {L"vscrollbarstyle", ContainerAttributes::VBarStyle},
    {L"hscrollbar", ContainerAttributes::HBar},
    {L"hscrollbarstyle", ContainerAttributes::HBarStyle},
    {L"childpadding", ContainerAttributes::ChildPadding},
    {L"scrollstepsize", ContainerAttributes::ScrollStep},
};

// "childalign" and "childvalign" compare name and value exactly; a value they do
// not know leaves the alignment as it was.
struct AlignWord {
    const wchar_t* word;
    UINT value;
};
const AlignWord kHAlignWords[] = {{L"left", UICHILD_LEFT}, {L"center", UICHILD_CENTER},
                                  {L"right", UICHILD_RIGHT}};
const AlignWord kVAlignWords[] = {{L"top", UICHILD_TOP}, {L"vcenter", UICHILD_VCENTER},
                                  {L"bottom", UICHILD_BOTTOM}};

template <size_t N>
bool LookUpAlign(const AlignWord (&words)[N], const wchar_t* value, UINT* out)
{
    for (const AlignWord& w : words) {
        if (wcscmp(w.word, value) == 0) {
            *out = w.value;
            return true;
        }
    }
    return false;
}
} // namespace

void CContainerUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name)
        return;
    if (!value)
        value = L"";
    UINT align = 0;
    if (wcscmp(name, L"childalign") == 0) {
        if (LookUpAlign(kHAlignWords, value, &align))
            AssignChildHAlign(align);
        return;
    }
    if (wcscmp(name, L"childvalign") == 0) {
        if (LookUpAlign(kVAlignWords, value, &align))
            AssignChildVAlign(align);
        return;
    }
    if (!ApplyFromTable(kContainerAttributes, *this, name, value))
        CControlUI::ApplyAttribute(name, value);
}

void CContainerUI::ApplyBarStyle(CScrollBarUI* bar, const wchar_t* style)
{
    if (!bar || !style || !*style)
        return;
    const wchar_t* list = m_manager ? m_manager->GetStyle(style) : nullptr;
    bar->ApplyAttributes(list ? list : style);
}

} // namespace SkinUI
