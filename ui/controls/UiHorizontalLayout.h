#pragma once
// CHorizontalLayoutUI: children stacked left to right. Fixed-size children take
// their size, the others share what is left; an optional separator strip along
// one edge lets the user drag the layout's own size.
#include <vector>

#include "ui/controls/UiContainer.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/controls/UiSeparator.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    UINT Flags() const override;
    void Place(RECT rect, bool invalidate = true) override;
    void ProcessEvent(UiEvent& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    bool RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;
    void DrawAfterChildren(HDC dc) override;

    int SeparatorWidth() const { return m_separator.size; }
    void AssignSeparatorWidth(int size) { m_separator.size = size; }
    bool SeparatorImmediate() const { return m_separator.immediate; }
    void AssignSeparatorImmediate(bool immediate) { m_separator.immediate = immediate; }
    RECT SeparatorRect() const { return m_separator.StripRect(*this); }

private:
    CUiSeparator m_separator{false};
    std::vector<UiBoxChild> m_boxes;   // scratch of Place, kept to spare allocations
    std::vector<RECT> m_rects;
};

} // namespace SkinUI
