// The control base inside a live window: invalidation, layout requests, DPI
// scaling, focus, timers and the notifications the base sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "../paint/PaintTestUtil.h"
#include "TestContainer.h"
#include "ui/controls/UiControl.h"

using namespace SkinUI;
using ControlTests::CTestContainer;

namespace {

// A real window (the paint tests' helper) plus what the control cases look at:
// the window's update region and the notifications heard.
struct LiveWindow {
    PaintTest::EventLog log;
    PaintTest::Recorder recorder{&log};
    PaintTest::TestWindow window;

    LiveWindow(int width, int height) : window(width, height, false)
    {
        window.Manager().AddNotifier(&recorder);
    }
    ~LiveWindow() { window.Manager().RemoveNotifier(&recorder); }
    CPaintManagerUI& manager() { return window.Manager(); }
    HWND hwnd() { return window.Handle(); }
    bool HasUpdateRegion() { return GetUpdateRect(hwnd(), nullptr, FALSE) != 0; }
    void Validate() { ValidateRect(hwnd(), nullptr); }
    void PaintNow()
    {
        InvalidateRect(hwnd(), nullptr, FALSE);
        UpdateWindow(hwnd());
    }
    // "type:sender:wParam", with "@virtualwnd" when the record carries one.
    bool Heard(const std::wstring& entry) const
    {
        for (const UiNotification& n : recorder.seen) {
            std::wstring text = std::wstring(n.type.GetData()) + L":" +
                                (n.sender ? n.sender->Name().GetData() : L"") + L":" +
                                std::to_wstring(n.wParam);
            if (!n.virtualWindow.IsEmpty())
                text += L"@" + std::wstring(n.virtualWindow.GetData());
            if (text == entry)
                return true;
        }
        return false;
    }
    void Forget() { recorder.seen.clear(); }
};

// A root container with one child "kid" at (10,10)-(60,40), laid out and painted.
struct Tree {
    CTestContainer* root = new CTestContainer;
    CControlUI* kid = new CControlUI;
    LiveWindow window{120, 80};
    Tree()
    {
        kid->ApplyAttributes(L"name=\"kid\" float=\"true\" pos=\"10,10,60,40\"");
        root->AddItem(kid);
        EXPECT_TRUE(window.window.Show(root));
        window.PaintNow();
        window.Validate();
    }
};

std::string Nothing() { return ""; }

TEST(ControlLive, SameTextInvalidatesOnce)
{
    Tree t;
    t.kid->AssignText(L"a{\\n}b");
    EXPECT_TRUE(t.window.HasUpdateRegion());
    t.window.Validate();
    t.kid->AssignText(L"a\nb");   // the same text once the marker is replaced
    EXPECT_FALSE(t.window.HasUpdateRegion());
}

struct RepaintCase {
    const char* label;
    void (*change)(CControlUI&);
    bool second;   // whether doing it again invalidates again
};

const RepaintCase kRepaintCases[] = {
    {"bkcolor", [](CControlUI& c) { c.AssignBkColor(0xFF112233); }, false},
    {"border colour", [](CControlUI& c) { c.AssignBorderColor(0xFF000001); }, false},
    {"border size always", [](CControlUI& c) { c.AssignBorderSize(1); }, true},
    {"enable on change", [](CControlUI& c) { c.Enable(false); }, false},
};

class ControlRepaintTest : public ::testing::TestWithParam<RepaintCase> {};

TEST_P(ControlRepaintTest, SettersInvalidateTheControl)
{
    Tree t;
    GetParam().change(*t.kid);
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(t.window.hwnd(), &dirty, FALSE)) << GetParam().label;
    EXPECT_EQ(dirty.left, 10);
    EXPECT_EQ(dirty.bottom, 40);
    t.window.Validate();
    GetParam().change(*t.kid);
    EXPECT_EQ(t.window.HasUpdateRegion(), GetParam().second) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(Control, ControlRepaintTest, ::testing::ValuesIn(kRepaintCases));

TEST(ControlLive, RepaintStaysInsideTheAncestors)
{
    Tree t;
    t.kid->Place(RECT{200, 200, 260, 240}, false);   // entirely outside the root
    t.window.Validate();
    t.kid->AssignBkColor(0xFF010101);
    EXPECT_FALSE(t.window.HasUpdateRegion());
    t.kid->Place(RECT{100, 60, 160, 100}, false);    // half outside
    t.window.Validate();
    t.kid->AssignBkColor(0xFF020202);
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(t.window.hwnd(), &dirty, FALSE));
    EXPECT_EQ(dirty.right, 120);
    EXPECT_EQ(dirty.bottom, 80);
    t.window.Validate();
    t.kid->Show(false);
    t.window.Validate();
    t.kid->AssignBkColor(0xFF030303);
    EXPECT_FALSE(t.window.HasUpdateRegion()) << "hidden controls never invalidate";
}

TEST(ControlLive, PlaceInvalidatesOldAndNewAndRaisesSizeOnce)
{
    Tree t;
    static int raised = 0;
    static CControlUI* reentered = nullptr;
    raised = 0;
    reentered = t.kid;
    t.kid->OnSize += [](void*) {
        ++raised;
        reentered->Place(RECT{0, 0, 5, 5}, false);   // re-entry must not raise again
        return true;
    };
    t.kid->Place(RECT{70, 50, 90, 70}, true);
    EXPECT_EQ(raised, 1);
    RECT dirty;
    ASSERT_TRUE(GetUpdateRect(t.window.hwnd(), &dirty, FALSE));
    EXPECT_EQ(dirty.left, 10);
    EXPECT_EQ(dirty.top, 10);
    EXPECT_EQ(dirty.right, 90);
    EXPECT_EQ(dirty.bottom, 70);
    EXPECT_FALSE(t.kid->LayoutPending());
}

