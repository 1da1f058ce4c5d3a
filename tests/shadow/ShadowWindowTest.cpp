// The shadow window beside real windows under Wine: where it sits, how it follows
// its parent through moves, sizes, hiding and maximising, and how two shadowed
// windows each keep their own window procedure.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "PaintTestUtil.h"
#include "ui/core/UiShadow.h"
#include "ui/render/UiImage.h"

using namespace SkinUI;
using PaintTest::PumpUntil;
using PaintTest::TestBox;
using PaintTest::TestWindow;

namespace {

RECT RectOf(HWND window)
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    return rc;
}

std::string Describe(const RECT& rc)
{
    return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + ")-(" +
           std::to_string(rc.right) + "," + std::to_string(rc.bottom) + ")";
}

RECT Grown(const RECT& rc, int by)
{
    return RECT{rc.left - by, rc.top - by, rc.right + by, rc.bottom + by};
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// Pumps until the shadow window has exactly that rectangle.
::testing::AssertionResult ShadowAt(HWND shadow, const RECT& expected)
{
    return PumpUntil([&] { return Same(RectOf(shadow), expected); }, 3000,
                     [&] { return Describe(RectOf(shadow)) + ", wanted " + Describe(expected); });
}

::testing::AssertionResult ShadowShown(HWND shadow, bool shown)
{
    return PumpUntil([&] { return (IsWindowVisible(shadow) != FALSE) == shown; }, 3000,
                     [&] { return std::string(IsWindowVisible(shadow) ? "shown" : "hidden"); });
}

int FrameAlpha(const CShadowUI& shadow, int x, int y)
{
    const SIZE size = shadow.GetFrameSize();
    if (!shadow.GetFrameBits() || x < 0 || y < 0 || x >= size.cx || y >= size.cy) return -1;
    return static_cast<int>(shadow.GetFrameBits()[static_cast<size_t>(y) * size.cx + x] >> 24);
}

// The message box's shadow: a 417 x 212 layered window with a size-16 shadow.
class ShadowedBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<TestWindow>(417, 212, true, 100, 100, L"ShadowTest");
        shadow().ShowShadow(true);
        ASSERT_TRUE(shadow().AssignShadowSize(16));
        ASSERT_TRUE(window->Show(new TestBox()));
        ASSERT_NE(shadow().GetShadowWindow(), nullptr);
        ASSERT_TRUE(ShadowAt(shadow().GetShadowWindow(), Grown(RectOf(Parent()), 16)));
    }
    void TearDown() override { window.reset(); }

    CShadowUI& shadow() { return window->Manager().GetShadow(); }
    HWND Parent() const { return window->Handle(); }
    HWND Shadow() { return shadow().GetShadowWindow(); }

    std::unique_ptr<TestWindow> window;
};

} // namespace

