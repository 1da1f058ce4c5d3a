// The container's search (every control-finding walk goes through it, hit tests
// included) and its child-first painting with clipping.
#include <optional>

#include "ui/controls/UiClip.h"
#include "ui/controls/UiContainer.h"
#include "ui/controls/UiScrollBar.h"

namespace SkinUI {

CControlUI* CContainerUI::Search(UiFindProc visitor, void* data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) && !Shown())
        return nullptr;
    if ((flags & UIFIND_ENABLED) && !Enabled())
        return nullptr;
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    const POINT* pt = hitTest ? static_cast<const POINT*>(data) : nullptr;
    if (hitTest && (!pt || !PtInRect(&m_itemRect, *pt)))
        return nullptr;
    if ((flags & UIFIND_UPDATETEST) && visitor && visitor(this, data))
        return nullptr;

    const bool mayVisitSelf = !hitTest || m_mouseEnabled;
    if ((flags & UIFIND_ME_FIRST) && mayVisitSelf && visitor) {
        if (CControlUI* found = visitor(this, data))
            return found;
    }
    if (mayVisitSelf) {
        if (CScrollBarUI* v = VerticalBar()) {
            if (CControlUI* found = v->Search(visitor, data, flags))
                return found;
        }
        if (m_hbar) {
            if (CControlUI* found = m_hbar->Search(visitor, data, flags))
                return found;
        }
    }
    if (!hitTest || m_mouseChildEnabled) {
        const RECT client = ClientRect();
        const int count = ItemCount();
        const bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
        for (int k = 0; k < count; ++k) {
            // Index read on each step: a visitor may not add or remove children,
            // but the bound keeps a misbehaving one from reading past the end.
            const int i = topFirst ? count - 1 - k : k;
            if (i >= ItemCount())
                break;
            CControlUI* found = m_items[i]->Search(visitor, data, flags);
            if (!found)
                continue;
            if (hitTest && !found->Floating() && !PtInRect(&client, *pt))
                continue;
            return found;
        }
    }
    if (!(flags & UIFIND_ME_FIRST) && mayVisitSelf && visitor)
        return visitor(this, data);
    return nullptr;
}

bool CContainerUI::RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    RECT outer;
    if (!IntersectRect(&outer, &paintRect, &m_itemRect))
        return true;
    CUiClipScope outerClip(dc, outer);
    CControlUI::RenderLayers(dc, paintRect, stopControl);

    if (!m_items.empty()) {
        const RECT client = ClientRect();
        RECT inner;
        const bool clientPainted = IntersectRect(&inner, &paintRect, &client) != FALSE;
        // The client clip is opened for runs of ordinary children and closed for a
        // floating child, which may reach over the inset and the bars.
        std::optional<CUiClipScope> innerClip;
        for (CControlUI* child : m_items) {
            if (child == stopControl)
                return false;
            if (!child->Shown())
                continue;
            RECT scratch;
            const RECT& rc = child->BoundsRef();
            if (!IntersectRect(&scratch, &paintRect, &rc))
                continue;
            if (child->Floating()) {
                if (!IntersectRect(&scratch, &m_itemRect, &rc))
                    continue;
                innerClip.reset();
            } else {
                if (!clientPainted || !IntersectRect(&scratch, &client, &rc))
                    continue;
                if (!innerClip)
                    innerClip.emplace(dc, inner);
            }
            if (!child->Render(dc, paintRect, stopControl))
                return false;
        }
    }

    CScrollBarUI* bars[2] = {VerticalBar(), m_hbar.get()};
    for (CScrollBarUI* bar : bars) {
        if (!bar)
            continue;
        if (bar == stopControl)
            return false;
        RECT scratch;
        if (bar->OwnVisible() && IntersectRect(&scratch, &paintRect, &bar->BoundsRef())) {
            if (!bar->Render(dc, paintRect, stopControl))
                return false;
        }
    }
    return true;
}

} // namespace SkinUI
