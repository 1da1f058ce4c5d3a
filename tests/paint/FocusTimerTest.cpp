// Keyboard focus and tab order, and timers, on a real window.
#include "PaintTestUtil.h"

namespace PaintTest {
namespace {

// Labels pass their shortcut on to the control after them.
struct FakeLabel : ProbeControl {
    using ProbeControl::ProbeControl;
    const wchar_t* TypeName() const override { return L"LabelUI"; }
};

struct FocusFixture : ::testing::Test {
    EventLog log;
    Recorder recorder{&log};
    TestWindow window{240, 80, false};
    TestBox* root = new TestBox();
    ProbeControl* a = new ProbeControl("a", &log, RECT{0, 0, 40, 40});
    ProbeControl* b = new ProbeControl("b", &log, RECT{40, 0, 80, 40});
    ProbeControl* disabled = new ProbeControl("c", &log, RECT{80, 0, 120, 40});
    ProbeControl* hidden = new ProbeControl("d", &log, RECT{120, 0, 160, 40});
    ProbeControl* label = new FakeLabel("label", &log, RECT{160, 0, 200, 40}, 0);
    ProbeControl* e = new ProbeControl("e", &log, RECT{200, 0, 240, 40});

    void SetUp() override
    {
        SetCursorPos(1200, 900);
        for (ProbeControl* p : {a, b, disabled, hidden, label, e}) root->AddItem(p);
        disabled->Enable(false);
        hidden->Show(false);
        window.Manager().AddNotifier(&recorder);
        ASSERT_TRUE(window.Show(root));
        // The first tab stop takes the focus once the first layout is done.
        ASSERT_TRUE(PumpUntil([this] { return window.Manager().GetFocus() == a; }, 3000,
                              [this] { return log.Joined(); }));
        log.Clear();
    }
    void TearDown() override { window.Manager().RemoveNotifier(&recorder); }
    std::string FocusName() { return SenderName(window.Manager().GetFocus()); }
    bool PressTab()
    {
        MSG msg = {window.Handle(), WM_KEYDOWN, VK_TAB, 0x000F0001, GetTickCount(), {}};
        return CPaintManagerUI::PreTranslate(&msg);
    }
};

TEST_F(FocusFixture, TabWalksEnabledVisibleStopsAndWraps)
{
    std::vector<std::string> forward;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(PressTab());
        forward.push_back(FocusName());
    }
    EXPECT_EQ(forward, (std::vector<std::string>{"b", "e", "a", "b"}));
    window.Manager().SetFocus(a);
    std::vector<std::string> backward;
    for (int i = 0; i < 3; ++i) {
        window.Manager().FocusNextTabStop(false);
        backward.push_back(FocusName());
    }
    EXPECT_EQ(backward, (std::vector<std::string>{"e", "b", "a"}));
}

TEST_F(FocusFixture, MovingFocusSendsKillThenSetEventsAndNotifications)
{
    window.Manager().SetFocus(b);
    EXPECT_EQ(log.Joined(), "ev:a:killfocus n:killfocus:a ev:b:setfocus n:setfocus:b");
    log.Clear();
    window.Manager().SetFocus(b);   // already focused: nothing
    window.Manager().SetFocus(disabled);   // refused, but the old focus is gone
    EXPECT_EQ(log.Joined(), "ev:b:killfocus n:killfocus:b");
    EXPECT_EQ(window.Manager().GetFocus(), nullptr);
    // Hiding the focused control drops the focus.
    window.Manager().SetFocus(e);
    e->Show(false);
    EXPECT_EQ(window.Manager().GetFocus(), nullptr);
}

TEST_F(FocusFixture, KeysGoToTheFocusAndKeyUpToWhereTheKeyWentDown)
{
    SendMessageW(window.Handle(), WM_KEYDOWN, 'X', 0);
    window.Manager().SetFocus(b);
    log.Clear();
    SendMessageW(window.Handle(), WM_CHAR, 'x', 0);
    SendMessageW(window.Handle(), WM_KEYUP, 'X', 0);
    SendMessageW(window.Handle(), WM_KEYUP, 'X', 0);
    EXPECT_EQ(log.Joined(), "ev:b:char ev:a:keyup");
}

TEST_F(FocusFixture, AltShortcutsFocusTheirControlAndALabelsTheNextOne)
{
    label->AssignAccessKey(L'q');
    b->AssignAccessKey(L'W');
    LRESULT result = 0;
    EXPECT_TRUE(window.Manager().PreHandleMessage(WM_SYSCHAR, L'w', 0, result));
    EXPECT_EQ(FocusName(), "b");
    EXPECT_TRUE(window.Manager().PreHandleMessage(WM_SYSCHAR, L'q', 0, result));
    EXPECT_EQ(FocusName(), "e");
    EXPECT_FALSE(window.Manager().PreHandleMessage(WM_SYSCHAR, L'z', 0, result));
    EXPECT_EQ(FocusName(), "e");
}

// ---- timers

struct TimerFixture : ::testing::Test {
    EventLog log;
    Recorder recorder{&log};
    TestWindow window{100, 60, false};
    TestBox* root = new TestBox();
    ProbeControl* p = new ProbeControl("p", &log, RECT{0, 0, 40, 40}, 0);
    ProbeControl* q = new ProbeControl("q", &log, RECT{40, 0, 80, 40}, 0);
    std::vector<WPARAM> ids;

