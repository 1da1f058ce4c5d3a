// Buttons and options in a live window: what a press, a release and a move make
// of them, and the notifications they send.
#include <gtest/gtest.h>

#include <cwchar>

#include "WidgetWindow.h"
#include "ui/controls/UiButton.h"
#include "ui/controls/UiOption.h"
#include "ui/controls/UiVerticalLayout.h"

using namespace SkinUI;
using WidgetTests::CWidgetWindow;

namespace {

// A column of 40-pixel rows, one per control given, in a 200 x 200 window.
template <class T>
T* Row(CVerticalLayoutUI* column, const wchar_t* attributes)
{
    T* control = new T();
    control->ApplyAttributes(attributes);
    control->ApplyAttributes(L"height=\"40\"");
    column->AddItem(control);
    return control;
}

int g_destroyed = 0;
bool CountDestroyed(void*)
{
    ++g_destroyed;
    return true;
}

struct Column {
    CVerticalLayoutUI* root = new CVerticalLayoutUI();
};

} // namespace

TEST(Button, ClicksOnReleaseInsideOnly)
{
    Column c;
    CButtonUI* ok = Row<CButtonUI>(c.root, L"name=\"ok\" text=\"OK\"");
    CWidgetWindow w(200, 200, c.root);
    const POINT mid = CWidgetWindow::CentreOf(ok);

    w.Click(mid.x, mid.y);
    EXPECT_EQ(w.CountHeard(L"click:ok:0"), 1);

    // Pressed inside, dragged out and released there: no click, and once the
    // pointer has left the button is neither pushed nor hot.
    w.heard.clear();
    w.Move(mid.x, mid.y);
    w.Press(mid.x, mid.y);
    EXPECT_TRUE(ok->ButtonState() & UISTATE_PUSHED);
    w.Move(mid.x, 150);
    EXPECT_FALSE(ok->ButtonState() & UISTATE_PUSHED);
    w.Release(mid.x, 150);
    w.Move(mid.x, 160);
    w.Drain();
    EXPECT_EQ(w.CountType(L"click"), 0);
    EXPECT_FALSE(ok->ButtonState() & (UISTATE_PUSHED | UISTATE_HOT | UISTATE_CAPTURED));

    // Out and back in before the release: that is a click.
    w.Press(mid.x, mid.y);
    w.Move(mid.x, 150);
    w.Move(mid.x, mid.y);
    w.Release(mid.x, mid.y);
    w.Drain();
    EXPECT_EQ(w.CountHeard(L"click:ok:0"), 1);
}

