// WindowImplBase on real skinned windows: hit-testing of the skin's caption and
// sizing border, the round-corner region, the caption buttons, the modal result,
// keys reaching the focused control, and notifications of virtual windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SkinWindow.h"
#include "ui/controls/UiContainer.h"

using namespace SkinUI;
using WindowTests::KeyProbe;
using WindowTests::PumpUntil;
using WindowTests::SkinWindow;

namespace {

// 400 x 300. Caption bar 40 high: title 0..100, gap 100..240, pin 240..270,
// minbtn 270..300, maxbtn 300..330 (restorebtn hidden), closebtn 330..360, edge
// 360..400. Below it the body: probe 0..100, quit 100..160, fill to the right.
const wchar_t kCaptionSkin[] =
    LR"(<Window size="400,300" caption="20,0,30,40" sizebox="4,4,4,4" roundcorner="10,10">
  <VerticalLayout name="root">
    <HorizontalLayout name="bar" height="40">
      <Label name="title" text="Title" width="100"/>
      <Control name="gap"/>
      <Button name="pin" width="30"/>
      <Button name="minbtn" width="30"/>
      <Button name="maxbtn" width="30"/>
      <Button name="restorebtn" width="30" visible="false"/>
      <Button name="closebtn" width="30"/>
      <Control name="edge" width="40"/>
    </HorizontalLayout>
    <HorizontalLayout name="body">
      <KeyProbe name="probe" width="100"/>
      <Button name="quit" width="60"/>
      <HorizontalLayout name="page" virtualwnd="page1">
        <Button name="next" width="50"/>
        <Control name="fill"/>
      </HorizontalLayout>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

// The whole client area is caption; no sizing border, square corners.
const wchar_t kWholeCaptionSkin[] =
    LR"(<Window size="300,200" caption="0,0,0,-1">
  <VerticalLayout name="root">
    <Text name="words" text="drag me" height="40"/>
    <HorizontalLayout>
      <Button name="ok" width="60"/>
      <Control name="fill"/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

// A root with an inset of its own, to see that maximising leaves it alone.
const wchar_t kInsetSkin[] =
    LR"(<Window size="300,200" caption="0,0,0,40">
  <HorizontalLayout name="root" inset="6,6,6,6">
    <Control/>
    <Button name="maxbtn" width="30" height="30"/>
    <Button name="restorebtn" width="30" height="30" visible="false"/>
  </HorizontalLayout>
</Window>)";

const char* HitName(LRESULT code)
{
    switch (code) {
    case HTCLIENT: return "HTCLIENT";
    case HTCAPTION: return "HTCAPTION";
    case HTLEFT: return "HTLEFT";
    case HTRIGHT: return "HTRIGHT";
    case HTTOP: return "HTTOP";
    case HTTOPLEFT: return "HTTOPLEFT";
    case HTTOPRIGHT: return "HTTOPRIGHT";
    case HTBOTTOM: return "HTBOTTOM";
    case HTBOTTOMLEFT: return "HTBOTTOMLEFT";
    case HTBOTTOMRIGHT: return "HTBOTTOMRIGHT";
    default: return "other";
    }
}

struct HitCase {
    const char* what;
    POINT at;   // client
    LRESULT expected;
};

void ExpectHits(SkinWindow& w, const std::vector<HitCase>& cases)
{
    for (const HitCase& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(c.at.x) + "," +
                     std::to_string(c.at.y));
        EXPECT_STREQ(HitName(w.HitTest(c.at)), HitName(c.expected));
    }
}

} // namespace

TEST(WindowImpl, HitTestFindsBorderCaptionAndClickableControls)
{
    SkinWindow w(kCaptionSkin);
    ASSERT_TRUE(w.Open());
    ASSERT_EQ(w.Find(L"pin")->Bounds().left, 240) << "the layout is not the one the cases assume";
    ExpectHits(w, {
        {"top-left corner", {1, 1}, HTTOPLEFT},
        {"top border", {200, 1}, HTTOP},
        {"top-right corner", {398, 1}, HTTOPRIGHT},
        {"left border", {1, 150}, HTLEFT},
        {"last pixel of the left border", {3, 150}, HTLEFT},
        {"right border", {396, 150}, HTRIGHT},
        {"bottom-left corner", {1, 298}, HTBOTTOMLEFT},
        {"bottom border", {200, 296}, HTBOTTOM},
        {"bottom-right corner", {399, 299}, HTBOTTOMRIGHT},
        {"label, left of the caption's left edge", {10, 20}, HTCLIENT},
        {"label inside the caption", {50, 20}, HTCAPTION},
        {"plain area inside the caption", {150, 20}, HTCAPTION},
        {"button inside the caption", {255, 20}, HTCLIENT},
        {"close button", {345, 20}, HTCLIENT},
        {"plain area left of the caption's right edge", {365, 20}, HTCAPTION},
        {"plain area right of the caption's right edge", {380, 20}, HTCLIENT},
        {"last caption row", {150, 39}, HTCAPTION},
        {"first row below the caption", {150, 40}, HTCLIENT},
        {"body", {300, 200}, HTCLIENT},
    });
}