    void SetUp() override
    {
        root->AddItem(p);
        root->AddItem(q);
        p->onEvent = [this](UiEvent& e) {
            if (e.kind == UIEVENT_TIMER) ids.push_back(e.wParam);
        };
        window.Manager().AddNotifier(&recorder);
        ASSERT_TRUE(window.Show(root));
        log.Clear();
    }
    void TearDown() override { window.Manager().RemoveNotifier(&recorder); }
};

TEST_F(TimerFixture, FiresKillsAndRearms)
{
    CPaintManagerUI& m = window.Manager();
    ASSERT_TRUE(m.SetTimer(p, 7, 10));
    EXPECT_FALSE(m.SetTimer(p, 7, 10));   // already running
    ASSERT_TRUE(PumpUntil([this] { return log.Count("n:timer:p") >= 3; }, 3000,
                          [this] { return log.Joined(); }));
    EXPECT_EQ(ids.front(), 7u);
    EXPECT_EQ(log.Count("ev:p:timer"), log.Count("n:timer:p"));
    EXPECT_TRUE(m.KillTimer(p, 7));
    EXPECT_FALSE(m.KillTimer(p, 7));
    PumpFor(30);   // a WM_TIMER already queued is ignored once killed
    const int after = log.Count("ev:p:timer");
    PumpFor(120);
    EXPECT_EQ(log.Count("ev:p:timer"), after);
    ASSERT_TRUE(m.SetTimer(p, 7, 10));   // the killed record comes back
    ASSERT_TRUE(PumpUntil([&] { return log.Count("ev:p:timer") > after; }, 3000,
                          [this] { return log.Joined(); }));
    // A destroyed control takes its timers with it.
    root->RemoveItem(p);
    PumpFor(120);
    const int gone = log.Count("ev:p:timer");
    PumpFor(120);
    EXPECT_EQ(log.Count("ev:p:timer"), gone);
}

TEST_F(TimerFixture, PastTheCycleNoLiveIdIsReused)
{
    CPaintManagerUI& m = window.Manager();
    ASSERT_TRUE(m.SetTimer(q, 5, 15));   // local id 17, fires often
    for (UINT id = 0; id < 239; ++id) ASSERT_TRUE(m.SetTimer(p, id, 100000)) << id;
    // Every local id is held now: handing one out would take over q's timer.
    EXPECT_FALSE(m.SetTimer(p, 239, 100000));
    m.KillTimer(p, 0);   // killed records keep their id for re-arming
    EXPECT_FALSE(m.SetTimer(p, 239, 100000));
    log.Clear();
    ASSERT_TRUE(PumpUntil([this] { return log.Count("ev:q:timer") >= 3; }, 3000,
                          [this] { return log.Joined(); }));
    EXPECT_EQ(log.Count("ev:p:timer"), 0);
    // Freed ids come back into use: the 241st timer starts and fires.
    m.KillTimer(p);
    ASSERT_TRUE(m.SetTimer(p, 240, 10));
    ASSERT_TRUE(PumpUntil([this] { return log.Count("ev:p:timer") >= 2; }, 3000,
                          [this] { return log.Joined(); }));
    EXPECT_EQ(ids.back(), 240u);
    const int qBefore = log.Count("ev:q:timer");
    ASSERT_TRUE(PumpUntil([&] { return log.Count("ev:q:timer") > qBefore; }, 3000,
                          [this] { return log.Joined(); }));
}

} // namespace
} // namespace PaintTest
