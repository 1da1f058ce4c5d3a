// Where an installer window puts itself: over its owner, on the primary monitor,
// or inside a clamp rectangle.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "BoxTestSkin.h"
#include "KeInstall/KEObjectWnd.h"

using BoxTests::OwnerWindow;

namespace PlaceTests {

TEST(PlaceWindowMath, TheCornerForEachReference)
{
    const RECT box = {0, 0, 417, 212};
    const RECT screen = {0, 0, 1024, 768};
    const RECT none = {};
    struct Case {
        const char* what;
        RECT window;
        bool hasOwner;
        RECT owner;
        bool hasPrimary;
        RECT clamp;
        POINT offset;
        POINT expected;
    };
    const Case kCases[] = {
        // Across the owner, down the monitor: (100+800)/2-208, 768/2-106.
        {"owner", box, true, {100, 50, 800, 650}, true, none, {0, 0}, {242, 278}},
        {"owner lower down", box, true, {100, 500, 800, 700}, true, none, {0, 0}, {242, 278}},
        {"no owner", box, false, {}, true, none, {0, 0}, {304, 278}},
        {"no owner, no monitor", box, false, {}, false, none, {0, 0}, {-208, -106}},
        {"offset", box, false, {}, true, none, {10, -20}, {314, 258}},
        // Halvings truncate toward zero: (-301+0)/2 is -150, 101/2 is 50.
        {"negative owner", {0, 0, 101, 101}, true, {-301, 0, 0, 10}, true, none, {0, 0}, {-200, 334}},
        // A clamp is the reference even with an owner.
        {"clamp", box, true, {100, 50, 800, 650}, true, {0, 0, 1000, 800}, {0, 0}, {292, 294}},
        // Sticking out right and below: pulled back to end at the clamp's edges.
        {"clamp pushes left and up", box, false, {}, true, {0, 0, 1000, 800}, {400, 400}, {583, 588}},
        // Sticking out left and above: moved to start at the clamp's edges.
        {"clamp pushes right and down", box, false, {}, true, {50, 60, 1000, 800}, {-500, -500}, {50, 60}},
        // Wider than the clamp: the left edge wins, the right check is not made.
        {"wider than the clamp", box, false, {}, true, {10, 10, 300, 900}, {0, 0}, {10, 349}},
    };
    for (const Case& c : kCases) {
        const POINT at = CKEObjectWnd::Placement(c.window, c.hasOwner ? &c.owner : nullptr,
                                                 c.hasPrimary ? &screen : nullptr, c.clamp, c.offset);
        EXPECT_EQ(at.x, c.expected.x) << c.what;
        EXPECT_EQ(at.y, c.expected.y) << c.what;
    }
}

// A window of the dark box's skin that is never shown.
class Probe : public CKEObjectWnd {
public:
    Probe() : CKEObjectWnd(L"KEMsgBox.xml", L"keplacementprobe") {}
    ~Probe() override
    {
        if (Handle() && IsWindow(Handle())) DestroyWindow(Handle());
    }
};

class PlaceWindowOnScreen : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BoxTests::UseInstallerSkin()); }

    // Where the probe ends up with the owner in the given state.
    static RECT Placed(HWND owner, const RECT& clamp = RECT{}, POINT offset = {0, 0})
    {
        Probe probe;
        EXPECT_TRUE(probe.Create(owner, L"probe", WS_POPUP, 0, 5, 5, 10, 10) != nullptr);
        probe.PlaceWindow(clamp, offset);
        RECT placed = {};
        GetWindowRect(probe.Handle(), &placed);
        return placed;
    }
};

TEST_F(PlaceWindowOnScreen, EachOwnerStateAndClamp)
{
    const RECT primary = BoxTests::PrimaryMonitor();
    const int midX = (primary.left + primary.right) / 2, midY = (primary.top + primary.bottom) / 2;
    const RECT ownerRect = {40, 30, 540, 430};
    enum OwnerState { NONE, VISIBLE, MINIMISED, HIDDEN };
    struct Case {
        const char* what;
        OwnerState owner;
        RECT clamp;
        POINT offset;
        // Expected top-left from the window's size (w, h).
        POINT (*expected)(int w, int h, int midX, int midY);
    };
    const Case kCases[] = {
        {"visible owner: across the owner, down the monitor", VISIBLE, {}, {0, 0},
         [](int w, int h, int, int my) { return POINT{(40 + 540) / 2 - w / 2, my - h / 2}; }},
        {"minimised owner: the monitor", MINIMISED, {}, {0, 0},
         [](int w, int h, int mx, int my) { return POINT{mx - w / 2, my - h / 2}; }},
        {"hidden owner: the monitor", HIDDEN, {}, {0, 0},
         [](int w, int h, int mx, int my) { return POINT{mx - w / 2, my - h / 2}; }},
        {"no owner: the monitor", NONE, {}, {0, 0},
         [](int w, int h, int mx, int my) { return POINT{mx - w / 2, my - h / 2}; }},
        {"clamp pulls it back left and up", VISIBLE, {0, 0, 600, 400}, {300, 300},
         [](int w, int h, int, int) { return POINT{600 - w, 400 - h}; }},
    };
    for (const Case& c : kCases) {
        std::unique_ptr<OwnerWindow> owner;
        if (c.owner != NONE) {
            owner = std::make_unique<OwnerWindow>(ownerRect, c.owner != HIDDEN);
            ASSERT_NE(owner->Handle(), nullptr);
            if (c.owner == MINIMISED) {
                ShowWindow(owner->Handle(), SW_SHOWMINNOACTIVE);
                ASSERT_TRUE(IsIconic(owner->Handle())) << c.what;
            }
        }
        const RECT placed = Placed(owner ? owner->Handle() : nullptr, c.clamp, c.offset);
        const int w = placed.right - placed.left, h = placed.bottom - placed.top;
        EXPECT_GT(w, 10) << c.what << ": the skin did not size the window";
        const POINT expected = c.expected(w, h, midX, midY);
        EXPECT_EQ(placed.left, expected.x) << c.what;
        EXPECT_EQ(placed.top, expected.y) << c.what;
    }
}

} // namespace PlaceTests
