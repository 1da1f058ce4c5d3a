#include "ui/controls/UiHorizontalLayout.h"

#include "ui/controls/UiAttributeTable.h"

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CStackLayoutUI(true) {}

const wchar_t* CHorizontalLayoutUI::TypeName() const { return L"HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"HorizontalLayout") == 0)
        return this;
    return CContainerUI::InterfaceFor(name);
}

namespace {
const UiAttribute<CHorizontalLayoutUI> kHorizontalAttributes[] = {
    {L"sepwidth", [](CHorizontalLayoutUI& c, const wchar_t* v) { c.AssignSeparatorWidth(UiParse::Int(v)); }},
};
} // namespace

void CHorizontalLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kHorizontalAttributes, *this, name, value))
        CStackLayoutUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
