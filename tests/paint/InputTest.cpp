// Mouse input on a real window: the order of events and notifications for click,
// double click, right click and wheel; capture; hover and leave; message filters.
#include "PaintTestUtil.h"

namespace PaintTest {
namespace {

// Probes without the tab-stop flag, so no control holds the focus at the start.
struct InputFixture : ::testing::Test {
    EventLog log;
    Recorder recorder{&log};
    TestWindow window{200, 120, false};
    TestBox* root = new TestBox(RECT{0, 0, 200, 120});
    ProbeControl* button = new ProbeControl("btn", &log, RECT{20, 20, 100, 60}, 0);
    ProbeControl* other = new ProbeControl("other", &log, RECT{120, 20, 180, 60}, 0);

    void SetUp() override
    {
        // The real pointer stays away from the window so only our messages count.
        SetCursorPos(1200, 900);
        root->AddItem(button);
        root->AddItem(other);
        ASSERT_TRUE(window.Show(root));
        window.Manager().AddNotifier(&recorder);
        log.Clear();
    }
    void TearDown() override { window.Manager().RemoveNotifier(&recorder); }

    void Send(UINT message, WPARAM wParam, int x, int y)
    {
        SendMessageW(window.Handle(), message, wParam, MAKELPARAM(x, y));
    }
    void SendScreen(UINT message, WPARAM wParam, int x, int y)
    {
        const POINT pt = window.ScreenPoint(x, y);
        SendMessageW(window.Handle(), message, wParam, MAKELPARAM(pt.x, pt.y));
    }
    // The log without mouse moves, which depend on how often the system sends them.
    std::string Quiet() const
    {
        EventLog quiet;
        for (const std::string& entry : log.entries)
            if (entry.find(":move") == std::string::npos) quiet.Add(entry);
        return quiet.Joined();
    }
};

TEST_F(InputFixture, NotificationOrderForEachKindOfClick)
{
    struct Case {
        const char* name;
        std::function<void(InputFixture&)> act;
        const char* expected;
    } cases[] = {
        {"click",
         [](InputFixture& f) {
             f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
             f.Send(WM_LBUTTONUP, 0, 30, 30);
         },
         "ev:btn:setfocus n:setfocus:btn ev:btn:down ev:btn:up n:click:btn"},
        {"double click",
         [](InputFixture& f) {
             f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
             f.Send(WM_LBUTTONUP, 0, 30, 30);
             f.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 30, 30);
             f.Send(WM_LBUTTONUP, 0, 30, 30);
         },
         "ev:btn:setfocus n:setfocus:btn ev:btn:down ev:btn:up n:click:btn ev:btn:dblclick "
         "ev:btn:up n:click:btn"},
        {"right click with a context menu",
         [](InputFixture& f) {
             f.button->EnableContextMenu(true);
             f.Send(WM_RBUTTONDOWN, MK_RBUTTON, 30, 30);
             f.Send(WM_RBUTTONUP, 0, 30, 30);
             f.SendScreen(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.window.Handle()), 30, 30);
         },
         "ev:btn:setfocus n:setfocus:btn ev:btn:rdown ev:btn:rup ev:btn:contextmenu n:menu:btn"},
        {"wheel",
         [](InputFixture& f) { f.SendScreen(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 30, 30); },
         // The wheel, then the mouse move sent after it makes hover follow.
         "ev:btn:wheel ev:btn:enter"},
        {"click on the second control moves the focus",
         [](InputFixture& f) {
             f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
             f.Send(WM_LBUTTONUP, 0, 30, 30);
             f.Send(WM_LBUTTONDOWN, MK_LBUTTON, 130, 30);
             f.Send(WM_LBUTTONUP, 0, 130, 30);
         },
         "ev:btn:setfocus n:setfocus:btn ev:btn:down ev:btn:up n:click:btn ev:btn:killfocus "
         "n:killfocus:btn ev:other:setfocus n:setfocus:other ev:other:down ev:other:up "
         "n:click:other"},
    };
    for (const Case& c : cases) {
        window.Manager().SetFocus(nullptr);
        log.Clear();
        c.act(*this);
        EXPECT_EQ(Quiet(), c.expected) << c.name;
        // Nothing stays captured or clicked after a full click.
        EXPECT_FALSE(window.Manager().IsCaptured()) << c.name;
    }
}