TEST(Button, DisabledNeverClicks)
{
    Column c;
    CButtonUI* off = Row<CButtonUI>(c.root, L"name=\"off\" enabled=\"false\"");
    CWidgetWindow w(200, 200, c.root);
    const POINT mid = CWidgetWindow::CentreOf(off);
    w.Click(mid.x, mid.y);
    SendMessageW(w.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(mid.x, mid.y));
    w.Release(mid.x, mid.y);
    off->TakeFocus();
    SendMessageW(w.hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(w.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(off->Trigger());
    w.Drain();
    EXPECT_EQ(w.CountType(L"click"), 0);
    EXPECT_EQ(off->ButtonState(), static_cast<UINT>(UISTATE_DISABLED));
    // Enabled again, the same press clicks.
    off->Enable(true);
    w.Click(mid.x, mid.y);
    EXPECT_EQ(w.CountHeard(L"click:off:0"), 1);
}

TEST(Button, ClickThatRemovesEverythingLeavesNothingDangling)
{
    Column c;
    CButtonUI* first = Row<CButtonUI>(c.root, L"name=\"first\"");
    Row<CButtonUI>(c.root, L"name=\"second\"");
    CWidgetWindow w(200, 200, c.root);
    g_destroyed = 0;
    int& destroyed = g_destroyed;
    for (int i = 0; i < c.root->ItemCount(); ++i)
        c.root->ItemAt(i)->OnDestroy += CountDestroyed;
    bool stillAliveInHandler = false;
    w.onNotify = [&](UiNotification& n) {
        if (n.type == L"click") {
            // The sender is hovered, captured and in the middle of its own event.
            c.root->RemoveAllItems();
            stillAliveInHandler = destroyed == 0;
        }
    };
    const POINT mid = CWidgetWindow::CentreOf(first);
    w.Move(mid.x, mid.y);
    w.Press(mid.x, mid.y);
    w.Release(mid.x, mid.y);
    EXPECT_TRUE(stillAliveInHandler);
    // The pointer keeps moving over where the buttons were.
    w.Move(mid.x, mid.y + 1);
    w.Move(mid.x, 150);
    EXPECT_TRUE(w.PumpUntil([&] { return destroyed == 2; }));
    EXPECT_NE(w.manager().GetHover(), static_cast<CControlUI*>(first));
    EXPECT_EQ(w.manager().GetClick(), nullptr);
    w.PaintNow();
}

TEST(Option, GroupIsExclusiveAndNotifiesOnce)
{
    Column c;
    COptionUI* a = Row<COptionUI>(c.root, L"name=\"a\" group=\"g\"");
    COptionUI* b = Row<COptionUI>(c.root, L"name=\"b\" group=\"g\"");
    CWidgetWindow w(200, 200, c.root);
    const POINT pa = CWidgetWindow::CentreOf(a), pb = CWidgetWindow::CentreOf(b);

    w.Click(pa.x, pa.y);
    EXPECT_TRUE(a->Selected());
    EXPECT_EQ(w.CountType(L"selectchanged"), 1);
    EXPECT_EQ(w.CountHeard(L"selectchanged:a:0"), 1);

    w.heard.clear();
    w.Click(pb.x, pb.y);
    EXPECT_TRUE(b->Selected());
    EXPECT_FALSE(a->Selected());
    // Only the newly selected one reports; the one it unselected stays quiet.
    EXPECT_EQ(w.CountType(L"selectchanged"), 1);
    EXPECT_EQ(w.CountHeard(L"selectchanged:b:0"), 1);

    // Clicking the selected member of a group changes nothing.
    w.heard.clear();
    w.Click(pb.x, pb.y);
    EXPECT_TRUE(b->Selected());
    EXPECT_EQ(w.CountType(L"selectchanged"), 0);
    EXPECT_EQ(w.CountHeard(L"click:b:0"), 1);
}

TEST(Option, WithoutGroupTogglesBothWays)
{
    Column c;
    COptionUI* o = Row<COptionUI>(c.root, L"name=\"o\"");
    CCheckBoxUI* box = Row<CCheckBoxUI>(c.root, L"name=\"box\"");
    CWidgetWindow w(200, 200, c.root);
    const POINT p = CWidgetWindow::CentreOf(o);
    w.Click(p.x, p.y);
    EXPECT_TRUE(o->Selected());
    w.Click(p.x, p.y);
    EXPECT_FALSE(o->Selected());
    EXPECT_EQ(w.CountHeard(L"selectchanged:o:0"), 2);

    // A check box reports its new state.
    const POINT q = CWidgetWindow::CentreOf(box);
    w.Click(q.x, q.y);
    w.Click(q.x, q.y);
    EXPECT_EQ(w.CountHeard(L"selectchanged:box:1"), 1);
    EXPECT_EQ(w.CountHeard(L"selectchanged:box:0"), 1);
}

TEST(Option, LeavesItsGroupWhenDestroyed)
{
    Column c;
    COptionUI* a = Row<COptionUI>(c.root, L"name=\"a\" group=\"g\" selected=\"true\"");
    COptionUI* b = Row<COptionUI>(c.root, L"name=\"b\" group=\"g\"");
    CWidgetWindow w(200, 200, c.root);
    ASSERT_EQ(w.manager().GetOptionGroup(L"g")->GetSize(), 2);
    c.root->AssignDefersDeletion(false);
    c.root->RemoveItem(a);
    EXPECT_EQ(w.manager().GetOptionGroup(L"g")->GetSize(), 1);
    b->Select(true);   // must not touch the removed member
    EXPECT_TRUE(b->Selected());
}

TEST(Button, StateStripIsCutIntoStates)
{
    struct Case {
        int count;
        const wchar_t* normal;
        const wchar_t* hot;
        const wchar_t* pushed;
        const wchar_t* disabled;
    };
    const Case cases[] = {
        {4, L"source='0,0,100,10'", L"source='100,0,200,10'", L"source='200,0,300,10'",
         L"source='300,0,400,10'"},
        // Two states: pushed looks like hot.
        {2, L"source='0,0,200,10'", L"source='200,0,400,10'", L"source='200,0,400,10'", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        Column col;
        CButtonUI* b = Row<CButtonUI>(col.root, L"name=\"b\"");
        CWidgetWindow w(200, 200, col.root);
        w.AddSolidImage(L"strip", 400, 10, 0xFF336699);
        b->AssignStateCount(c.count);
        b->AssignStateImage(L"strip");
        w.PaintNow();
        auto has = [](const CUiString& image, const wchar_t* part) {
            return *part ? wcsstr(image.GetData(), part) != nullptr : image.IsEmpty();
        };
        EXPECT_TRUE(has(b->NormalImage(), c.normal)) << b->NormalImage().GetData();
        EXPECT_TRUE(has(b->HotImage(), c.hot)) << b->HotImage().GetData();
        EXPECT_TRUE(has(b->PushedImage(), c.pushed)) << b->PushedImage().GetData();
        EXPECT_TRUE(has(b->DisabledImage(), c.disabled)) << b->DisabledImage().GetData();
        // The normal state paints the strip's colour.
        const POINT mid = CWidgetWindow::CentreOf(b);
        EXPECT_EQ(w.PixelAt(mid.x, mid.y), 0x336699u);
    }
}

TEST(Layout, SeparatorDragResizesTheLayout)
{
    for (bool immediate : {false, true}) {
        SCOPED_TRACE(immediate ? "immediate" : "on release");
        auto* root = new CVerticalLayoutUI();
        root->ApplyAttributes(L"bkcolor=\"#FFFFFFFF\"");
        auto* top = new CVerticalLayoutUI();
        top->ApplyAttributes(immediate ? L"height=\"60\" sepheight=\"4\" sepimm=\"true\""
                                       : L"height=\"60\" sepheight=\"4\"");
        auto* rest = new CControlUI();
        root->AddItem(top);
        root->AddItem(rest);
        CWidgetWindow w(200, 200, root);
        ASSERT_EQ(top->BoundsRef().bottom, 60);
        w.Move(100, 58);
        w.Press(100, 58);
        w.Move(100, 70);
        w.Move(100, 88);
        if (!immediate) {
            // Only the dark strip moves until the release.
            w.PaintNow();
            EXPECT_EQ(rest->BoundsRef().top, 60);
            EXPECT_LT(w.PixelAt(100, 86) & 0xFF, 0x80u);   // dark strip at the new edge
            EXPECT_EQ(w.PixelAt(100, 120), 0xFFFFFFu);
        }
        w.Release(100, 88);
        w.PaintNow();
        EXPECT_EQ(top->PresetHeight(), 90);
        EXPECT_EQ(top->BoundsRef().bottom, 90);
        EXPECT_EQ(rest->BoundsRef().top, 90);
    }
}
