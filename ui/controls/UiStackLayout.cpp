#include "ui/controls/UiStackLayout.h"

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/core/UiEvents.h"

namespace SkinUI {

UINT CStackLayoutUI::Flags() const
{
    return m_separator.size != 0 && Enabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

namespace {

SIZE MeasureChild(void* context, int index, SIZE available)
{
    return static_cast<CContainerUI*>(context)->ItemAt(index)->MeasureSize(available);
}

UiAlign AlignOf(UINT value)
{
    if (value & (UICHILD_CENTER | UICHILD_VCENTER))
        return UiAlign::Center;
    if (value & (UICHILD_RIGHT | UICHILD_BOTTOM))
        return UiAlign::End;
    return UiAlign::Start;
}

} // namespace

void CStackLayoutUI::Place(RECT rect, bool invalidate)
{
    CControlUI::Place(rect, invalidate);
    const RECT client = ClientRect(m_horizontal);
    const int count = ItemCount();
    if (count == 0) {
        UpdateScrollBars(client, 0, 0);
        return;
    }
    m_boxes.resize(count);
    m_rects.assign(count, RECT{0, 0, 0, 0});
    for (int i = 0; i < count; ++i)
        m_boxes[i] = LayoutBoxOf(*m_items[i]);

    UiStackInput input;
    input.client = client;
    input.childGap = ChildGap();
    input.mainAlign = AlignOf(m_horizontal ? ChildHAlign() : ChildVAlign());
    input.crossAlign = AlignOf(m_horizontal ? ChildVAlign() : ChildHAlign());
    input.scroll = ScrollStateNow();
    auto* self = static_cast<CContainerUI*>(this);
    const SIZE required =
        m_horizontal
            ? LayoutHorizontalStack(input, m_boxes.data(), count, MeasureChild, self, m_rects.data())
            : LayoutVerticalStack(input, m_boxes.data(), count, MeasureChild, self, m_rects.data());
    // Children placed in order; a child's Place may not add or remove siblings,
    // the bound only guards against one that does.
    for (int i = 0; i < count && i < ItemCount(); ++i) {
        if (!m_boxes[i].visible)
            continue;
        if (m_boxes[i].floating)
            PlaceFloatingChild(i);
        else
            m_items[i]->Place(m_rects[i], false);
    }
    UpdateScrollBars(client, required.cx, required.cy);
}

void CStackLayoutUI::ProcessEvent(UiEvent& event)
{
    if (m_separator.HandleEvent(*this, m_fixedSize, event))
        return;
    CContainerUI::ProcessEvent(event);
}

bool CStackLayoutUI::RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    if (!CContainerUI::RenderLayers(dc, paintRect, stopControl))
        return false;
    DrawAfterChildren(dc);
    return true;
}

void CStackLayoutUI::DrawAfterChildren(HDC dc) { m_separator.DrawOverlay(dc, *this); }

namespace {
const UiAttribute<CStackLayoutUI> kStackAttributes[] = {
    {L"sepimm", [](CStackLayoutUI& c, const wchar_t* v) { c.AssignSeparatorImmediate(UiParse::Bool(v)); }},
};
} // namespace

void CStackLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kStackAttributes, *this, name, value))
        CContainerUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
