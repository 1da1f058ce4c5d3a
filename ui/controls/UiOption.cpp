#include "ui/controls/UiOption.h"

#include <algorithm>
#include <vector>

#include "ui/controls/UiAttributeTable.h"
#include "ui/core/UiArray.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiColor.h"

namespace SkinUI {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI()
{
    if (m_manager && !m_groupName.IsEmpty())
        m_manager->LeaveOptionGroup(m_groupName, this);
}

const wchar_t* COptionUI::TypeName() const { return L"OptionUI"; }

void* COptionUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"Option") == 0)
        return this;
    return CButtonUI::InterfaceFor(name);
}

void COptionUI::Attach(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    // Skins give the group before the option meets its window: the membership is
    // taken to the manager the option ends up with.
    if (m_manager && m_manager != manager && !m_groupName.IsEmpty())
        m_manager->LeaveOptionGroup(m_groupName, this);
    CButtonUI::Attach(manager, parent, init);
    if (m_manager && !m_groupName.IsEmpty())
        m_manager->JoinOptionGroup(m_groupName, this);
}

void COptionUI::AssignGroup(const wchar_t* group)
{
    if (!group)
        group = L"";
    if (m_groupName == group)
        return;
    if (m_manager && !m_groupName.IsEmpty())
        m_manager->LeaveOptionGroup(m_groupName, this);
    m_groupName = group;
    if (m_manager && !m_groupName.IsEmpty())
        m_manager->JoinOptionGroup(m_groupName, this);
    Repaint();
}

bool COptionUI::Trigger()
{
    if (!CButtonUI::Trigger())
        return false;
    Select(m_groupName.IsEmpty() ? !m_selected : true, true);
    return true;
}

void COptionUI::Enable(bool enable)
{
    CButtonUI::Enable(enable);
    if (m_selected)
        m_buttonState |= UISTATE_SELECTED;
}

void COptionUI::Select(bool selected, bool notify)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    if (selected)
        m_buttonState |= UISTATE_SELECTED;
    else
        m_buttonState &= ~UISTATE_SELECTED;
    if (m_manager) {
        if (!m_groupName.IsEmpty()) {
            if (!selected) {
                Repaint();
                return;
            }
            // A copy: unselecting a member must not be disturbed by the group
            // changing underneath.
            std::vector<COptionUI*> others;
            if (CUiPtrArray* group = m_manager->GetOptionGroup(m_groupName)) {
                for (int i = 0; i < group->GetSize(); ++i) {
                    auto* other = static_cast<COptionUI*>(group->GetAt(i));
                    if (other && other != this)
                        others.push_back(other);
                }
            }
            for (COptionUI* other : others)
                other->Select(false, notify);
        }
        if (notify)
            m_manager->SendNotify(this, UiNotify::SelectChanged, SelectChangedParam());
    }
    Repaint();
}

const CUiString& COptionUI::SelectedStateImage() const { return m_selectedStateImage; }
void COptionUI::AssignSelectedStateImage(const wchar_t* image)
{
    m_selectedStateImage = image ? image : L"";
    selectedImage.Empty();
    Repaint();
}

// ---- painting

void COptionUI::DrawBackColor(HDC dc)
{
    if (!m_selected) {
        CButtonUI::DrawBackColor(dc);
        return;
    }
    if (selectedBkColor != 0)
        FillColor(dc, m_paintRect, TintColor(selectedBkColor));
}

void COptionUI::DrawStateImage(HDC dc)
{
    if (selectedImage.IsEmpty() && !m_selectedStateImage.IsEmpty() && selectedStateCount > 0) {
        CUiString* out[4] = {&selectedImage, &selectedHotImage, &selectedPushedImage, nullptr};
        CutStrip(m_selectedStateImage, std::min(selectedStateCount, 3), out);
    }
    if (!m_selected) {
        CButtonUI::DrawStateImage(dc);
        return;
    }
    if (m_normalImage.IsEmpty() && !m_stateImage.IsEmpty() && m_stateCount > 0) {
        CUiString* out[4] = {&m_normalImage, &m_hotImage, &m_pushedImage, &m_disabledImage};
        CutStrip(m_stateImage, m_stateCount, out);
    }
    RefreshStateBits();
    const CUiString* chosen = nullptr;
    if ((m_buttonState & UISTATE_PUSHED) && !selectedPushedImage.IsEmpty())
        chosen = &selectedPushedImage;
    else if ((m_buttonState & UISTATE_HOT) && !selectedHotImage.IsEmpty())
        chosen = &selectedHotImage;
    else if ((m_buttonState & UISTATE_DISABLED) && !selectedDisabledImage.IsEmpty())
        chosen = &selectedDisabledImage;
    if (chosen && PaintIfSet(dc, *chosen))
        return;
    PaintIfSet(dc, selectedImage);
}

