#include "ui/controls/UiButton.h"

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/core/UiPaintManager.h"
#include "ui/core/UiResourceInfo.h"
#include "ui/render/UiColor.h"
#include "ui/render/UiImageSpec.h"

namespace SkinUI {

CButtonUI::CButtonUI() { m_textStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

const wchar_t* CButtonUI::TypeName() const { return L"ButtonUI"; }

void* CButtonUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"Button") == 0)
        return this;
    return CLabelUI::InterfaceFor(name);
}

UINT CButtonUI::Flags() const
{
    return (Enabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u) | (KeyboardEnabled() ? static_cast<UINT>(UIFLAG_TABSTOP) : 0u);
}

bool CButtonUI::Trigger()
{
    if (!CControlUI::Trigger())
        return false;
    // Copies: a "click" handler may remove this button (it then waits in the
    // manager's delayed clean-up, but its fields are no business of ours then).
    CPaintManagerUI* manager = m_manager;
    const CUiString layoutName = m_bindTabLayoutName;
    const int index = m_bindTabIndex;
    if (!manager)
        return true;
    manager->SendNotify(this, UiNotify::Click);
    if (!layoutName.IsEmpty() && index >= 0) {
        if (CControlUI* found = manager->FindControl(layoutName)) {
            if (auto* tabs = static_cast<CTabLayoutUI*>(found->InterfaceFor(L"TabLayout")))
                tabs->ShowPage(index);
        }
    }
    return true;
}

void CButtonUI::Enable(bool enable)
{
    CControlUI::Enable(enable);
    m_buttonState = enable ? 0u : static_cast<UINT>(UISTATE_DISABLED);
}

// ---- events

