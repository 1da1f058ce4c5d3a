// The container's scrolling: its bars, the steps and pages, the positions the
// layouts read, keys and wheel.
#include <climits>

#include "ui/controls/UiContainer.h"
#include "ui/controls/UiLayoutMath.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/core/UiPaintManager.h"

namespace SkinUI {

namespace {
constexpr int kDefaultHorizontalStep = 8;

LONG ToLong(long long v)
{
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<LONG>(v);
}
} // namespace

CScrollBarUI* CContainerUI::VerticalBar() const
{
    return m_externalVBar ? m_externalVBar : m_vbar.get();
}

CScrollBarUI* CContainerUI::HorizontalBar() const { return m_hbar.get(); }

void CContainerUI::ReleaseBar(std::unique_ptr<CScrollBarUI>& bar)
{
    if (!bar)
        return;
    // The bar may be in the middle of its own event (a "scroll" handler that
    // turns scrolling off): the manager deletes it when the message is done.
    if (m_manager && m_delayedDestroy)
        m_manager->DestroyLater(bar.release());
    else
        bar.reset();
}

void CContainerUI::ConfigureScrollBars(bool vertical, bool horizontal)
{
    auto configure = [this](std::unique_ptr<CScrollBarUI>& bar, bool wanted, bool isHorizontal) {
        if (!wanted) {
            ReleaseBar(bar);
            return;
        }
        if (bar)
            return;
        bar.reset(new CScrollBarUI());
        bar->AssignOwner(this);
        bar->Attach(m_manager, nullptr, false);
        if (m_manager) {
            const wchar_t* defaults =
                m_manager->GetDefaultAttributes(isHorizontal ? L"HScrollBar" : L"VScrollBar");
            if (defaults)
                bar->ApplyAttributes(defaults);
        }
        if (isHorizontal)
            bar->AssignHorizontal(true);
    };
    if (!m_externalVBar || !vertical)
        configure(m_vbar, vertical && !m_externalVBar, false);
    if (!vertical)
        m_externalVBar = nullptr;
    configure(m_hbar, horizontal, true);
    RequestLayout();
}

void CContainerUI::AdoptVerticalBar(CScrollBarUI* bar)
{
    if (!bar)
        return;
    ReleaseBar(m_vbar);
    m_externalVBar = bar;
    bar->AssignOwner(this);
    bar->Show(false);
}

// ---- positions

SIZE CContainerUI::ScrollOffset() const
{
    SIZE pos = {0, 0};
    if (const CScrollBarUI* v = VerticalBar(); BarVisible(v))
        pos.cy = ToLong(v->ScrollPosition());
    if (BarVisible(m_hbar.get()))
        pos.cx = ToLong(m_hbar->ScrollPosition());
    return pos;
}

SIZE CContainerUI::ScrollExtent() const
{
    SIZE range = {0, 0};
    if (const CScrollBarUI* v = VerticalBar(); BarVisible(v))
        range.cy = ToLong(v->ScrollRange());
    if (BarVisible(m_hbar.get()))
        range.cx = ToLong(m_hbar->ScrollRange());
    return range;
}

UiScrollState CContainerUI::ScrollStateNow() const
{
    UiScrollState s;
    if (const CScrollBarUI* v = VerticalBar(); BarVisible(v)) {
        s.vVisible = true;
        s.vPos = v->ScrollPosition();
        s.vRange = v->ScrollRange();
    }
    if (BarVisible(m_hbar.get())) {
        s.hVisible = true;
        s.hPos = m_hbar->ScrollPosition();
        s.hRange = m_hbar->ScrollRange();
    }
    return s;
}

void CContainerUI::ScrollTo(SIZE position, bool notify)
{
    long long dx = 0, dy = 0;
    CScrollBarUI* vbar = VerticalBar();
    if (BarVisible(vbar)) {
        const long long old = vbar->ScrollPosition();
        vbar->AssignScrollPosition(position.cy);
        dy = vbar->ScrollPosition() - old;
    }
    if (BarVisible(m_hbar.get())) {
        const long long old = m_hbar->ScrollPosition();
        m_hbar->AssignScrollPosition(position.cx);
        dx = m_hbar->ScrollPosition() - old;
    }
    if (dx == 0 && dy == 0)
        return;
    for (CControlUI* child : m_items) {
        if (!child->Shown() || child->Floating())
            continue;
        RECT rc = child->BoundsRef();
        OffsetRect(&rc, -ToLong(dx), -ToLong(dy));
        child->Place(rc, true);
    }
    Repaint();
    if (vbar && m_manager && notify) {
        const long long line = vbar->LineSize();
        m_manager->SendNotify(this, UiNotify::Scroll,
                              static_cast<WPARAM>((vbar->ScrollPosition() + line) / line), 0);
    }
}

void CContainerUI::AssignScrollStep(int step)
{
    if (step > 0)
        m_scrollStepSize = step;
}

int CContainerUI::ScrollStep() const { return ScaleLength(m_scrollStepSize); }

namespace {
int LineStep(const CContainerUI& c, CPaintManagerUI* manager)
{
    if (c.ScrollStep() > 0)
        return c.ScrollStep();
    if (!manager)
        return 8;
    UiFontInfo* font = manager->GetFontDetails(manager->GetFont(-1));
    return (font ? font->metrics.tmHeight : 0) + 8;
}
} // namespace

void CContainerUI::StepUp()
{
    SIZE pos = ScrollOffset();
    pos.cy -= LineStep(*this, m_manager);
    ScrollTo(pos);
}

void CContainerUI::StepDown()
{
    SIZE pos = ScrollOffset();
    pos.cy += LineStep(*this, m_manager);
    ScrollTo(pos);
}

void CContainerUI::StepLeft()
{
    SIZE pos = ScrollOffset();
    pos.cx -= ScrollStep() > 0 ? ScrollStep() : kDefaultHorizontalStep;
    ScrollTo(pos);
}

void CContainerUI::StepRight()
{
    SIZE pos = ScrollOffset();
    pos.cx += ScrollStep() > 0 ? ScrollStep() : kDefaultHorizontalStep;
    ScrollTo(pos);
}

namespace {
int PageHeight(const CContainerUI& c, const CScrollBarUI* hbar)
{
    const RECT inset = c.Inset();
    RECT item = const_cast<CContainerUI&>(c).BoundsRef();
    int page = (item.bottom - item.top) - inset.top - inset.bottom;
    if (hbar && hbar->OwnVisible())
        page -= hbar->PresetHeight();
    return page;
}
int PageWidth(const CContainerUI& c, const CScrollBarUI* vbar)
{
    const RECT inset = c.Inset();
    RECT item = const_cast<CContainerUI&>(c).BoundsRef();
    int page = (item.right - item.left) - inset.left - inset.right;
    if (vbar && vbar->OwnVisible())
        page -= vbar->PresetWidth();
    return page;
}
} // namespace

void CContainerUI::PageBack()
{
    SIZE pos = ScrollOffset();
    pos.cy -= PageHeight(*this, m_hbar.get());
    ScrollTo(pos);
}

void CContainerUI::PageForward()
{
    SIZE pos = ScrollOffset();
    pos.cy += PageHeight(*this, m_hbar.get());
    ScrollTo(pos);
}

void CContainerUI::PageLeftward()
{
    SIZE pos = ScrollOffset();
    pos.cx -= PageWidth(*this, VerticalBar());
    ScrollTo(pos);
}

void CContainerUI::PageRightward()
{
    SIZE pos = ScrollOffset();
    pos.cx += PageWidth(*this, VerticalBar());
    ScrollTo(pos);
}

void CContainerUI::ScrollToTop()
{
    SIZE pos = ScrollOffset();
    pos.cy = 0;
    ScrollTo(pos);
}

void CContainerUI::ScrollToLeftEnd()
{
    SIZE pos = ScrollOffset();
    pos.cx = 0;
    ScrollTo(pos);
}

void CContainerUI::ScrollToBottom()
{
    // The range is only right after a layout pass: paint (and so lay out) first.
    if (m_manager && m_manager->GetPaintWindow())
        UpdateWindow(m_manager->GetPaintWindow());
    SIZE pos = ScrollOffset();
    pos.cy = ScrollExtent().cy;
    ScrollTo(pos);
}

void CContainerUI::ScrollToRightEnd()
{
    if (m_manager && m_manager->GetPaintWindow())
        UpdateWindow(m_manager->GetPaintWindow());
    SIZE pos = ScrollOffset();
    pos.cx = ScrollExtent().cx;
    ScrollTo(pos);
}

// ---- the bars follow the content

void CContainerUI::UpdateScrollBars(const RECT& rect, int cxRequired, int cyRequired)
{
    // Each direction: show the bar when the content overflows, hide it when it
    // fits, and keep its range equal to the overflow. Any change that moves the
    // content lays the container out again; that pass settles both bars, so this
    // one stops there.
    struct Direction {
        CScrollBarUI* bar;
        long long overflow;
        RECT place;
    };
    Direction directions[2];
    int n = 0;
    if (m_hbar) {
        directions[n++] = {m_hbar.get(),
                           static_cast<long long>(cxRequired) - (rect.right - rect.left),
                           RECT{rect.left, rect.bottom, rect.right,
                                rect.bottom + m_hbar->PresetHeight()}};
    }
    if (CScrollBarUI* v = VerticalBar()) {
        directions[n++] = {v, static_cast<long long>(cyRequired) - (rect.bottom - rect.top),
                           RECT{rect.right, rect.top, rect.right + v->PresetWidth(), rect.bottom}};
    }
    for (int i = 0; i < n; ++i) {
        CScrollBarUI* bar = directions[i].bar;
        const long long overflow = directions[i].overflow;
        if (bar->OwnVisible()) {
            if (overflow > 0) {
                bar->Place(directions[i].place, true);
                if (bar->ScrollRange() == overflow)
                    continue;
                const long long before = bar->ScrollPosition();
                bar->AssignScrollRange(overflow);
                if (bar->ScrollPosition() < before && PlaceAgain())
                    return;
            } else {
                bar->Show(false);
                bar->AssignScrollPosition(0);
                bar->AssignScrollRange(0);
                if (PlaceAgain())
                    return;
            }
        } else if (overflow > 0) {
            bar->Show(true);
            bar->AssignScrollRange(overflow);
            bar->AssignScrollPosition(0);
            if (PlaceAgain())
                return;
        }
    }
}

// ---- events

void CContainerUI::ProcessEvent(UiEvent& event)
{
    if (!m_mouseEnabled && IsMouseEvent(event.kind)) {
        if (m_parent)
            m_parent->ProcessEvent(event);
        else
            CControlUI::ProcessEvent(event);
        return;
    }
    if (event.kind == UIEVENT_SETFOCUS) {
        m_focused = true;
        return;
    }
    if (event.kind == UIEVENT_KILLFOCUS) {
        m_focused = false;
        return;
    }
    struct KeyAction {
        WPARAM key;
        void (CContainerUI::*vertical)();
        void (CContainerUI::*horizontal)();
    };
    static const KeyAction kKeys[] = {
        {VK_PRIOR, &CContainerUI::PageBack, &CContainerUI::PageLeftward},
        {VK_NEXT, &CContainerUI::PageForward, &CContainerUI::PageRightward},
        {VK_END, &CContainerUI::ScrollToBottom, &CContainerUI::ScrollToRightEnd},
        {VK_HOME, &CContainerUI::ScrollToTop, &CContainerUI::ScrollToLeftEnd},
        {VK_UP, &CContainerUI::StepUp, &CContainerUI::StepLeft},
        {VK_DOWN, &CContainerUI::StepDown, &CContainerUI::StepRight},
    };
    const CScrollBarUI* vbar = m_vbar.get();
    const bool vertical = vbar && vbar->OwnVisible() && vbar->Enabled();
    const bool horizontal = !vertical && m_hbar && m_hbar->OwnVisible() && m_hbar->Enabled();
    if (vertical || horizontal) {
        if (event.kind == UIEVENT_KEYDOWN) {
            for (const KeyAction& k : kKeys) {
                if (k.key == static_cast<WPARAM>(event.key)) {
                    (this->*(vertical ? k.vertical : k.horizontal))();
                    return;
                }
            }
        } else if (event.kind == UIEVENT_SCROLLWHEEL) {
            const WORD direction = LOWORD(event.wParam);
            if (direction == 0 || direction == 1) {
                if (vertical)
                    direction == 0 ? StepUp() : StepDown();
                else
                    direction == 0 ? StepLeft() : StepRight();
                return;
            }
        }
    }
    CControlUI::ProcessEvent(event);
}

} // namespace SkinUI
