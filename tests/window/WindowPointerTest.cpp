// The real pointer and keyboard on a skinned window. A Windows program cannot
// run xdotool, so window-pointer.sh does: each case writes one request (lines
// such as "drag x y dx dy", "click x y", "key Escape") into the file named by
// VELKARO_WINDOW_HANDSHAKE, the script performs it on the X display and removes
// the file, and Wine turns it into input for the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "SkinWindow.h"

using WindowTests::KeyProbe;
using WindowTests::PumpUntil;
using WindowTests::SkinWindow;

namespace {

const wchar_t kSkin[] =
    LR"(<Window size="360,240" caption="0,0,0,40" sizebox="4,4,4,4">
  <VerticalLayout>
    <HorizontalLayout height="40">
      <Label name="title" text="Drag me" width="120"/>
      <Control/>
      <Button name="pin" width="40"/>
    </HorizontalLayout>
    <KeyProbe name="probe"/>
  </VerticalLayout>
</Window>)";

const char* Handshake()
{
    const char* path = std::getenv("VELKARO_WINDOW_HANDSHAKE");
    return path && *path ? path : nullptr;
}

// Writes the request whole (renamed into place) once the previous one is taken.
bool Request(const std::string& lines)
{
    const char* path = Handshake();
    if (!path) return false;
    if (!PumpUntil([path] { return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES; }, 10000))
        return false;
    const std::string partial = std::string(path) + ".part";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) return false;
    std::fputs(lines.c_str(), f);
    std::fclose(f);
    return MoveFileExA(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::string At(POINT pt) { return std::to_string(pt.x) + " " + std::to_string(pt.y); }

} // namespace

TEST(WindowPointer, CaptionDragMovesAndCaptionButtonClicks)
{
    if (!Handshake()) GTEST_SKIP() << "run through window-pointer.sh, which drives the pointer";
    SkinWindow w(kSkin, L"VelkaroSkinWindowPointer");
    ASSERT_TRUE(w.Open(nullptr, 200, 200, true, true));
    RECT before = {};
    GetWindowRect(w.Handle(), &before);

    // A press on the label in the caption drags the window.
    const POINT grab = w.ToScreen({60, 20});
    ASSERT_TRUE(Request("drag " + At(grab) + " 80 50\n"));
    RECT after = {};
    const bool moved = PumpUntil(
        [&] {
            GetWindowRect(w.Handle(), &after);
            return after.left == before.left + 80 && after.top == before.top + 50;
        },
        10000);
    EXPECT_TRUE(moved) << "window at " << after.left << "," << after.top << ", was at "
                       << before.left << "," << before.top;
    EXPECT_EQ(w.Count("click:title"), 0);

    // A press on the button in the caption clicks it and moves nothing.
    GetWindowRect(w.Handle(), &before);
    ASSERT_TRUE(Request("click " + At(w.ToScreen(w.Centre(L"pin"))) + "\n"));
    EXPECT_TRUE(PumpUntil([&] { return w.Count("click:pin") == 1; }, 10000))
        << "the caption button was not clicked";
    GetWindowRect(w.Handle(), &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST(WindowPointer, RealEscapeAndReturnReachTheFocusedControl)
{
    if (!Handshake()) GTEST_SKIP() << "run through window-pointer.sh, which drives the keyboard";
    SkinWindow w(kSkin, L"VelkaroSkinWindowKeyboard");
    ASSERT_TRUE(w.Open(nullptr, 200, 200, true, true));
    auto* probe = static_cast<KeyProbe*>(w.Find(L"probe"));
    ASSERT_NE(probe, nullptr);
    // A click on the probe gives the window the X keyboard focus as well.
    ASSERT_TRUE(Request("click " + At(w.ToScreen(w.Centre(L"probe"))) + "\n"));
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == w.Handle(); }, 10000));
    w.Manager().SetFocus(probe);
    ASSERT_TRUE(Request("key Escape\nkey Return\n"));
    const bool both = PumpUntil(
        [&] {
            int escape = 0, enter = 0;
            for (WPARAM key : probe->keysDown) {
                escape += key == VK_ESCAPE;
                enter += key == VK_RETURN;
            }
            return escape == 1 && enter == 1;
        },
        10000);
    EXPECT_TRUE(both) << "key-downs seen: " << probe->keysDown.size();
    EXPECT_TRUE(IsWindow(w.Handle()));
}