TEST(WindowImpl, NegativeCaptionBottomReachesTheClientBottom)
{
    SkinWindow w(kWholeCaptionSkin, L"VelkaroSkinWindowWhole");
    ASSERT_TRUE(w.Open());
    ExpectHits(w, {
        {"text at the top", {100, 20}, HTCAPTION},
        {"plain area at the bottom", {200, 190}, HTCAPTION},
        {"corner without a sizing border", {0, 0}, HTCAPTION},
        {"button low down", w.Centre(L"ok"), HTCLIENT},
    });
}

TEST(WindowImpl, RoundCornersCutTheWindowRegion)
{
    struct Case {
        const wchar_t* skin;
        const wchar_t* className;
        POINT at;   // window coordinates
        bool inside;
    };
    const Case cases[] = {
        {kCaptionSkin, L"VelkaroSkinWindowRound", {0, 0}, false},
        {kCaptionSkin, L"VelkaroSkinWindowRound", {399, 0}, false},
        {kCaptionSkin, L"VelkaroSkinWindowRound", {0, 299}, false},
        {kCaptionSkin, L"VelkaroSkinWindowRound", {399, 299}, false},
        {kCaptionSkin, L"VelkaroSkinWindowRound", {200, 0}, true},
        {kCaptionSkin, L"VelkaroSkinWindowRound", {0, 150}, true},
        {kCaptionSkin, L"VelkaroSkinWindowRound", {200, 150}, true},
        {kWholeCaptionSkin, L"VelkaroSkinWindowSquare", {0, 0}, true},
        {kWholeCaptionSkin, L"VelkaroSkinWindowSquare", {299, 199}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.at.x) + "," + std::to_string(c.at.y));
        SkinWindow w(c.skin, c.className);
        ASSERT_TRUE(w.Open());
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(w.Handle(), region);
        EXPECT_NE(kind, ERROR) << "no window region";
        EXPECT_EQ(PtInRegion(region, c.at.x, c.at.y) != FALSE, c.inside);
        DeleteObject(region);
    }
}

TEST(WindowImpl, RunModalAnswersTheCloseValue)
{
    struct Case {
        const char* what;
        const wchar_t* click;   // control clicked once the window shows, or null
        UINT close;             // else Close(close)
        UINT expected;
    };
    const Case cases[] = {
        {"closebtn without a handler", L"closebtn", 0, IDOK},
        {"close with a value", nullptr, 7, 7},
        {"destroyed inside a click", L"quit", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 5, 5, 60, 60,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SkinWindow w(kCaptionSkin, L"VelkaroSkinWindowModal");
        ASSERT_TRUE(w.Open(owner, 60, 60, false));
        bool ownerDisabled = false;
        w.onReady = [&] {
            ownerDisabled = !IsWindowEnabled(owner);
            if (c.click)
                w.ClickAt(w.Centre(c.click));
            else
                w.Close(c.close);
        };
        w.onNotify = [&](UiNotification& n) {
            if (n.type == L"click" && n.sender && n.sender->Name() == L"quit")
                DestroyWindow(w.Handle());
        };
        w.ArmGuard();
        const UINT result = w.RunModal();
        EXPECT_FALSE(w.guardFired) << "the loop did not end by itself";
        EXPECT_EQ(result, c.expected);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(w.destroyed, 1);
        DestroyWindow(owner);
    }
}

TEST(WindowImpl, MaximiseSwapsTheCaptionButtons)
{
    SkinWindow w(kInsetSkin, L"VelkaroSkinWindowMax");
    ASSERT_TRUE(w.Open());
    CControlUI* maxbtn = w.Find(L"maxbtn");
    CControlUI* restorebtn = w.Find(L"restorebtn");
    ASSERT_TRUE(maxbtn && restorebtn);
    auto* root = static_cast<CContainerUI*>(w.Manager().GetRoot()->InterfaceFor(L"Container"));
    ASSERT_NE(root, nullptr);
    const RECT inset = root->Inset();

    w.ClickAt(w.Centre(L"maxbtn"));
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(w.Handle()) && restorebtn->Bounds().right > 0; }))
        << "not maximised: zoomed " << IsZoomed(w.Handle()) << ", restore button right edge "
        << restorebtn->Bounds().right;
    EXPECT_FALSE(maxbtn->OwnVisible());
    EXPECT_TRUE(restorebtn->OwnVisible());
    // Maximised, the top edge is no sizing border but caption.
    EXPECT_STREQ(HitName(w.HitTest({100, 1})), "HTCAPTION");

    w.ClickAt(w.Centre(L"restorebtn"));
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(w.Handle()) && maxbtn->Bounds().right > 0; }))
        << "not restored: zoomed " << IsZoomed(w.Handle()) << ", maximise button right edge "
        << maxbtn->Bounds().right;
    EXPECT_TRUE(maxbtn->OwnVisible());
    EXPECT_FALSE(restorebtn->OwnVisible());
    const RECT after = root->Inset();
    EXPECT_EQ(after.left, inset.left);
    EXPECT_EQ(after.bottom, inset.bottom);
}