TEST(ControlLive, LayoutRequestsReachTheManager)
{
    Tree t;
    t.window.PaintNow();
    ASSERT_FALSE(t.window.manager().IsUpdateNeeded());
    t.kid->AssignPresetWidth(20);
    EXPECT_TRUE(t.window.manager().IsUpdateNeeded());
    EXPECT_TRUE(t.root->LayoutPending());
    t.window.PaintNow();
    EXPECT_EQ(t.kid->BoundsWidth(), 20) << "the next paint lays the tree out again";
}

TEST(ControlLive, LengthsAreScaledOnReadOnly)
{
    LiveWindow window(50, 50);
    CControlUI control;
    control.ApplyAttributes(L"width=\"40\" height=\"20\" padding=\"2,4,6,8\" bordersize=\"2\" "
                            L"borderround=\"4,6\" minwidth=\"10\" maxheight=\"100\" pos=\"10,20,50,40\"");
    window.manager().GetDpi().SetScale(144);   // 150 %
    control.Attach(&window.manager(), nullptr, false);
    EXPECT_EQ(control.PresetWidth(), 60);
    EXPECT_EQ(control.PresetHeight(), 30);
    EXPECT_EQ(control.MeasureSize(SIZE{0, 0}).cx, 60);
    EXPECT_EQ(control.Padding().left, 3);
    EXPECT_EQ(control.Padding().bottom, 12);
    EXPECT_EQ(control.BorderSize(), 3);
    EXPECT_EQ(control.BorderRound().cy, 9);
    EXPECT_EQ(control.MinimumWidth(), 15);
    EXPECT_EQ(control.MaximumHeight(), 150);
    EXPECT_EQ(control.FloatOffset().cy, 30);
    EXPECT_EQ(control.HintWidth(), 450);
    control.Attach(nullptr, nullptr, false);
    EXPECT_EQ(control.PresetWidth(), 40) << "stored unscaled";
}

TEST(ControlLive, HidingTheFocusedControlClearsTheFocus)
{
    Tree t;
    t.kid->TakeFocus();
    ASSERT_EQ(t.window.manager().GetFocus(), t.kid);
    EXPECT_TRUE(t.kid->HasFocus());
    t.kid->Show(false);
    EXPECT_EQ(t.window.manager().GetFocus(), nullptr);
    t.kid->Show(true);
    t.kid->TakeFocus();
    t.kid->ShowByParent(false);
    EXPECT_EQ(t.window.manager().GetFocus(), nullptr);
}

TEST(ControlLive, ContextMenuSendsMenuOnlyWhenAsked)
{
    Tree t;
    UiEvent e;
    e.kind = UIEVENT_CONTEXTMENU;
    e.wParam = 5;
    t.kid->HandleEvent(e);
    EXPECT_FALSE(t.window.Heard(L"menu:kid:5"));
    t.kid->ApplyAttribute(L"menu", L"true");
    t.kid->HandleEvent(e);
    EXPECT_TRUE(t.window.Heard(L"menu:kid:5"));
}

TEST(ControlLive, TimersFireAsNotificationsUntilKilled)
{
    Tree t;
    ASSERT_TRUE(t.kid->SetTimer(7, 10));
    EXPECT_TRUE(PaintTest::PumpUntil([&] { return t.window.Heard(L"timer:kid:7"); }, 2000, Nothing));
    EXPECT_TRUE(t.kid->KillTimer(7));
    t.window.Forget();
    PaintTest::PumpFor(120);
    EXPECT_FALSE(t.window.Heard(L"timer:kid:7"));
    EXPECT_TRUE(t.kid->SetTimer(7, 10)) << "a killed timer can be armed again";
    EXPECT_TRUE(PaintTest::PumpUntil([&] { return t.window.Heard(L"timer:kid:7"); }, 2000, Nothing));
    t.kid->KillAllTimers();
    CControlUI loose;
    EXPECT_FALSE(loose.SetTimer(1, 10)) << "no manager, no timer";
}

TEST(ControlLive, NotificationsCarryTheNearestVirtualWindowName)
{
    auto* page = new CTestContainer;
    auto* button = new CControlUI;
    page->ApplyAttributes(L"virtualwnd=\"install2\"");   // before the page has a manager
    button->AssignName(L"go");
    page->AddItem(button);
    LiveWindow window(50, 50);
    ASSERT_TRUE(window.window.Show(page));
    EXPECT_TRUE(window.manager().UsesVirtualWindowNames());
    window.manager().SendNotify(button, L"click");
    EXPECT_TRUE(window.Heard(L"click:go:0@install2"));
}

TEST(ControlLive, TextExtentMeasuresWithTheManagerFont)
{
    LiveWindow window(50, 50);
    CControlUI control;
    EXPECT_EQ(control.TextExtent(L"Hello", -1).cx, 0);
    control.Attach(&window.manager(), nullptr, false);
    SIZE one = control.TextExtent(L"Hello", -1);
    SIZE two = control.TextExtent(L"HelloHello", -1);
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(one.cy, 0);
    EXPECT_GT(two.cx, one.cx);
    control.Attach(nullptr, nullptr, false);
}

TEST(ControlLive, DestroyingAControlDropsTheManagersPointers)
{
    LiveWindow window(50, 50);
    auto* control = new CControlUI;
    control->Attach(&window.manager(), nullptr, false);
    control->Place(RECT{0, 0, 10, 10}, false);
    control->TakeFocus();
    ASSERT_EQ(window.manager().GetFocus(), control);
    ASSERT_TRUE(control->SetTimer(3, 10));
    delete control;
    EXPECT_EQ(window.manager().GetFocus(), nullptr);
    PaintTest::PumpFor(60);   // a stale timer would reach freed memory
}

} // namespace