TEST_F(InputFixture, WheelEventCarriesDirectionInLowWord)
{
    std::vector<WPARAM> seen;
    button->onEvent = [&seen](UiEvent& e) {
        if (e.kind == UIEVENT_SCROLLWHEEL) seen.push_back(e.wParam);
    };
    SendScreen(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 30, 30);
    SendScreen(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 30, 30);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(LOWORD(seen[0]), 1);
    EXPECT_EQ(static_cast<short>(HIWORD(seen[0])), -120);
    EXPECT_EQ(LOWORD(seen[1]), 0);
    EXPECT_EQ(window.Manager().GetLastMousePos().x, 30);
}

TEST_F(InputFixture, ReleaseOutsideGoesToThePressedControlThenLeaveOnce)
{
    Send(WM_MOUSEMOVE, 0, 30, 30);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
    EXPECT_TRUE(window.Manager().IsCaptured());
    Send(WM_MOUSEMOVE, MK_LBUTTON, 150, 100);   // off the button, still captured
    Send(WM_MOUSEMOVE, MK_LBUTTON, 130, 30);    // over the other control: no hover change
    Send(WM_LBUTTONUP, 0, 130, 30);
    EXPECT_FALSE(window.Manager().IsCaptured());
    Send(WM_MOUSEMOVE, 0, 130, 31);
    Send(WM_MOUSEMOVE, 0, 131, 31);
    EXPECT_EQ(log.Count("ev:btn:enter"), 1) << log.Joined();
    EXPECT_EQ(log.Count("ev:btn:down"), 1) << log.Joined();
    EXPECT_EQ(log.Count("ev:btn:up"), 1) << log.Joined();
    EXPECT_EQ(log.Count("ev:btn:leave"), 1) << log.Joined();
    EXPECT_EQ(log.Count("n:click:btn"), 0) << log.Joined();
    EXPECT_EQ(log.Count("ev:other:down"), 0) << log.Joined();
    EXPECT_EQ(log.Count("ev:other:enter"), 1) << log.Joined();
    // While captured, the moves went to the button.
    EXPECT_EQ(log.Count("ev:other:move"), 2) << log.Joined();
    EXPECT_GE(log.Count("ev:btn:move"), 3) << log.Joined();
}

TEST_F(InputFixture, LeavingTheWindowEndsHoverExactlyOnce)
{
    Send(WM_MOUSEMOVE, 0, 30, 30);
    ASSERT_EQ(window.Manager().GetHover(), button);
    // The pointer is far outside: the leave turns into a move to nowhere.
    SendMessageW(window.Handle(), WM_MOUSELEAVE, 0, 0);
    SendMessageW(window.Handle(), WM_MOUSELEAVE, 0, 0);
    PumpFor(50);
    EXPECT_EQ(log.Count("ev:btn:leave"), 1) << log.Joined();
    EXPECT_EQ(window.Manager().GetHover(), nullptr);
    // Coming back hovers again.
    Send(WM_MOUSEMOVE, 0, 31, 30);
    EXPECT_EQ(log.Count("ev:btn:enter"), 2) << log.Joined();
}

TEST_F(InputFixture, MouseLeaveListenersHearEveryHoverChange)
{
    window.Manager().AddMouseLeaveNeeded(other);
    Send(WM_MOUSEMOVE, 0, 30, 30);
    Send(WM_MOUSEMOVE, 0, 5, 5);   // onto the root
    EXPECT_EQ(Quiet(), "ev:btn:enter ev:other:leave ev:btn:leave");
}