void COptionUI::DrawForeImage(HDC dc)
{
    if (m_selected && PaintIfSet(dc, selectedForeImage))
        return;
    CButtonUI::DrawForeImage(dc);
}

void COptionUI::DrawLabel(HDC dc)
{
    if (!m_selected) {
        CButtonUI::DrawLabel(dc);
        return;
    }
    ResolveColors();
    DWORD color = Enabled() ? m_textColor : m_disabledTextColor;
    if (selectedTextColor != 0)
        color = selectedTextColor;
    if ((m_buttonState & UISTATE_PUSHED) && !selectedPushedImage.IsEmpty() &&
        selectedPushedTextColor != 0)
        color = selectedPushedTextColor;
    else if ((m_buttonState & UISTATE_HOT) && !selectedHotImage.IsEmpty() &&
             selectedHotTextColor != 0)
        color = selectedHotTextColor;
    PaintText(dc, color, selectedFont != -1 ? selectedFont : m_font);
}

// ---- attributes

namespace {

using O = COptionUI;

const UiAttribute<O> kOptionAttributes[] = {
    {L"group", [](O& c, const wchar_t* v) { c.AssignGroup(v); }},
    {L"selected", [](O& c, const wchar_t* v) { c.Select(UiParse::Bool(v), true); }},
    {L"selectedimage", [](O& c, const wchar_t* v) { c.selectedImage = v; c.Repaint(); }},
    {L"selectedhotimage", [](O& c, const wchar_t* v) { c.selectedHotImage = v; c.Repaint(); }},
    {L"selectedpushedimage", [](O& c, const wchar_t* v) { c.selectedPushedImage = v; c.Repaint(); }},
    {L"selecteddisableimage", [](O& c, const wchar_t* v) { c.selectedDisabledImage = v; c.Repaint(); }},
    {L"selectedforeimage", [](O& c, const wchar_t* v) { c.selectedForeImage = v; c.Repaint(); }},
    {L"selectedstateimage", [](O& c, const wchar_t* v) { c.AssignSelectedStateImage(v); }},
    {L"selectedstatecount", [](O& c, const wchar_t* v) { c.selectedStateCount = UiParse::Int(v); }},
    {L"selectedbkcolor", [](O& c, const wchar_t* v) { c.selectedBkColor = UiParse::Color(v); }},
    {L"selectedtextcolor", [](O& c, const wchar_t* v) { c.selectedTextColor = UiParse::Color(v); }},
    {L"selectedhottextcolor", [](O& c, const wchar_t* v) { c.selectedHotTextColor = UiParse::Color(v); }},
    {L"selectedpushedtextcolor",
     [](O& c, const wchar_t* v) { c.selectedPushedTextColor = UiParse::Color(v); }},
    {L"selectedfont", [](O& c, const wchar_t* v) { c.selectedFont = UiParse::Int(v); }},
};

} // namespace

void COptionUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kOptionAttributes, *this, name, value))
        CButtonUI::ApplyAttribute(name, value);
}

// ---- check box

const wchar_t* CCheckBoxUI::TypeName() const { return L"CheckBoxUI"; }

void* CCheckBoxUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"CheckBox") == 0)
        return this;
    return COptionUI::InterfaceFor(name);
}

void CCheckBoxUI::ProcessEvent(UiEvent& event)
{
    if (m_autoCheck && (event.kind == UIEVENT_BUTTONDOWN || event.kind == UIEVENT_DBLCLICK) &&
        PtInRect(&m_itemRect, event.mouse)) {
        if (Enabled()) {
            Select(!m_selected, true);
            if (m_manager)
                m_manager->SendNotify(this, UiNotify::CheckClick);
            Repaint();
        }
        return;
    }
    COptionUI::ProcessEvent(event);
}

void CCheckBoxUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name && _wcsicmp(name, L"EnableAutoCheck") == 0)
        m_autoCheck = UiParse::Bool(value);
    COptionUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
