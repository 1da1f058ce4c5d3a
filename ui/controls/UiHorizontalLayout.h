#pragma once
// CHorizontalLayoutUI: children stacked left to right; its separator
// strip ("sepwidth") drags the layout's width.
#include "ui/controls/UiStackLayout.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CStackLayoutUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    int SeparatorWidth() const { return m_separator.size; }
    void AssignSeparatorWidth(int size) { m_separator.size = size; }
};

} // namespace SkinUI
