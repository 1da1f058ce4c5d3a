#pragma once
// The draggable separator strip of a vertical or horizontal layout: the strip
// along one edge that resizes the layout when dragged. Both layouts keep one and
// hand it their events; only the axis differs.
#include <windows.h>

namespace SkinUI {

class CControlUI;
struct UiEvent;

class CUiSeparator {
public:
    explicit CUiSeparator(bool vertical) : m_vertical(vertical) {}

    // Positive: a strip of that thickness along the bottom (right) edge; negative:
    // along the top (left) edge; 0: none.
    int size = 0;
    // Immediate: the layout follows the pointer at once; otherwise a dark strip
    // shows where it will end, and the layout moves on release.
    bool immediate = false;

    bool Dragging() const { return (m_state & kDragging) != 0; }
    const RECT& DraggedRect() const { return m_dragRect; }
    // The strip inside the layout's item rectangle, or inside the dragged
    // rectangle while dragging; empty without a separator.
    RECT StripRect(const CControlUI& layout) const;
    // True when the event was the separator's (the layout does nothing more).
    // fixedSize: the layout's own stored fixed size (design pixels), which a drag
    // changes without asking for a layout until the layout is due to move.
    bool HandleEvent(CControlUI& layout, SIZE& fixedSize, const UiEvent& event);
    // The dark strip over the children while dragging (not immediate).
    void DrawOverlay(HDC dc, const CControlUI& layout) const;

private:
    static constexpr UINT kDragging = 0x40;
    int Scaled(const CControlUI& layout) const;

    bool m_vertical;
    UINT m_state = 0;
    POINT m_grab = {0, 0};
    int m_startLength = 0;
    RECT m_dragRect = {0, 0, 0, 0};
};

} // namespace SkinUI
