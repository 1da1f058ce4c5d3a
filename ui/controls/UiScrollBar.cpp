#include "ui/controls/UiScrollBar.h"

#include <climits>
#include <cstdlib>

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiContainer.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiColor.h"

namespace SkinUI {

namespace {
constexpr UINT kRepeatTimer = 10;
constexpr UINT kRepeatElapse = 50;
constexpr int kRepeatDelayTicks = 5;
constexpr DWORD kMissingPartOutline = 0xFF85E4FF;
} // namespace

CScrollBarUI::CScrollBarUI() { m_fixedSize.cx = 16; }

const wchar_t* CScrollBarUI::TypeName() const { return L"ScrollBarUI"; }

void* CScrollBarUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"ScrollBar") == 0)
        return this;
    return CControlUI::InterfaceFor(name);
}

void CScrollBarUI::Show(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    m_focused = false;
}

void CScrollBarUI::Enable(bool enable)
{
    CControlUI::Enable(enable);
    if (!enable) {
        m_button1State = 0;
        m_button2State = 0;
        m_thumbState = 0;
    }
}

void CScrollBarUI::TakeFocus()
{
    if (m_owner)
        m_owner->TakeFocus();
    else
        CControlUI::TakeFocus();
}

void CScrollBarUI::AssignHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    if (m_horizontal) {
        if (m_fixedSize.cy == 0) {
            m_fixedSize.cx = 0;
            m_fixedSize.cy = 16;
        }
    } else if (m_fixedSize.cx == 0) {
        m_fixedSize.cx = 16;
        m_fixedSize.cy = 0;
    }
    if (m_owner)
        m_owner->RequestLayout();
    else
        RequestParentLayout();
}

void CScrollBarUI::AssignScrollRange(long long range)
{
    if (range < 0)
        range = 0;
    if (range == m_range)
        return;
    m_range = range;
    if (m_position > m_range)
        m_position = m_range;
    Place(m_itemRect, true);
}

void CScrollBarUI::AssignScrollPosition(long long position)
{
    if (position < 0)
        position = 0;
    if (position > m_range)
        position = m_range;
    if (position == m_position)
        return;
    m_position = position;
    Place(m_itemRect, true);
}

int CScrollBarUI::LineSize() const
{
    // The owner divides by it for the "scroll" notification.
    const int size = ScaleLength(m_lineSize);
    return size > 0 ? size : 1;
}

void CScrollBarUI::ShowButton1(bool show)
{
    m_showButton1 = show;
    Place(m_itemRect, true);
}

void CScrollBarUI::ShowButton2(bool show)
{
    m_showButton2 = show;
    Place(m_itemRect, true);
}

void CScrollBarUI::Place(RECT rect, bool invalidate)
{
    CControlUI::Place(rect, invalidate);
    UiScrollBarInput in;
    in.item = m_itemRect;
    in.thickness = PresetSize();
    in.horizontal = m_horizontal;
    in.showButton1 = m_showButton1;
    in.showButton2 = m_showButton2;
    in.range = m_range;
    in.position = m_position;
    const UiScrollBarParts parts = LayoutScrollBar(in);
    m_button1Rect = parts.button1;
    m_button2Rect = parts.button2;
    m_thumbRect = parts.thumb;
}

long long CScrollBarUI::ItemLength() const
{
    return m_horizontal ? m_itemRect.right - m_itemRect.left : m_itemRect.bottom - m_itemRect.top;
}

long long CScrollBarUI::FreeTrack() const
{
    const long long thumb =
        m_horizontal ? m_thumbRect.right - m_thumbRect.left : m_thumbRect.bottom - m_thumbRect.top;
    const long long thickness = m_horizontal ? PresetHeight() : PresetWidth();
    const int buttons = (m_showButton1 ? 1 : 0) + (m_showButton2 ? 1 : 0);
    return ItemLength() - thumb - thickness * buttons;
}

// ---- stepping

void CScrollBarUI::StepBack()
{
    if (!m_owner) {
        AssignScrollPosition(m_position - LineSize());
        return;
    }
    if (m_horizontal)
        m_owner->StepLeft();
    else
        m_owner->StepUp();
}

