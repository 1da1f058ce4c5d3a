// The scroll bar's thumb dragged with the real pointer: xdotool moves and presses
// the X pointer over the window, Wine turns that into mouse messages.
#include <gtest/gtest.h>

#include <string>

#include "WidgetWindow.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/controls/UiVerticalLayout.h"

using namespace SkinUI;
using WidgetTests::CWidgetWindow;

namespace {

// Runs xdotool with the arguments and waits for it; false when it cannot run
// (no X display, no xdotool).
bool Xdotool(const std::wstring& arguments)
{
    std::wstring command = L"/usr/bin/xdotool " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    // Wine starts a Unix program given by its Unix path.
    if (!CreateProcessW(L"Z:\\usr\\bin\\xdotool", &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 5000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

bool MoveTo(CWidgetWindow& w, POINT client)
{
    ClientToScreen(w.hwnd(), &client);
    const bool ok = Xdotool(L"mousemove " + std::to_wstring(client.x) + L" " +
                            std::to_wstring(client.y));
    w.PumpUntil([] { return false; }, 150);
    return ok;
}

} // namespace

TEST(PointerDrag, ThumbFollowsTheRealPointer)
{
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

    if (!MoveTo(w, grab))
        GTEST_SKIP() << "xdotool cannot drive the pointer here";
    ASSERT_TRUE(Xdotool(L"mousedown 1"));
    w.PumpUntil([&] { return (bar->ThumbState() & UISTATE_CAPTURED) != 0; }, 2000);
    ASSERT_TRUE(bar->ThumbState() & UISTATE_CAPTURED);

    // Half the free track (100 - 17 - 2 * 16 = 51, so 25 or 26 pixels) moves the
    // position by half the range.
    const int motion = 25;
    ASSERT_TRUE(MoveTo(w, POINT{grab.x, grab.y + motion}));
    w.PumpUntil([&] { return bar->ScrollPosition() == 25LL * 300 / 51; }, 2000);
    ASSERT_TRUE(Xdotool(L"mouseup 1"));
    w.PumpUntil([&] { return (bar->ThumbState() & UISTATE_CAPTURED) == 0; }, 2000);

    EXPECT_EQ(bar->ScrollPosition(), 25LL * 300 / 51);   // 147: half the range, truncated
    EXPECT_FALSE(bar->ThumbState() & UISTATE_PUSHED);
    EXPECT_EQ(list->ItemAt(0)->BoundsRef().top, -147);
    EXPECT_GE(w.CountType(L"scroll"), 1);
}
