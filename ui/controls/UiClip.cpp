#include "ui/controls/UiClip.h"

namespace SkinUI {

CUiClipScope::CUiClipScope(HDC dc, const RECT& rect) : m_dc(dc)
{
    Save();
    Narrow(CreateRectRgnIndirect(&rect));
}

CUiClipScope::CUiClipScope(HDC dc, const RECT& rect, const RECT& item, int cx, int cy) : m_dc(dc)
{
    Save();
    HRGN region = CreateRectRgnIndirect(&rect);
    // The +1 keeps the right and bottom outline of a round border inside the
    // region: round regions exclude their lower-right edge.
    HRGN round = CreateRoundRectRgn(item.left, item.top, item.right + 1, item.bottom + 1, cx, cy);
    if (region && round)
        CombineRgn(region, region, round, RGN_AND);
    if (round)
        DeleteObject(round);
    Narrow(region);
}

CUiClipScope::~CUiClipScope()
{
    SelectClipRgn(m_dc, m_saved);   // null removes the clip again
    if (m_saved)
        DeleteObject(m_saved);
}

void CUiClipScope::Save()
{
    m_saved = CreateRectRgn(0, 0, 0, 0);
    if (m_saved && GetClipRgn(m_dc, m_saved) != 1) {
        DeleteObject(m_saved);
        m_saved = nullptr;
    }
}

void CUiClipScope::Narrow(HRGN region)
{
    if (!region)
        return;
    // Clip regions live in device coordinates; a DC whose origin was moved
    // (printing a child window) needs the region shifted along.
    POINT origin = {0, 0};
    LPtoDP(m_dc, &origin, 1);
    if (origin.x != 0 || origin.y != 0)
        OffsetRgn(region, origin.x, origin.y);
    ExtSelectClipRgn(m_dc, region, RGN_AND);
    DeleteObject(region);
}

} // namespace SkinUI