void CScrollBarUI::StepForward()
{
    if (!m_owner) {
        AssignScrollPosition(m_position + LineSize());
        return;
    }
    if (m_horizontal)
        m_owner->StepRight();
    else
        m_owner->StepDown();
}

void CScrollBarUI::PageBackward()
{
    if (!m_owner) {
        AssignScrollPosition(m_position - ItemLength());
        return;
    }
    if (m_horizontal)
        m_owner->PageLeftward();
    else
        m_owner->PageBack();
}

void CScrollBarUI::PageForwardOnce()
{
    if (!m_owner) {
        AssignScrollPosition(m_position + ItemLength());
        return;
    }
    if (m_horizontal)
        m_owner->PageRightward();
    else
        m_owner->PageForward();
}

void CScrollBarUI::SendScroll()
{
    if (m_manager)
        m_manager->SendNotify(this, UiNotify::Scroll);
}

// ---- events

void CScrollBarUI::OnButtonDown(const UiEvent& event)
{
    m_ticks = 0;
    m_dragOffset = 0;
    m_trackPressed = false;
    const POINT pt = event.mouse;
    if (PtInRect(&m_button1Rect, pt)) {
        m_button1State |= UISTATE_PUSHED;
        StepBack();
    } else if (PtInRect(&m_button2Rect, pt)) {
        m_button2State |= UISTATE_PUSHED;
        StepForward();
    } else if (PtInRect(&m_thumbRect, pt)) {
        m_thumbState |= UISTATE_CAPTURED | UISTATE_PUSHED;
        m_dragStart = pt;
        m_dragStartPosition = m_position;
    } else {
        m_trackPressed = true;
        const bool before = m_horizontal ? pt.x < m_thumbRect.left : pt.y < m_thumbRect.top;
        if (before)
            PageBackward();
        else
            PageForwardOnce();
    }
    SetTimer(kRepeatTimer, kRepeatElapse);
    SendScroll();
}

void CScrollBarUI::OnMouseMove(const UiEvent& event)
{
    if (m_thumbState & UISTATE_CAPTURED) {
        const long long motion =
            m_horizontal ? event.mouse.x - m_dragStart.x : event.mouse.y - m_dragStart.y;
        m_dragOffset = ScrollDragOffset(motion, m_range, FreeTrack());
        return;
    }
    if (!Enabled())
        return;
    const bool over = PtInRect(&m_thumbRect, event.mouse) != FALSE;
    const bool hot = (m_thumbState & UISTATE_HOT) != 0;
    if (over != hot) {
        if (over)
            m_thumbState |= UISTATE_HOT;
        else
            m_thumbState &= ~UISTATE_HOT;
        Repaint();
    }
}

void CScrollBarUI::OnTimer()
{
    ++m_ticks;
    if (m_thumbState & UISTATE_CAPTURED) {
        const long long position = m_dragStartPosition + m_dragOffset;
        if (m_owner) {
            SIZE pos = m_owner->ScrollOffset();
            const LONG clamped = static_cast<LONG>(position < 0 ? 0 : (position > INT_MAX ? INT_MAX : position));
            if (m_horizontal)
                pos.cx = clamped;
            else
                pos.cy = clamped;
            m_owner->ScrollTo(pos, true);
        } else {
            AssignScrollPosition(position);
        }
        Repaint();
    } else if (m_button1State & UISTATE_PUSHED) {
        if (m_ticks <= kRepeatDelayTicks)
            return;
        StepBack();
    } else if (m_button2State & UISTATE_PUSHED) {
        if (m_ticks <= kRepeatDelayTicks)
            return;
        StepForward();
    } else if (m_trackPressed) {
        if (m_ticks <= kRepeatDelayTicks)
            return;
        POINT pt = {0, 0};
        GetCursorPos(&pt);
        if (m_manager && m_manager->GetPaintWindow())
            ScreenToClient(m_manager->GetPaintWindow(), &pt);
        if (PtInRect(&m_thumbRect, pt))
            return;
        const bool before = m_horizontal ? pt.x < m_thumbRect.left : pt.y < m_thumbRect.top;
        if (before)
            PageBackward();
        else
            PageForwardOnce();
    } else {
        return;
    }
    SendScroll();
}