TEST_F(ShadowedBox, SitsSixteenPixelsUpAndLeftAsALayeredClickThroughOwnedWindow)
{
    const RECT rc = RectOf(Shadow());
    EXPECT_EQ(rc.left, 84);
    EXPECT_EQ(rc.top, 84);
    EXPECT_EQ(rc.right - rc.left, 449);
    EXPECT_EQ(rc.bottom - rc.top, 244);
    EXPECT_TRUE(IsWindowVisible(Shadow()));

    const LONG_PTR exStyle = GetWindowLongPtrW(Shadow(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);
    EXPECT_EQ(GetWindow(Shadow(), GW_OWNER), Parent());
    wchar_t name[64] = {};
    GetClassNameW(Shadow(), name, 64);
    EXPECT_STREQ(name, L"UmbraShadowWnd");
    EXPECT_TRUE(CShadowUI::IsHooked(Parent()));

    // What was pushed: solid above the box, clear where the box itself is.
    const SIZE frame = shadow().GetFrameSize();
    EXPECT_EQ(frame.cx, 449);
    EXPECT_EQ(frame.cy, 244);
    EXPECT_EQ(FrameAlpha(shadow(), 200, 8), 150);
    EXPECT_EQ(FrameAlpha(shadow(), 200, 100), 0);
    EXPECT_EQ(FrameAlpha(shadow(), 0, 0), 0);

    // Clicks go through the shadow to whatever is below.
    POINT beside = {rc.left + 4, rc.top + 120};
    EXPECT_NE(WindowFromPoint(beside), Shadow());
}

TEST_F(ShadowedBox, StaysNextToItsParentInZOrder)
{
    // Keeping to the parent: activation puts it right behind the parent again. A
    // window manager may keep an owned window above its owner, so the shadow is
    // directly behind or directly in front, never anywhere else.
    SetWindowPos(Parent(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SendMessageW(Parent(), WM_NCACTIVATE, TRUE, 0);
    PaintTest::PumpFor(50);
    const HWND next = GetWindow(Parent(), GW_HWNDNEXT);
    const HWND previous = GetWindow(Parent(), GW_HWNDPREV);
    EXPECT_TRUE(next == Shadow() || previous == Shadow())
        << "next " << next << ", previous " << previous << ", shadow " << Shadow();
}

TEST_F(ShadowedBox, FollowsMovesAtOnceShrinkingAtOnceGrowingAtThePaint)
{
    struct Step {
        const char* name;
        int x, y, width, height;
        bool deferred;   // the new size waits for the parent's next paint
    } steps[] = {
        {"move", 200, 150, 417, 212, false},
        {"shrink", 200, 150, 300, 200, false},
        {"grow", 210, 160, 500, 300, true},
        {"grow height only", 210, 160, 500, 320, true},
        {"same size", 220, 160, 500, 320, false},
        {"shrink width only", 220, 160, 400, 320, false},
    };
    for (const Step& step : steps) {
        const RECT before = RectOf(Shadow());
        const int paintsBefore = window->paints;
        SetWindowPos(Parent(), nullptr, step.x, step.y, step.width, step.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT wanted = Grown(RECT{step.x, step.y, step.x + step.width, step.y + step.height}, 16);
        const RECT now = RectOf(Shadow());
        // The place follows at once in every case.
        EXPECT_EQ(now.left, wanted.left) << step.name;
        EXPECT_EQ(now.top, wanted.top) << step.name;
        if (step.deferred) {
            EXPECT_EQ(now.right - now.left, before.right - before.left) << step.name;
            EXPECT_EQ(now.bottom - now.top, before.bottom - before.top) << step.name;
        } else {
            EXPECT_TRUE(Same(now, wanted)) << step.name << ": " << Describe(now);
        }
        EXPECT_TRUE(ShadowAt(Shadow(), wanted)) << step.name << ", parent " << Describe(RectOf(Parent())) << ", paints "
            << paintsBefore << " -> " << window->paints << ", frame " << shadow().GetFrameSize().cx;
        EXPECT_EQ(shadow().GetFrameSize().cx, step.width + 32) << step.name;
    }
}

TEST_F(ShadowedBox, HidesAndShowsWithItsParentAndHidesWhileMaximised)
{
    ShowWindow(Parent(), SW_HIDE);
    EXPECT_TRUE(ShadowShown(Shadow(), false));
    ShowWindow(Parent(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(ShadowShown(Shadow(), true));
    EXPECT_TRUE(ShadowAt(Shadow(), Grown(RectOf(Parent()), 16)));

    SetWindowPos(Parent(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE |
                                                    SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(ShadowShown(Shadow(), false));
    SetWindowPos(Parent(), nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE |
                                                    SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(ShadowShown(Shadow(), true));

    const RECT restored = RectOf(Parent());
    ShowWindow(Parent(), SW_MAXIMIZE);
    EXPECT_TRUE(ShadowShown(Shadow(), false));
    // A change while hidden is drawn when the window comes back.
    EXPECT_TRUE(shadow().AssignShadowSize(10));
    ShowWindow(Parent(), SW_RESTORE);
    EXPECT_TRUE(ShadowShown(Shadow(), true));
    EXPECT_TRUE(PumpUntil([&] { return Same(RectOf(Parent()), restored); }, 3000,
                          [&] { return Describe(RectOf(Parent())) + ", wanted " + Describe(restored); }));
    EXPECT_TRUE(ShadowAt(Shadow(), Grown(restored, 10)));
    EXPECT_EQ(shadow().GetFrameSize().cx, 417 + 20);
}

TEST_F(ShadowedBox, SuspendedShadowHidesAndLetsMessagesPass)
{
    shadow().SuspendShadow(true);
    EXPECT_FALSE(IsWindowVisible(Shadow()));
    const RECT still = RectOf(Shadow());
    SetWindowPos(Parent(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PaintTest::PumpFor(30);
    EXPECT_TRUE(Same(RectOf(Shadow()), still));
    EXPECT_FALSE(IsWindowVisible(Shadow()));
    shadow().SuspendShadow(false);
    EXPECT_TRUE(IsWindowVisible(Shadow()));
    EXPECT_TRUE(ShadowAt(Shadow(), Grown(RectOf(Parent()), 16)));
}

TEST_F(ShadowedBox, SettersRefuseOutOfRangeValuesAndRedrawAtOnce)
{
    ASSERT_TRUE(shadow().AssignShadowSharpness(7));
    ASSERT_TRUE(shadow().AssignShadowDarkness(90));
    ASSERT_TRUE(shadow().AssignShadowOffset(3, -4));
    struct Refused {
        const char* name;
        bool (*apply)(CShadowUI&);
    } refused[] = {
        {"darkness 256", [](CShadowUI& s) { return s.AssignShadowDarkness(256); }},
        {"sharpness 36", [](CShadowUI& s) { return s.AssignShadowSharpness(36); }},
        {"offset x 36", [](CShadowUI& s) { return s.AssignShadowOffset(36, 0); }},
        {"offset y -36", [](CShadowUI& s) { return s.AssignShadowOffset(0, -36); }},
        {"size 36", [](CShadowUI& s) { return s.AssignShadowSize(36); }},
        {"size -36", [](CShadowUI& s) { return s.AssignShadowSize(-36); }},
        {"negative corner", [](CShadowUI& s) { return s.AssignShadowCorner(RECT{1, -1, 1, 1}); }},
        {"null image", [](CShadowUI& s) { return s.AssignShadowImage(nullptr); }},
    };
    for (const Refused& r : refused) {
        EXPECT_FALSE(r.apply(shadow())) << r.name;
        EXPECT_EQ(shadow().GetDarkness(), 90) << r.name;
        EXPECT_EQ(shadow().GetSharpness(), 7) << r.name;
        EXPECT_EQ(shadow().GetOffset().x, 3) << r.name;
        EXPECT_EQ(shadow().GetOffset().y, -4) << r.name;
        EXPECT_EQ(shadow().GetSize(), 16) << r.name;
        EXPECT_FALSE(shadow().IsImageMode()) << r.name;
    }
    // Accepted values show at once: the offset moved the window, the darkness the core.
    const RECT parent = RectOf(Parent());
    EXPECT_TRUE(Same(RectOf(Shadow()), RECT{parent.left - 13, parent.top - 20,
                                            parent.right + 19, parent.bottom + 12}));
    EXPECT_EQ(FrameAlpha(shadow(), 200, 10), 90);
}

TEST_F(ShadowedBox, ShapedParentCastsItsShadowUnderItsCutCorners)
{
    // Round corners of radius 20 (the region belongs to the window afterwards).
    ASSERT_NE(SetWindowRgn(Parent(), CreateRoundRectRgn(0, 0, 418, 213, 40, 40), TRUE), 0);
    ASSERT_TRUE(shadow().AssignShadowDarkness(200));   // redraws with the new outline
    EXPECT_EQ(FrameAlpha(shadow(), 16, 16), 200) << "the parent's cut corner";
    EXPECT_EQ(FrameAlpha(shadow(), 16 + 208, 16 + 100), 0) << "the parent itself";
    EXPECT_EQ(FrameAlpha(shadow(), 16 + 208, 8), 200) << "above the straight edge";
}

TEST(ShadowImage, SizeZeroImageShadowExactlyCoversTheWindow)
{
    TestWindow window(300, 200, true, 120, 120, L"ShadowImage");
    BYTE* bits = nullptr;
    HBITMAP image = CreateArgbSurface(nullptr, 10, 10, &bits);
    ASSERT_NE(image, nullptr);
    for (int i = 0; i < 100; ++i) reinterpret_cast<DWORD*>(bits)[i] = 0xFF202020u;
    ASSERT_NE(window.Manager().AddImage(L"shadow_test.png", image, 10, 10, true), nullptr);
    CShadowUI& shadow = window.Manager().GetShadow();
    shadow.ShowShadow(true);
    ASSERT_TRUE(shadow.AssignShadowImage(L"shadow_test.png"));
    ASSERT_TRUE(shadow.AssignShadowCorner(RECT{4, 4, 4, 4}));
    ASSERT_TRUE(window.Show(new TestBox()));
    ASSERT_NE(shadow.GetShadowWindow(), nullptr);
    EXPECT_TRUE(ShadowAt(shadow.GetShadowWindow(), RectOf(window.Handle())));
    EXPECT_EQ(FrameAlpha(shadow, 0, 0), 255);
    EXPECT_EQ(FrameAlpha(shadow, 299, 199), 255);
    EXPECT_EQ(FrameAlpha(shadow, 150, 100), 0) << "the middle is left empty";

    // A missing image leaves the shadow as it was.
    ASSERT_TRUE(shadow.AssignShadowImage(L"no_such_shadow.png"));
    EXPECT_EQ(FrameAlpha(shadow, 0, 0), 255);
    EXPECT_TRUE(Same(RectOf(shadow.GetShadowWindow()), RectOf(window.Handle())));
}

TEST(ShadowImage, ShadowStaysOffUntilShownAndIsCreatedOnce)
{
    TestWindow window(200, 100, true, 60, 60, L"ShadowOff");
    ASSERT_TRUE(window.Manager().GetShadow().AssignShadowSize(8));
    ASSERT_TRUE(window.Show(new TestBox()));
    EXPECT_EQ(window.Manager().GetShadow().GetShadowWindow(), nullptr);
    EXPECT_FALSE(CShadowUI::IsHooked(window.Handle()));

    // Switched on, a new root brings it; another root keeps the same one.
    window.Manager().GetShadow().ShowShadow(true);
    window.Manager().AttachRoot(new TestBox());
    const HWND first = window.Manager().GetShadow().GetShadowWindow();
    ASSERT_NE(first, nullptr);
    window.Manager().AttachRoot(new TestBox());
    EXPECT_EQ(window.Manager().GetShadow().GetShadowWindow(), first);
    EXPECT_TRUE(ShadowAt(first, Grown(RectOf(window.Handle()), 8)));
}

// ---- two shadowed windows, each on its own window procedure

namespace {

constexpr UINT kPing = WM_APP + 37;

// A window whose procedure counts pings in its own counter and hands everything
// to its paint manager. Two procedures, so each window's chain can be told apart.
class HookedWindow {
public:
    explicit HookedWindow(int which, int x)
    {
        static const ATOM classes[2] = {Register(L"ShadowHookA", &ProcA),
                                        Register(L"ShadowHookB", &ProcB)};
        (void)classes;
        manager = std::make_unique<CPaintManagerUI>();
        handle = CreateWindowExW(0, which == 0 ? L"ShadowHookA" : L"ShadowHookB", L"Hooked",
                                 WS_POPUP, x, 100, 200, 120, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager.get()));
        ownProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
        manager->Init(handle, L"Hooked");
        manager->SetLayered(true);
        manager->GetShadow().ShowShadow(true);
        manager->GetShadow().AssignShadowSize(6);
        ShowWindow(handle, SW_SHOWNOACTIVATE);
        manager->AttachRoot(new TestBox());
        shadow = manager->GetShadow().GetShadowWindow();
    }
    ~HookedWindow() { Destroy(); }

    void Destroy()
    {
        if (handle) DestroyWindow(handle);
        handle = nullptr;
        manager.reset();
    }

    // The paint manager (and its shadow) goes while the window stays.
    void DropManager()
    {
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        manager.reset();
    }

    static int pingsA, pingsB;
    HWND handle = nullptr;
    HWND shadow = nullptr;
    WNDPROC ownProc = nullptr;
    std::unique_ptr<CPaintManagerUI> manager;

private:
    static ATOM Register(const wchar_t* name, WNDPROC proc)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        return RegisterClassW(&wc);
    }
    static LRESULT Common(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int* pings)
    {
        if (message == kPing) ++*pings;
        auto* manager = reinterpret_cast<CPaintManagerUI*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (manager && manager->GetPaintWindow() == window &&
            manager->HandleMessage(message, wParam, lParam, result))
            return result;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static LRESULT CALLBACK ProcA(HWND w, UINT m, WPARAM wp, LPARAM lp) { return Common(w, m, wp, lp, &pingsA); }
    static LRESULT CALLBACK ProcB(HWND w, UINT m, WPARAM wp, LPARAM lp) { return Common(w, m, wp, lp, &pingsB); }
};

int HookedWindow::pingsA = 0;
int HookedWindow::pingsB = 0;

// Each window's pings reach its own procedure and only that one.
void ExpectOwnProcedures(HookedWindow* a, HookedWindow* b, const char* when)
{
    if (a) {
        const int before = HookedWindow::pingsA, other = HookedWindow::pingsB;
        SendMessageW(a->handle, kPing, 0, 0);
        EXPECT_EQ(HookedWindow::pingsA, before + 1) << when << ": window A";
        EXPECT_EQ(HookedWindow::pingsB, other) << when << ": window A";
    }
    if (b) {
        const int before = HookedWindow::pingsB, other = HookedWindow::pingsA;
        SendMessageW(b->handle, kPing, 0, 0);
        EXPECT_EQ(HookedWindow::pingsB, before + 1) << when << ": window B";
        EXPECT_EQ(HookedWindow::pingsA, other) << when << ": window B";
    }
}

// The survivor still has its shadow, hooked and following.
void ExpectStillFollowing(HookedWindow& window, const char* when)
{
    ASSERT_TRUE(IsWindow(window.shadow)) << when;
    EXPECT_TRUE(CShadowUI::IsHooked(window.handle)) << when;
    SetWindowPos(window.handle, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(ShadowAt(window.shadow, Grown(RectOf(window.handle), 6))) << when;
}

} // namespace

TEST(TwoShadows, EachWindowKeepsItsOwnProcedureAndUnhooksInEitherOrder)
{
    for (int firstGone = 0; firstGone < 2; ++firstGone) {
        const char* order = firstGone == 0 ? "A first" : "B first";
        HookedWindow a(0, 40), b(1, 300);
        ASSERT_NE(a.shadow, nullptr) << order;
        ASSERT_NE(b.shadow, nullptr) << order;
        EXPECT_NE(a.shadow, b.shadow);
        EXPECT_TRUE(CShadowUI::IsHooked(a.handle) && CShadowUI::IsHooked(b.handle)) << order;
        ExpectOwnProcedures(&a, &b, order);

        HookedWindow& gone = firstGone == 0 ? a : b;
        HookedWindow& kept = firstGone == 0 ? b : a;
        const HWND goneHandle = gone.handle, goneShadow = gone.shadow;
        gone.Destroy();
        EXPECT_FALSE(IsWindow(goneShadow)) << order << ": the shadow goes with its parent";
        EXPECT_FALSE(CShadowUI::IsHooked(goneHandle)) << order << ": the map entry goes too";
        ExpectOwnProcedures(firstGone == 0 ? nullptr : &a, firstGone == 0 ? &b : nullptr, order);
        ExpectStillFollowing(kept, order);

        const HWND keptHandle = kept.handle, keptShadow = kept.shadow;
        kept.Destroy();
        EXPECT_FALSE(IsWindow(keptShadow)) << order;
        EXPECT_FALSE(CShadowUI::IsHooked(keptHandle)) << order;
    }
}

TEST(TwoShadows, ShadowGoingFirstGivesTheWindowItsProcedureBack)
{
    HookedWindow a(0, 40), b(1, 300);
    ASSERT_NE(a.shadow, nullptr);
    EXPECT_NE(GetWindowLongPtrW(a.handle, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(a.ownProc));
    a.DropManager();
    EXPECT_EQ(GetWindowLongPtrW(a.handle, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(a.ownProc));
    EXPECT_FALSE(CShadowUI::IsHooked(a.handle));
    EXPECT_FALSE(IsWindow(a.shadow));
    ExpectOwnProcedures(&a, &b, "after A's shadow went");
    ExpectStillFollowing(b, "after A's shadow went");
}
