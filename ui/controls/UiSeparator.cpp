#include "ui/controls/UiSeparator.h"

#include "ui/controls/UiControl.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/core/UiEvents.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiColor.h"

namespace SkinUI {

int CUiSeparator::Scaled(const CControlUI& layout) const
{
    CPaintManagerUI* manager = layout.Owner();
    return manager ? manager->Scale(size) : size;
}

namespace {
RECT Strip(RECT rc, int s, bool vertical)
{
    if (vertical) {
        if (s > 0) rc.top = rc.bottom - s;
        else rc.bottom = rc.top - s;
    } else {
        if (s > 0) rc.left = rc.right - s;
        else rc.right = rc.left - s;
    }
    return rc;
}
} // namespace

RECT CUiSeparator::StripRect(const CControlUI& layout) const
{
    if (size == 0)
        return RECT{0, 0, 0, 0};
    return Strip(Dragging() ? m_dragRect : const_cast<CControlUI&>(layout).BoundsRef(),
                 Scaled(layout), m_vertical);
}

bool CUiSeparator::HandleEvent(CControlUI& layout, SIZE& fixedSize, const UiEvent& event)
{
    if (size == 0)
        return false;
    const int s = Scaled(layout);
    const RECT strip = StripRect(layout);
    CPaintManagerUI* manager = layout.Owner();
    switch (event.kind) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
        if (!layout.Enabled() || !PtInRect(&strip, event.mouse))
            return false;
        m_state |= kDragging;
        m_grab = event.mouse;
        m_dragRect = layout.BoundsRef();
        m_startLength = m_vertical ? m_dragRect.bottom - m_dragRect.top
                                   : m_dragRect.right - m_dragRect.left;
        if (!immediate && manager)
            manager->AddPostPaint(&layout);
        return true;
    }
    case UIEVENT_MOUSEMOVE: {
        if (!Dragging())
            return false;
        const int grab = m_vertical ? m_grab.y : m_grab.x;
        const int now = m_vertical ? event.mouse.y : event.mouse.x;
        const int length = SeparatorDragLength(
            size, m_startLength, grab, now,
            m_vertical ? layout.MinimumHeight() : layout.MinimumWidth(),
            m_vertical ? layout.MaximumHeight() : layout.MaximumWidth());
        const int current = m_vertical ? m_dragRect.bottom - m_dragRect.top
                                       : m_dragRect.right - m_dragRect.left;
        if (length == current)
            return true;
        const RECT oldStrip = Strip(m_dragRect, s, m_vertical);
        RECT rc = m_dragRect;
        if (m_vertical) {
            if (size > 0) rc.bottom = rc.top + length;
            else rc.top = rc.bottom - length;
        } else {
            if (size > 0) rc.right = rc.left + length;
            else rc.left = rc.right - length;
        }
        m_dragRect = rc;
        // The fixed size is what the parent reads at its next layout pass.
        const int design = manager && manager->GetScale() > 0
                               ? static_cast<int>(static_cast<long long>(length) * 100 /
                                                  manager->GetScale())
                               : length;
        if (m_vertical) fixedSize.cy = design;
        else fixedSize.cx = design;
        if (immediate) {
            layout.BoundsRef() = m_dragRect;
            layout.RequestParentLayout();
        } else if (manager) {
            RECT both;
            const RECT newStrip = Strip(m_dragRect, s, m_vertical);
            UnionRect(&both, &oldStrip, &newStrip);
            manager->Invalidate(both);
        }
        return true;
    }
    case UIEVENT_BUTTONUP: {
        if (!Dragging())
            return false;
        m_state &= ~kDragging;
        layout.BoundsRef() = m_dragRect;
        if (!immediate && manager)
            manager->RemovePostPaint(&layout);
        layout.RequestParentLayout();
        return true;
    }
    case UIEVENT_SETCURSOR: {
        if (!layout.Enabled() || !PtInRect(&strip, event.mouse))
            return false;
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(m_vertical ? 32645 : 32644)));
        return true;
    }
    default:
        return false;
    }
}

void CUiSeparator::DrawOverlay(HDC dc, const CControlUI& layout) const
{
    if (!Dragging() || immediate || size == 0)
        return;
    FillColor(dc, StripRect(layout), 0xAA000000);
}

} // namespace SkinUI
