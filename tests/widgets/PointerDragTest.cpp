// The scroll bar's thumb dragged with the real pointer. A Windows program cannot
// start xdotool itself, so pointer-drag.sh drives it: this test writes where the
// thumb is and how far to drag it into the file named by VELKARO_DRAG_HANDSHAKE,
// the script moves and presses the X pointer there, and Wine turns that into
// mouse messages for the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "WidgetWindow.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/controls/UiVerticalLayout.h"

using namespace SkinUI;
using WidgetTests::CWidgetWindow;

namespace {

// "x y motion" in screen coordinates, written whole (renamed into place).
bool WriteRequest(const char* path, POINT at, int motion)
{
    const std::string partial = std::string(path) + ".part";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "%ld %ld %d\n", static_cast<long>(at.x), static_cast<long>(at.y), motion);
    std::fclose(f);
    return MoveFileExA(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace

TEST(PointerDrag, ThumbFollowsTheRealPointer)
{
    const char* handshake = std::getenv("VELKARO_DRAG_HANDSHAKE");
    if (!handshake || !*handshake)
        GTEST_SKIP() << "run through pointer-drag.sh, which moves the pointer";

    auto* root = new CVerticalLayoutUI();
    auto* list = new CVerticalLayoutUI();
    list->ApplyAttributes(L"name=\"list\" vscrollbar=\"true\"");
    for (int i = 0; i < 20; ++i) {
        auto* row = new CControlUI();
        row->ApplyAttributes(L"height=\"20\"");
        list->AddItem(row);
    }
    root->AddItem(list);
    CWidgetWindow w(100, 100, root, 200, 200, true);
    w.PumpUntil([] { return false; }, 300);
    CScrollBarUI* bar = list->VerticalBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->ScrollRange(), 300);
    const RECT thumb = bar->ThumbRect();
    POINT grab = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    ClientToScreen(w.hwnd(), &grab);

    // Half the free track (100 - 17 - 2 * 16 = 51 pixels, so 25 of them) moves
    // the position by half the range, truncated: 25 * 300 / 51 = 147.
    const int motion = 25;
    ASSERT_TRUE(WriteRequest(handshake, grab, motion));
    bool captured = false;
    const bool released = w.PumpUntil(
        [&] {
            if (bar->ThumbState() & UISTATE_CAPTURED)
                captured = true;
            return captured && !(bar->ThumbState() & UISTATE_CAPTURED);
        },
        15000);
    ASSERT_TRUE(captured) << "the press never reached the thumb";
    ASSERT_TRUE(released) << "thumb state " << bar->ThumbState() << ", position "
                          << bar->ScrollPosition();
    EXPECT_EQ(bar->ScrollPosition(), 147);
    EXPECT_FALSE(bar->ThumbState() & UISTATE_PUSHED);
    EXPECT_EQ(list->ItemAt(0)->BoundsRef().top, -147);
    EXPECT_GE(w.CountType(L"scroll"), 1);
}
