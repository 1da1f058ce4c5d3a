#include "ui/controls/UiText.h"

#include "ui/core/UiPaintManager.h"
#include "ui/render/UiText.h"

namespace SkinUI {

CTextUI::CTextUI() = default;

const wchar_t* CTextUI::TypeName() const { return L"TextUI"; }

void* CTextUI::InterfaceFor(const wchar_t* name)
{
    if (name && _wcsicmp(name, L"Text") == 0)
        return this;
    return CLabelUI::InterfaceFor(name);
}

UINT CTextUI::Flags() const { return Enabled() && m_linkCount > 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u; }

CUiString CTextUI::LinkText(int index) const
{
    return index >= 0 && index < m_linkCount ? m_linkTexts[index] : CUiString();
}

int CTextUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < m_linkCount; ++i) {
        if (PtInRect(&m_links[i], pt))
            return i;
    }
    return -1;
}

void CTextUI::ProcessEvent(UiEvent& event)
{
    if (!m_mouseEnabled && IsMouseEvent(event.kind)) {
        if (m_parent)
            m_parent->ProcessEvent(event);
        else
            CLabelUI::ProcessEvent(event);
        return;
    }
    switch (event.kind) {
    case UIEVENT_SETCURSOR:
        if (LinkAt(event.mouse) >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (Enabled() && LinkAt(event.mouse) >= 0) {
            Repaint();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if (Enabled()) {
            const int link = LinkAt(event.mouse);
            if (link >= 0) {
                if (m_manager)
                    m_manager->SendNotify(this, UiNotify::Link, static_cast<WPARAM>(link));
                return;
            }
        }
        break;
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_linkCount > 0) {
            const int link = LinkAt(event.mouse);
            if (link != m_hoverLink) {
                m_hoverLink = link;
                Repaint();
                return;
            }
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (m_linkCount > 0 && m_hoverLink != -1) {
            m_hoverLink = -1;
            Repaint();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::ProcessEvent(event);
}

SIZE CTextUI::MeasureSize(SIZE available)
{
    if (m_manager && (m_estimateStale || available.cx != m_lastAvailable.cx ||
                      available.cy != m_lastAvailable.cy)) {
        const RECT pad = TextPadding();
        const int right = (m_autoWidth ? 9999 : PresetWidth()) - pad.right;
        const RECT rc = MeasureText(Text(), RECT{pad.left, 0, right, 9999}, m_textStyle, m_font);
        if (m_autoWidth) {
            // Stored only when it changed: storing asks the parent for a layout,
            // and asking on every pass would never let the layout settle.
            const int scale = m_manager->GetScale() > 0 ? m_manager->GetScale() : 100;
            const int width = static_cast<int>(
                static_cast<long long>(rc.right - rc.left + pad.left + pad.right) * 100 / scale);
            if (width != m_fixedSize.cx && width >= 0)
                m_fixedSize.cx = width;
        }
    }
    return CLabelUI::MeasureSize(available);
}

void CTextUI::DrawLabel(HDC dc)
{
    ResolveColors();
    const CUiString text = Text();
    if (text.IsEmpty() || !m_manager) {
        m_linkCount = 0;
        return;
    }
    const RECT pad = TextPadding();
    RECT rc = {m_itemRect.left + pad.left, m_itemRect.top + pad.top,
               m_itemRect.right - pad.right, m_itemRect.bottom - pad.bottom};
    const DWORD color = Enabled() ? m_textColor : m_disabledTextColor;
    if (m_showHtml) {
        m_linkCount = kMaxLinks;
        DrawMarkedText(dc, m_manager, rc, text, color, m_links, m_linkTexts, &m_linkCount, m_font,
                       m_textStyle);
        if (m_linkCount < 0 || m_linkCount > kMaxLinks)
            m_linkCount = 0;
    } else {
        m_linkCount = 0;
        DrawPlainText(dc, m_manager, rc, text, color, m_font, m_textStyle);
    }
}

} // namespace SkinUI
