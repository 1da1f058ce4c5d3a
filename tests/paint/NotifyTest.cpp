// Notifications: sync before async, async in order, delayed clean-up, and senders
// that die while a notification is queued or being delivered.
#include "PaintTestUtil.h"

namespace PaintTest {
namespace {

struct NotifyFixture : ::testing::Test {
    EventLog log;
    Recorder recorder{&log};
    TestWindow window{200, 80, false};
    TestBox* root = new TestBox();
    ProbeControl* a = new ProbeControl("a", &log, RECT{0, 0, 40, 40}, 0);
    ProbeControl* b = new ProbeControl("b", &log, RECT{40, 0, 80, 40}, 0);
    ProbeControl* c = new ProbeControl("c", &log, RECT{80, 0, 120, 40}, 0);
    bool bDestroyed = false;
    bool cDestroyed = false;

    void SetUp() override
    {
        SetCursorPos(1200, 900);
        for (ProbeControl* p : {a, b, c}) root->AddItem(p);
        b->destroyed = &bDestroyed;
        c->destroyed = &cDestroyed;
        ASSERT_TRUE(window.Show(root));
        PumpFor(20);
        window.Manager().AddNotifier(&recorder);
        log.Clear();
    }
    void TearDown() override { window.Manager().RemoveNotifier(&recorder); }
};

TEST_F(NotifyFixture, AsyncNotificationsArriveLaterInOrder)
{
    CPaintManagerUI& m = window.Manager();
    m.SendNotify(a, L"one", 1, 0, true);
    m.SendNotify(b, L"two", 2, 0, true);
    m.SendNotify(a, L"now");
    m.SendNotify(c, L"three", 3, 0, true);
    EXPECT_EQ(log.Joined(), "n:now:a");
    ASSERT_TRUE(PumpUntil([this] { return log.entries.size() >= 4; }, 2000, [this] { return log.Joined(); }));
    EXPECT_EQ(log.Joined(), "n:now:a n:one:a n:two:b n:three:c");
    EXPECT_EQ(recorder.seen[2].wParam, 2u);
}

TEST_F(NotifyFixture, SenderListenersRunBeforeReceiversAndMayRefuseNothing)
{
    static EventLog* sink = nullptr;
    sink = &log;
    a->OnNotify += [](void* param) {
        sink->Add("listener:" + SenderName(static_cast<UiNotification*>(param)->sender));
        return true;
    };
    window.Manager().SendNotify(a, L"x");
    EXPECT_EQ(log.Joined(), "listener:a n:x:a");
}

TEST_F(NotifyFixture, DelayedCleanupDeletesOnlyWhenTheAsyncWorkRuns)
{
    root->RemoveItem(b);
    EXPECT_FALSE(bDestroyed);
    EXPECT_EQ(window.Manager().FindControl(L"b"), b);   // still named until it dies
    ASSERT_TRUE(PumpUntil([this] { return bDestroyed; }, 2000, [] { return std::string("b alive"); }));
    EXPECT_EQ(window.Manager().FindControl(L"b"), nullptr);
}

TEST_F(NotifyFixture, QueuedNotificationOfADestroyedControlHasANullSender)
{
    window.Manager().SendNotify(c, L"late", 0, 0, true);
    root->RemoveItem(c);   // destroyed before the queue is delivered
    ASSERT_TRUE(PumpUntil([this] { return log.Count("n:late:null") == 1; }, 2000,
                          [this] { return log.Joined(); }));
    EXPECT_TRUE(cDestroyed);
}

TEST_F(NotifyFixture, RemovingTheSenderInsideItsClickHandlerIsSafe)
{
    recorder.onNotify = [this](UiNotification& n) {
        if (n.type == UiNotify::Click && n.sender == b) root->RemoveItem(b);
    };
    SendMessageW(window.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 10));
    SendMessageW(window.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
    SendMessageW(window.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(50, 10));
    ASSERT_TRUE(PumpUntil([this] { return bDestroyed; }, 2000, [this] { return log.Joined(); }));
    EXPECT_EQ(log.Count("n:click:b"), 1);
    EXPECT_EQ(window.Manager().GetHover(), nullptr);
    EXPECT_EQ(window.Manager().GetFocus(), nullptr);
    EXPECT_EQ(window.Manager().GetClick(), nullptr);
    // The tree keeps working where b was.
    SendMessageW(window.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(51, 10));
    SendMessageW(window.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(window.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(log.Count("n:click:a"), 1);
}

TEST_F(NotifyFixture, AReceiverDestroyingTheSenderLeavesNullForTheNextOnes)
{
    // A control of this manager outside the tree, owned by the test.
    auto* loose = new ProbeControl("loose", &log, RECT{}, 0);
    loose->Attach(&window.Manager(), nullptr, false);
    Recorder first(&log);
    first.onNotify = [&loose](UiNotification&) {
        delete loose;
        loose = nullptr;
    };
    window.Manager().RemoveNotifier(&recorder);
    window.Manager().AddNotifier(&first);
    window.Manager().AddNotifier(&recorder);
    window.Manager().SendNotify(loose, L"bye");
    EXPECT_EQ(log.Joined(), "n:bye:loose n:bye:null");
    window.Manager().RemoveNotifier(&first);
}

TEST_F(NotifyFixture, WindowInitOnceAndWindowSizeAfterEachRelayout)
{
    log.Clear();
    SetWindowPos(window.Handle(), nullptr, 0, 0, 220, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([this] { return !log.Matching("n:windowsize").empty(); }, 2000,
                          [this] { return log.Joined(); }));
    EXPECT_EQ(window.windowInits, 1);
    EXPECT_TRUE(log.Matching("n:windowinit").empty());
    RECT r = root->BoundsRef();
    EXPECT_EQ(r.right - r.left, 220);
}

} // namespace
} // namespace PaintTest