void CButtonUI::ProcessEvent(UiEvent& event)
{
    if (!m_mouseEnabled && IsMouseEvent(event.kind)) {
        if (m_parent)
            m_parent->ProcessEvent(event);
        else
            CLabelUI::ProcessEvent(event);
        return;
    }
    const bool inside = PtInRect(&m_itemRect, event.mouse) != FALSE;
    auto rich = [this](const wchar_t* type) {
        if (m_richEvent && m_manager)
            m_manager->SendNotify(this, type);
    };
    switch (event.kind) {
    case UIEVENT_SETFOCUS:
        m_focused = true;
        Repaint();
        return;
    case UIEVENT_KILLFOCUS:
        m_focused = false;
        Repaint();
        return;
    case UIEVENT_KEYDOWN:
        if (KeyboardEnabled() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
            Trigger();
            return;
        }
        break;
    case UIEVENT_MOUSEMOVE:
        if (m_buttonState & UISTATE_CAPTURED) {
            if (inside)
                m_buttonState |= UISTATE_PUSHED;
            else
                m_buttonState &= ~UISTATE_PUSHED;
            Repaint();
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
        if (Enabled()) {
            m_buttonState |= UISTATE_HOT;
            Repaint();
            rich(UiNotify::MouseEnter);
            return;
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (Enabled()) {
            m_buttonState &= ~UISTATE_HOT;
            Repaint();
            rich(UiNotify::MouseLeave);
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (inside && Enabled()) {
            m_buttonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Repaint();
            rich(UiNotify::ButtonDown);
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if (m_buttonState & UISTATE_CAPTURED) {
            m_buttonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Repaint();
            // Released over the button: a click. Anywhere else: nothing.
            if (inside)
                Trigger();
            return;
        }
        break;
    case UIEVENT_CONTEXTMENU:
        if (m_menuUsed && m_manager) {
            m_manager->SendNotify(this, UiNotify::Menu, event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::ProcessEvent(event);
}

// ---- images

#define SKINUI_IMAGE_ACCESSORS(Name, field)                                 \
    const CUiString& CButtonUI::Name() const { return field; }             \
    void CButtonUI::Assign##Name(const wchar_t* image)                     \
    {                                                                      \
        field = image ? image : L"";                                       \
        Repaint();                                                         \
    }
SKINUI_IMAGE_ACCESSORS(NormalImage, m_normalImage)
SKINUI_IMAGE_ACCESSORS(HotImage, m_hotImage)
SKINUI_IMAGE_ACCESSORS(PushedImage, m_pushedImage)
SKINUI_IMAGE_ACCESSORS(FocusedImage, m_focusedImage)
SKINUI_IMAGE_ACCESSORS(DisabledImage, m_disabledImage)
SKINUI_IMAGE_ACCESSORS(HotForeImage, m_hotForeImage)
#undef SKINUI_IMAGE_ACCESSORS

const CUiString& CButtonUI::StateImage() const { return m_stateImage; }
void CButtonUI::AssignStateImage(const wchar_t* image)
{
    m_stateImage = image ? image : L"";
    // Emptied so that the next paint cuts the new strip.
    m_normalImage.Empty();
    Repaint();
}

void CButtonUI::AssignStateCount(int count)
{
    m_stateCount = count;
    Repaint();
}

void CButtonUI::CutStrip(const CUiString& strip, int count, CUiString* const out[4])
{
    if (!m_manager || strip.IsEmpty() || count <= 0)
        return;
    const UiImageSpec* spec = m_manager->GetImageSpec(strip);
    if (!spec || spec->name.IsEmpty())
        return;
    const UiImageInfo* image = m_manager->GetImageEx(spec->name, spec->resourceType,
                                                     spec->mask, spec->hsl);
    if (!image || image->width <= 0)
        return;
    const double scale = spec->imageScale > 0 ? spec->imageScale : 1.0;
    const int w = static_cast<int>(image->width / scale);
    const int h = static_cast<int>(image->height / scale);
    const int t = w / count;
    const int percent = m_manager->GetScale() > 0 ? m_manager->GetScale() : 100;
    // The spec's dest was scaled when parsed; written back in skin units, so that
    // parsing the generated string scales it once.
    const RECT d = spec->dest;
    auto unscale = [percent](LONG v) { return static_cast<int>(static_cast<long long>(v) * 100 / percent); };
    auto make = [&](int from) {
        CUiString s;
        s.Format(L"res='%s' restype='%s' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'",
                 spec->name.GetData(), spec->resourceType.GetData(), unscale(d.left),
                 unscale(d.top), unscale(d.right), unscale(d.bottom), from, 0, from + t, h);
        return s;
    };
    *out[0] = make(0);
    if (count > 1) {
        *out[1] = make(t);
        *out[2] = make(t);
    }
    if (count > 2)
        *out[2] = make(2 * t);
    if (count > 3 && out[3])
        *out[3] = make(3 * t);
}

void CButtonUI::RefreshStateBits()
{
    if (HasFocus())
        m_buttonState |= UISTATE_FOCUSED;
    else
        m_buttonState &= ~UISTATE_FOCUSED;
    if (!Enabled())
        m_buttonState |= UISTATE_DISABLED;
    else
        m_buttonState &= ~UISTATE_DISABLED;
    if (m_manager && m_manager->GetPaintWindow() && !IsWindowEnabled(m_manager->GetPaintWindow()))
        m_buttonState &= UISTATE_DISABLED;
}

bool CButtonUI::PaintIfSet(HDC dc, const CUiString& image)
{
    return !image.IsEmpty() && PaintImage(dc, image);
}

void CButtonUI::DrawStateImage(HDC dc)
{
    if (m_normalImage.IsEmpty() && !m_stateImage.IsEmpty() && m_stateCount > 0) {
        CUiString* out[4] = {&m_normalImage, &m_hotImage, &m_pushedImage, &m_disabledImage};
        CutStrip(m_stateImage, m_stateCount, out);
    }
    RefreshStateBits();
    const CUiString* chosen = nullptr;
    if (m_buttonState & UISTATE_DISABLED)
        chosen = &m_disabledImage;
    else if (m_buttonState & UISTATE_PUSHED)
        chosen = &m_pushedImage;
    else if (m_buttonState & UISTATE_HOT)
        chosen = &m_hotImage;
    else if (m_buttonState & UISTATE_FOCUSED)
        chosen = &m_focusedImage;
    if (chosen && PaintIfSet(dc, *chosen))
        return;
    PaintIfSet(dc, m_normalImage);
}

void CButtonUI::DrawForeImage(HDC dc)
{
    if ((m_buttonState & UISTATE_PUSHED) && PaintIfSet(dc, m_pushedForeImage))
        return;
    if (!(m_buttonState & UISTATE_PUSHED) && (m_buttonState & UISTATE_HOT) &&
        PaintIfSet(dc, m_hotForeImage))
        return;
    CLabelUI::DrawForeImage(dc);
}

void CButtonUI::DrawBackColor(HDC dc)
{
    DWORD color = 0;
    if (m_buttonState & UISTATE_DISABLED)
        color = disabledBkColor;
    else if (m_buttonState & UISTATE_PUSHED)
        color = pushedBkColor;
    else if (m_buttonState & UISTATE_HOT)
        color = hotBkColor;
    if (color != 0) {
        FillColor(dc, m_paintRect, TintColor(color));
        return;
    }
    CLabelUI::DrawBackColor(dc);
}

void CButtonUI::DrawLabel(HDC dc)
{
    ResolveColors();
    DWORD color = Enabled() ? m_textColor : m_disabledTextColor;
    int font = m_font;
    if ((m_buttonState & UISTATE_PUSHED) && pushedTextColor != 0)
        color = pushedTextColor;
    else if ((m_buttonState & UISTATE_HOT) && hotTextColor != 0)
        color = hotTextColor;
    else if ((m_buttonState & UISTATE_FOCUSED) && focusedTextColor != 0)
        color = focusedTextColor;
    if ((m_buttonState & UISTATE_PUSHED) && pushedFont != -1)
        font = pushedFont;
    else if ((m_buttonState & UISTATE_HOT) && hotFont != -1)
        font = hotFont;
    else if ((m_buttonState & UISTATE_FOCUSED) && focusedFont != -1)
        font = focusedFont;
    if (AutoTextSize() && m_manager) {
        const SIZE extent = TextExtent(Text(), font);
        if (extent.cx > 0) {
            const int percent = m_manager->GetScale() > 0 ? m_manager->GetScale() : 100;
            const int width = static_cast<int>(static_cast<long long>(extent.cx) * 100 / percent) +
                              m_textPadding.left + m_textPadding.right;
            if (width != m_fixedSize.cx)
                AssignPresetWidth(width);
        }
    }
    PaintText(dc, color, font);
}

// ---- attributes

namespace {

using B = CButtonUI;

const UiAttribute<B> kButtonAttributes[] = {
    {L"normalimage", [](B& c, const wchar_t* v) { c.AssignNormalImage(v); }},
    {L"hotimage", [](B& c, const wchar_t* v) { c.AssignHotImage(v); }},
    {L"pushedimage", [](B& c, const wchar_t* v) { c.AssignPushedImage(v); }},
    {L"focusedimage", [](B& c, const wchar_t* v) { c.AssignFocusedImage(v); }},
    {L"disabledimage", [](B& c, const wchar_t* v) { c.AssignDisabledImage(v); }},
    {L"hotforeimage", [](B& c, const wchar_t* v) { c.AssignHotForeImage(v); }},
    {L"stateimage", [](B& c, const wchar_t* v) { c.AssignStateImage(v); }},
    {L"statecount", [](B& c, const wchar_t* v) { c.AssignStateCount(UiParse::Int(v)); }},
    {L"bindtabindex", [](B& c, const wchar_t* v) { c.BindTabIndex(UiParse::Int(v)); }},
    {L"bindtablayoutname", [](B& c, const wchar_t* v) { c.BindTabLayout(v); }},
    {L"hotbkcolor", [](B& c, const wchar_t* v) { c.hotBkColor = UiParse::Color(v); c.Repaint(); }},
    {L"pushedbkcolor", [](B& c, const wchar_t* v) { c.pushedBkColor = UiParse::Color(v); c.Repaint(); }},
    {L"disabledbkcolor", [](B& c, const wchar_t* v) { c.disabledBkColor = UiParse::Color(v); c.Repaint(); }},
    {L"hottextcolor", [](B& c, const wchar_t* v) { c.hotTextColor = UiParse::Color(v); }},
    {L"pushedtextcolor", [](B& c, const wchar_t* v) { c.pushedTextColor = UiParse::Color(v); }},
    {L"focusedtextcolor", [](B& c, const wchar_t* v) { c.focusedTextColor = UiParse::Color(v); }},
    {L"hotfont", [](B& c, const wchar_t* v) { c.hotFont = UiParse::Int(v); }},
    {L"pushedfont", [](B& c, const wchar_t* v) { c.pushedFont = UiParse::Int(v); }},
    // Spelled so in the skins that exist.
    {L"focuedfont", [](B& c, const wchar_t* v) { c.focusedFont = UiParse::Int(v); }},
};

} // namespace

void CButtonUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ApplyFromTable(kButtonAttributes, *this, name, value))
        CLabelUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