TEST(WindowImpl, MinMaxInfoComesFromTheSkinAndTheWorkArea)
{
    SkinWindow w(LR"(<Window size="300,200" mininfo="200,100" maxinfo="600,0"><Control/></Window>)",
                 L"VelkaroSkinWindowMinMax");
    ASSERT_TRUE(w.Open());
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(w.Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor));
    const LONG workWidth = monitor.rcWork.right - monitor.rcWork.left;
    const LONG workHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    MINMAXINFO info = {};
    w.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    struct Case {
        const char* what;
        LONG got, expected;
    };
    const Case cases[] = {
        {"min width", info.ptMinTrackSize.x, 200},
        {"min height", info.ptMinTrackSize.y, 100},
        {"max track width from the skin", info.ptMaxTrackSize.x, 600},
        {"max track height from the work area (skin gave 0)", info.ptMaxTrackSize.y, workHeight},
        {"maximised width", info.ptMaxSize.x, workWidth},
        {"maximised height", info.ptMaxSize.y, workHeight},
        {"maximised left", info.ptMaxPosition.x, monitor.rcWork.left - monitor.rcMonitor.left},
        {"maximised top", info.ptMaxPosition.y, monitor.rcWork.top - monitor.rcMonitor.top},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(WindowImpl, ReturnAndEscapeReachTheFocusedControl)
{
    SkinWindow w(kCaptionSkin, L"VelkaroSkinWindowKeys");
    ASSERT_TRUE(w.Open(nullptr, 60, 60, true, true));
    auto* probe = static_cast<KeyProbe*>(w.Find(L"probe"));
    ASSERT_NE(probe, nullptr);
    w.Manager().SetFocus(probe);
    ASSERT_EQ(w.Manager().GetFocus(), probe);
    const WPARAM keys[] = {VK_ESCAPE, VK_RETURN, 'A'};
    for (WPARAM key : keys) {
        SCOPED_TRACE(key);
        const size_t before = probe->keysDown.size();
        PostMessageW(w.Handle(), WM_KEYDOWN, key, 1);
        ASSERT_TRUE(PumpUntil([&] { return probe->keysDown.size() > before; }));
        EXPECT_EQ(probe->keysDown.back(), key);
    }
    // The window saw Return and Escape on their way, and only those.
    EXPECT_EQ(w.filteredKeys, (std::vector<WPARAM>{VK_ESCAPE, VK_RETURN}));
    EXPECT_TRUE(IsWindow(w.Handle())) << "Escape must not close the window by itself";
}

namespace {

class PagePump : public CNotifyPump {
    UI_DECLARE_NOTIFY_MAP()
public:
    std::vector<std::string> clicks;

private:
    void OnClick(UiNotification& n) { clicks.push_back(WindowTests::Narrow(n.sender->Name())); }
};

UI_BEGIN_NOTIFY_MAP(PagePump, CNotifyPump)
    UI_ON_NOTIFY(L"click", L"", OnClick)
UI_END_NOTIFY_MAP()

} // namespace

TEST(WindowImpl, ClicksInAVirtualWindowReachItsPump)
{
    SkinWindow w(kCaptionSkin, L"VelkaroSkinWindowPages");
    ASSERT_TRUE(w.Open());
    PagePump page;
    ASSERT_TRUE(w.RegisterSubPump(L"page1", &page));
    w.ClickAt(w.Centre(L"next"));
    w.ClickAt(w.Centre(L"pin"));
    ASSERT_TRUE(PumpUntil([&] { return w.Count("click:pin") == 1; }));
    EXPECT_EQ(page.clicks, std::vector<std::string>{"next"});
    EXPECT_EQ(w.Count("click:next"), 1);
    w.UnregisterSubPump(L"page1");
}