TEST_F(InputFixture, HoverShowsTheControlsTooltip)
{
    LRESULT result = 0;
    Send(WM_MOUSEMOVE, 0, 130, 30);
    // No hint: hovering is handled but makes no tooltip window.
    EXPECT_TRUE(window.Manager().HandleMessage(WM_MOUSEHOVER, 0, MAKELPARAM(130, 30), result));
    EXPECT_EQ(window.Manager().GetTooltipWindow(), nullptr);
    button->AssignHint(L"Install now");
    Send(WM_MOUSEMOVE, 0, 30, 30);
    EXPECT_TRUE(window.Manager().HandleMessage(WM_MOUSEHOVER, 0, MAKELPARAM(30, 30), result));
    HWND tip = window.Manager().GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    wchar_t name[32] = {};
    GetClassNameW(tip, name, 32);
    EXPECT_EQ(_wcsicmp(name, L"tooltips_class32"), 0);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), window.Handle());
    EXPECT_EQ(log.Count("ev:btn:hover"), 1) << log.Joined();
    // Nothing under the point: not handled.
    EXPECT_FALSE(window.Manager().HandleMessage(WM_MOUSEHOVER, 0, MAKELPARAM(500, 30), result));
    // Closing the window takes the tooltip away and ends hover.
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window.Manager().GetTooltipWindow(), nullptr);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(log.Count("ev:btn:leave"), 1) << log.Joined();
}

struct SwallowButtonDown : IMessageFilterUI {
    int seen = 0;
    LRESULT FilterMessage(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        if (message != WM_LBUTTONDOWN) return 0;
        ++seen;
        handled = true;
        return 7;
    }
};

TEST_F(InputFixture, FilterSeesMessagesFirstAndStillMovesTheMousePoint)
{
    SwallowButtonDown filter;
    window.Manager().AddMessageFilter(&filter);
    LRESULT result = 0;
    EXPECT_TRUE(window.Manager().HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(33, 44), result));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(filter.seen, 1);
    EXPECT_EQ(window.Manager().GetLastMousePos().x, 33);
    EXPECT_EQ(window.Manager().GetLastMousePos().y, 44);
    EXPECT_EQ(Quiet(), "(nothing)");
    window.Manager().RemoveMessageFilter(&filter);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
    Send(WM_LBUTTONUP, 0, 30, 30);
    EXPECT_EQ(log.Count("n:click:btn"), 1);
}

TEST_F(InputFixture, FixedAnswers)
{
    LRESULT result = 0;
    EXPECT_TRUE(window.Manager().HandleMessage(WM_ERASEBKGND, 0, 0, result));
    EXPECT_EQ(result, 1);
    MINMAXINFO info = {};
    info.ptMaxTrackSize = {5000, 5000};
    window.Manager().SetMinInfo(100, 0);
    window.Manager().SetMaxInfo(0, 300);
    EXPECT_FALSE(window.Manager().HandleMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result));
    EXPECT_EQ(info.ptMinTrackSize.x, 100);
    EXPECT_EQ(info.ptMinTrackSize.y, 0);
    EXPECT_EQ(info.ptMaxTrackSize.x, 5000);
    EXPECT_EQ(info.ptMaxTrackSize.y, 300);
    EXPECT_EQ(info.ptMaxSize.y, 300);
    // Nothing under a point outside every control but the root; no control of
    // another manager is ever returned.
    EXPECT_EQ(window.Manager().FindControl(POINT{30, 30}), button);
    EXPECT_EQ(window.Manager().FindControl(POINT{5, 5}), root);
    EXPECT_EQ(window.Manager().FindControl(POINT{500, 5}), nullptr);
    EXPECT_EQ(window.Manager().FindControl(L"other"), other);
    EXPECT_EQ(window.Manager().FindDescendantByName(root, L"OTHER"), other);
    EXPECT_EQ(window.Manager().FindDescendantByClass(root, L"controlui", 1), other);
    EXPECT_EQ(window.Manager().FindDescendantsByClass(root, L"*")->GetSize(), 3);
}

} // namespace
} // namespace PaintTest
