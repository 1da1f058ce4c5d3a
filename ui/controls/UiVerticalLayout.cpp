#include "ui/controls/UiVerticalLayout.h"

#include "ui/controls/UiAttributeTable.h"

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CStackLayoutUI(false) {}

const wchar_t* CVerticalLayoutUI::TypeName() const { return L"VerticalLayoutUI"; }

void* CVerticalLayoutUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"VerticalLayout") == 0)
        return this;
    return CContainerUI::InterfaceFor(name);
}

namespace {
const UiAttribute<CVerticalLayoutUI> kVerticalAttributes[] = {
    {L"sepheight", [](CVerticalLayoutUI& c, const wchar_t* v) { c.AssignSeparatorHeight(UiParse::Int(v)); }},
};
} // namespace

void CVerticalLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kVerticalAttributes, *this, name, value))
        CStackLayoutUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
