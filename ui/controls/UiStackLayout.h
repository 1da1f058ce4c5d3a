#pragma once
// CStackLayoutUI: what the horizontal and vertical layouts share. Children are
// stacked along one axis: fixed-size children take their size, the others share
// what is left; an optional separator strip along one edge lets the user drag
// the layout's own size. The two concrete classes only name the axis.
#include <vector>

#include "ui/controls/UiContainer.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/controls/UiSeparator.h"

namespace SkinUI {

class CStackLayoutUI : public CContainerUI {
public:
    UINT Flags() const override;
    void Place(RECT rect, bool invalidate = true) override;
    void ProcessEvent(UiEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    bool RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;
    void DrawAfterChildren(HDC dc) override;

    bool SeparatorImmediate() const { return m_separator.immediate; }
    void AssignSeparatorImmediate(bool immediate) { m_separator.immediate = immediate; }
    RECT SeparatorRect() const { return m_separator.StripRect(*this); }

protected:
    explicit CStackLayoutUI(bool horizontal) : m_horizontal(horizontal), m_separator(!horizontal) {}

    const bool m_horizontal;
    CUiSeparator m_separator;

private:
    std::vector<UiBoxChild> m_boxes;   // scratch of Place, kept to spare allocations
    std::vector<RECT> m_rects;
};

} // namespace SkinUI
