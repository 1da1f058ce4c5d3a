// Tab pages and scrolling in a live window: "tabselect", the bars a container
// shows for its content, keys, wheel and the "scroll" notification.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WidgetWindow.h"
#include "ui/controls/UiButton.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/controls/UiVerticalLayout.h"

using namespace SkinUI;
using WidgetTests::CWidgetWindow;

TEST(TabLayout, SwitchSendsTabSelectOnce)
{
    auto* root = new CVerticalLayoutUI();
    auto* go = new CButtonUI();
    go->ApplyAttributes(L"name=\"go\" height=\"30\" bindtablayoutname=\"tabs\" bindtabindex=\"2\"");
    auto* tabs = new CTabLayoutUI();
    tabs->ApplyAttributes(L"name=\"tabs\"");
    CControlUI* pages[3];
    for (int i = 0; i < 3; ++i) {
        pages[i] = new CControlUI();
        pages[i]->AssignName((L"page" + std::to_wstring(i)).c_str());
        tabs->AddItem(pages[i]);
    }
    root->AddItem(go);
    root->AddItem(tabs);
    CWidgetWindow w(200, 200, root);

    EXPECT_TRUE(tabs->ShowPage(1));
    EXPECT_EQ(w.CountType(L"tabselect"), 1);
    EXPECT_EQ(w.CountHeard(L"tabselect:tabs:1"), 1);
    EXPECT_TRUE(tabs->ShowPage(1));             // already selected: nothing sent
    EXPECT_TRUE(tabs->ShowPage(pages[1]));
    EXPECT_FALSE(tabs->ShowPage(7));
    EXPECT_EQ(w.CountType(L"tabselect"), 1);

    // The bound button switches to page 2: click, then one "tabselect".
    w.heard.clear();
    const POINT p = CWidgetWindow::CentreOf(go);
    w.Click(p.x, p.y);
    // Painting and focus moves send their own notifications; only the click and
    // the tab's business count here.
    std::vector<std::wstring> seen;
    for (const std::wstring& e : w.heard)
        if (e.rfind(L"click", 0) == 0 || e.rfind(L"tabselect", 0) == 0)
            seen.push_back(e);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"click:go:0", L"tabselect:tabs:2"}));
    w.Click(p.x, p.y);
    EXPECT_EQ(w.CountType(L"tabselect"), 1);

    w.PaintNow();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pages[i]->Shown(), i == 2) << i;
    EXPECT_EQ(pages[2]->BoundsRef().top, 30);
    EXPECT_EQ(pages[2]->BoundsRef().bottom, 200);
}

namespace {
// A 100 x 100 scrolling column of `rows` rows of 20 pixels.
struct ScrollColumn {
    CVerticalLayoutUI* root = new CVerticalLayoutUI();
    CVerticalLayoutUI* list = new CVerticalLayoutUI();
    explicit ScrollColumn(int rows)
    {
        list->ApplyAttributes(L"name=\"list\" vscrollbar=\"true\" scrollstepsize=\"10\"");
        for (int i = 0; i < rows; ++i) {
            auto* row = new CControlUI();
            row->ApplyAttributes(L"height=\"20\"");
            list->AddItem(row);
        }
        root->AddItem(list);
    }
};
} // namespace

TEST(ScrollBar, ThumbAndRangeFollowTheContent)
{
    ScrollColumn s(20);   // 400 pixels of rows in 100
    CWidgetWindow w(100, 100, s.root);
    CScrollBarUI* bar = s.list->VerticalBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->OwnVisible());
    EXPECT_EQ(bar->ScrollRange(), 300);
    // Bar height 100, two 16-pixel buttons, range 300: usable 68, thumb 17.
    EXPECT_EQ(bar->ThumbRect().bottom - bar->ThumbRect().top, 17);
    EXPECT_EQ(bar->ThumbRect().top, 16);
    EXPECT_EQ(s.list->ItemAt(0)->BoundsRef().right, 84);   // the bar takes 16

    // Wheel and keys scroll, and every change sends "scroll".
    const POINT mid = CWidgetWindow::CentreOf(s.list->ItemAt(1));
    POINT screen = mid;
    ClientToScreen(w.hwnd(), &screen);
    SendMessageW(w.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(bar->ScrollPosition(), 10);
    EXPECT_EQ(s.list->ItemAt(0)->BoundsRef().top, -10);
    EXPECT_EQ(w.CountHeard(L"scroll:list:2"), 1);   // (10 + 8) / 8
    s.list->PageForward();
    EXPECT_EQ(bar->ScrollPosition(), 110);
    s.list->ScrollToTop();
    EXPECT_EQ(bar->ScrollPosition(), 0);
    s.list->ScrollTo(SIZE{0, 5000});
    EXPECT_EQ(bar->ScrollPosition(), 300);
    EXPECT_EQ(bar->ThumbRect().bottom, 84);

    // Content that shrinks below the client hides the bar and resets it.
    while (s.list->ItemCount() > 3)
        s.list->RemoveItemAt(0);
    w.PaintNow();
    EXPECT_FALSE(bar->OwnVisible());
    EXPECT_EQ(bar->ScrollPosition(), 0);
    EXPECT_EQ(s.list->ItemAt(0)->BoundsRef().top, 0);
    EXPECT_EQ(s.list->ItemAt(0)->BoundsRef().right, 100);
}

TEST(ScrollBar, ButtonsAndTrackStepAndPage)
{
    ScrollColumn s(20);
    CWidgetWindow w(100, 100, s.root);
    CScrollBarUI* bar = s.list->VerticalBar();
    ASSERT_NE(bar, nullptr);
    const RECT b2 = bar->Button2Rect();
    w.Move((b2.left + b2.right) / 2, (b2.top + b2.bottom) / 2);
    w.Press((b2.left + b2.right) / 2, (b2.top + b2.bottom) / 2);
    w.Release((b2.left + b2.right) / 2, (b2.top + b2.bottom) / 2);
    EXPECT_EQ(bar->ScrollPosition(), 10);   // one step of the container
    // On the track below the thumb: one page.
    const RECT thumb = bar->ThumbRect();
    w.Press((thumb.left + thumb.right) / 2, thumb.bottom + 5);
    w.Release((thumb.left + thumb.right) / 2, thumb.bottom + 5);
    EXPECT_EQ(bar->ScrollPosition(), 110);
    EXPECT_GE(w.CountType(L"scroll"), 2);
}