void CScrollBarUI::OnButtonUp()
{
    m_ticks = 0;
    m_dragOffset = 0;
    m_trackPressed = false;
    KillTimer(kRepeatTimer);
    if (m_thumbState & UISTATE_CAPTURED) {
        m_thumbState &= ~(UISTATE_CAPTURED | UISTATE_PUSHED);
        Repaint();
    } else if (m_button1State & UISTATE_PUSHED) {
        m_button1State &= ~UISTATE_PUSHED;
        Repaint();
    } else if (m_button2State & UISTATE_PUSHED) {
        m_button2State &= ~UISTATE_PUSHED;
        Repaint();
    }
}

void CScrollBarUI::ProcessEvent(UiEvent& event)
{
    if (!m_mouseEnabled && IsMouseEvent(event.kind)) {
        if (m_owner)
            m_owner->ProcessEvent(event);
        else
            CControlUI::ProcessEvent(event);
        return;
    }
    switch (event.kind) {
    case UIEVENT_CONTEXTMENU:
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (Enabled())
            OnButtonDown(event);
        return;
    case UIEVENT_MOUSEMOVE:
        OnMouseMove(event);
        return;
    case UIEVENT_TIMER:
        if (event.wParam == kRepeatTimer) {
            OnTimer();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        OnButtonUp();
        return;
    case UIEVENT_MOUSEENTER:
        if (Enabled()) {
            m_button1State |= UISTATE_HOT;
            m_button2State |= UISTATE_HOT;
            if (PtInRect(&m_thumbRect, event.mouse))
                m_thumbState |= UISTATE_HOT;
            Repaint();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        if (Enabled()) {
            m_button1State &= ~UISTATE_HOT;
            m_button2State &= ~UISTATE_HOT;
            m_thumbState &= ~UISTATE_HOT;
            Repaint();
        }
        return;
    default:
        break;
    }
    if (m_owner)
        m_owner->ProcessEvent(event);
    else
        CControlUI::ProcessEvent(event);
}

// ---- painting

bool CScrollBarUI::PaintPart(HDC dc, const CUiString& image, const RECT& part)
{
    if (image.IsEmpty())
        return false;
    // dest is read in skin pixels and scaled by the image spec: written back in
    // skin pixels so that it lands on the part.
    const int percent = m_manager && m_manager->GetScale() > 0 ? m_manager->GetScale() : 100;
    auto design = [percent](long long v) { return static_cast<int>(v * 100 / percent); };
    m_imageModifier.Format(L"dest='%d,%d,%d,%d'", design(part.left - m_itemRect.left),
                           design(part.top - m_itemRect.top), design(part.right - m_itemRect.left),
                           design(part.bottom - m_itemRect.top));
    return PaintImage(dc, image, m_imageModifier);
}

bool CScrollBarUI::PaintByState(HDC dc, const PartImages& images, UINT state, const RECT& part)
{
    const CUiString* chosen = nullptr;
    if (state & UISTATE_DISABLED)
        chosen = &images.disabled;
    else if (state & UISTATE_PUSHED)
        chosen = &images.pushed;
    else if (state & UISTATE_HOT)
        chosen = &images.hot;
    if (chosen && PaintPart(dc, *chosen, part))
        return true;
    return PaintPart(dc, images.normal, part);
}

bool CScrollBarUI::RenderLayers(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    // Background colour and image first, the parts over them, the border last.
    (void)paintRect;
    (void)stopControl;
    DrawBackColor(dc);
    DrawBackImage(dc);
    const UINT disabled = Enabled() ? 0u : static_cast<UINT>(UISTATE_DISABLED);
    const UINT thumbState = m_thumbState | disabled;
    PaintByState(dc, m_background, thumbState, m_itemRect);
    auto outline = [dc](const RECT& rc) { StrokeRect(dc, rc, 2, kMissingPartOutline); };
    if (m_showButton1 && !PaintByState(dc, m_button1, m_button1State | disabled, m_button1Rect))
        outline(m_button1Rect);
    if (m_showButton2 && !PaintByState(dc, m_button2, m_button2State | disabled, m_button2Rect))
        outline(m_button2Rect);
    if (!IsRectEmpty(&m_thumbRect)) {
        if (!PaintByState(dc, m_thumb, thumbState, m_thumbRect))
            outline(m_thumbRect);
        // The grip: a strip as thick as the bar, centred on the thumb.
        RECT rail = m_thumbRect;
        if (m_horizontal) {
            const int t = PresetHeight();
            const int centre = (m_thumbRect.left + m_thumbRect.right) / 2;
            rail.left = centre - t / 2;
            rail.right = centre + t - t / 2;
        } else {
            const int t = PresetWidth();
            const int centre = (m_thumbRect.top + m_thumbRect.bottom) / 2;
            rail.top = centre - t / 2;
            rail.bottom = centre + t - t / 2;
        }
        PaintByState(dc, m_rail, thumbState, rail);
    }
    DrawBorder(dc);
    return true;
}

// ---- attributes

struct ScrollBarAttributes {
    using S = CScrollBarUI;
    using Parts = CScrollBarUI::PartImages;

    static void SetImage(S& c, Parts S::*part, CUiString Parts::*look, const wchar_t* v)
    {
        (c.*part).*look = v;
        c.Repaint();
    }

    static bool Apply(S& c, const wchar_t* name, const wchar_t* value)
    {
#define SKINUI_PART(attr, part, look) \
    {attr, [](S& s, const wchar_t* v) { SetImage(s, &S::part, &Parts::look, v); }}
        static const UiAttribute<S> kTable[] = {
            SKINUI_PART(L"button1normalimage", m_button1, normal),
            SKINUI_PART(L"button1hotimage", m_button1, hot),
            SKINUI_PART(L"button1pushedimage", m_button1, pushed),
            SKINUI_PART(L"button1disabledimage", m_button1, disabled),
            SKINUI_PART(L"button2normalimage", m_button2, normal),
            SKINUI_PART(L"button2hotimage", m_button2, hot),
            SKINUI_PART(L"button2pushedimage", m_button2, pushed),
            SKINUI_PART(L"button2disabledimage", m_button2, disabled),
            SKINUI_PART(L"thumbnormalimage", m_thumb, normal),
            SKINUI_PART(L"thumbhotimage", m_thumb, hot),
            SKINUI_PART(L"thumbpushedimage", m_thumb, pushed),
            SKINUI_PART(L"thumbdisabledimage", m_thumb, disabled),
            SKINUI_PART(L"railnormalimage", m_rail, normal),
            SKINUI_PART(L"railhotimage", m_rail, hot),
            SKINUI_PART(L"railpushedimage", m_rail, pushed),
            SKINUI_PART(L"raildisabledimage", m_rail, disabled),
            SKINUI_PART(L"bknormalimage", m_background, normal),
            SKINUI_PART(L"bkhotimage", m_background, hot),
            SKINUI_PART(L"bkpushedimage", m_background, pushed),
            SKINUI_PART(L"bkdisabledimage", m_background, disabled),
            {L"hor", [](S& s, const wchar_t* v) { s.AssignHorizontal(UiParse::Bool(v)); }},
            {L"linesize", [](S& s, const wchar_t* v) { s.AssignLineSize(UiParse::Int(v)); }},
            {L"range", [](S& s, const wchar_t* v) { s.AssignScrollRange(UiParse::Int(v)); }},
            {L"value", [](S& s, const wchar_t* v) { s.AssignScrollPosition(UiParse::Int(v)); }},
            {L"showbutton1", [](S& s, const wchar_t* v) { s.ShowButton1(UiParse::Bool(v)); }},
            {L"showbutton2", [](S& s, const wchar_t* v) { s.ShowButton2(UiParse::Bool(v)); }},
        };
#undef SKINUI_PART
        return ApplyFromTable(kTable, c, name, value);
    }
};

void CScrollBarUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!name || !ScrollBarAttributes::Apply(*this, name, value))
        CControlUI::ApplyAttribute(name, value);
}

} // namespace SkinUI
