#pragma once
// CVerticalLayoutUI: children stacked top to bottom; its separator
// strip ("sepheight") drags the layout's height.
#include "ui/controls/UiStackLayout.h"

namespace SkinUI {

class CVerticalLayoutUI : public CStackLayoutUI {
public:
    CVerticalLayoutUI();

    const wchar_t* TypeName() const override;
    void* InterfaceFor(const wchar_t* name) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;

    int SeparatorHeight() const { return m_separator.size; }
    void AssignSeparatorHeight(int size) { m_separator.size = size; }
};

} // namespace SkinUI
