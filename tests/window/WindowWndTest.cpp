// CWindowWnd on real windows: the modal loop and its result, subclassing,
// superclassing, and client sizes.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "SkinWindow.h"
#include "ui/core/UiWindowWnd.h"

using namespace SkinUI;
using WindowTests::PumpUntil;

namespace {

constexpr UINT kAct = WM_APP + 5;
constexpr UINT kProbe = WM_APP + 6;
constexpr UINT_PTR kGuardTimer = 99;

class PlainWindow : public CWindowWnd {
public:
    explicit PlainWindow(const wchar_t* className = L"VelkaroPlainWindowTest",
                         const wchar_t* base = nullptr)
        : m_className(className), m_base(base)
    {
    }
    ~PlainWindow() override
    {
        if (destroyOnDelete && Handle() && IsWindow(Handle())) DestroyWindow(Handle());
    }
    const wchar_t* ClassName() const override { return m_className; }
    const wchar_t* BaseClassName() const override { return m_base; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER && wParam == kGuardTimer) {
            guardFired = true;
            DestroyWindow(Handle());
            return 0;
        }
        if (message == kProbe) return 1234;
        if (onMessage) {
            bool handled = false;
            const LRESULT result = onMessage(message, wParam, lParam, handled);
            if (handled) return result;
        }
        return CWindowWnd::OnMessage(message, wParam, lParam);
    }
    void AfterDestroy(HWND window) override
    {
        ++afterDestroy;
        destroyedHandle = window;
        handleAtDestroy = Handle();
        if (deleteSelf) delete this;
    }

    std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> onMessage;
    int afterDestroy = 0;
    HWND destroyedHandle = nullptr;
    HWND handleAtDestroy = reinterpret_cast<HWND>(1);
    bool guardFired = false;
    bool deleteSelf = false;
    bool destroyOnDelete = true;

private:
    const wchar_t* m_className;
    const wchar_t* m_base;
};

// A top-level window to own the modal windows.
struct Owner {
    Owner()
    {
        window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~Owner()
    {
        if (window) DestroyWindow(window);
    }
    HWND window = nullptr;
};

// What a scenario sees while its modal loop runs.
struct ModalRun {
    UINT result = 0;
    bool ownerDisabledInside = false;
    bool ownerEnabledAfter = false;
    bool guardFired = false;
    bool quitReposted = false;
    int afterDestroy = 0;
};

} // namespace

TEST(WindowWnd, RunModalAnswersTheCloseValueAndGivesTheOwnerBack)
{
    struct Case {
        const char* what;
        // Runs inside the loop (kAct); returns nothing, acts on the window.
        std::function<void(PlainWindow&)> act;
        UINT expected;
        bool expectQuit;
    };
    const Case cases[] = {
        {"close with a value", [](PlainWindow& w) { w.Close(7); }, 7, false},
        {"close with the default", [](PlainWindow& w) { w.Close(); }, IDOK, false},
        {"destroyed inside a handler", [](PlainWindow& w) { DestroyWindow(w.Handle()); }, 0,
         false},
        {"close sent, not posted",
         [](PlainWindow& w) { SendMessageW(w.Handle(), WM_CLOSE, 5, 0); }, 5, false},
        {"quit message ends the loop", [](PlainWindow&) { PostQuitMessage(9); }, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Owner owner;
        ASSERT_NE(owner.window, nullptr);
        PlainWindow w;
        ASSERT_NE(w.Create(owner.window, L"modal", WS_POPUP, 0, 200, 200, 120, 90), nullptr);
        ModalRun run;
        w.onMessage = [&](UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
            if (m != kAct) return 0;
            handled = true;
            run.ownerDisabledInside = !IsWindowEnabled(owner.window);
            c.act(w);
            return 0;
        };
        SetTimer(w.Handle(), kGuardTimer, 5000, nullptr);
        PostMessageW(w.Handle(), kAct, 0, 0);
        run.result = w.RunModal();
        run.ownerEnabledAfter = IsWindowEnabled(owner.window) != FALSE;
        run.guardFired = w.guardFired;
        MSG msg;
        run.quitReposted = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) &&
                           msg.wParam == 9;
        EXPECT_FALSE(run.guardFired) << "the loop never ended by itself";
        EXPECT_EQ(run.result, c.expected);
        EXPECT_TRUE(run.ownerDisabledInside);
        EXPECT_TRUE(run.ownerEnabledAfter);
        EXPECT_EQ(run.quitReposted, c.expectQuit);
        if (!c.expectQuit) {
            EXPECT_EQ(w.afterDestroy, 1);
            EXPECT_EQ(w.Handle(), nullptr);
        }
    }
}

TEST(WindowWnd, RefusedCloseKeepsTheOwnerDisabled)
{
    Owner owner;
    PlainWindow w;
    ASSERT_NE(w.Create(owner.window, L"modal", WS_POPUP, 0, 200, 200, 120, 90), nullptr);
    bool disabledAfterRefusal = false;
    w.onMessage = [&](UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
        if (m == kAct) {
            handled = true;
            w.Close(3);
        } else if (m == WM_CLOSE && wp == 3) {
            handled = true;   // refused: the window stays up
            PostMessageW(w.Handle(), kProbe + 1, 0, 0);
        } else if (m == kProbe + 1) {
            handled = true;
            disabledAfterRefusal = !IsWindowEnabled(owner.window);
            w.Close(4);
        }
        return 0;
    };
    SetTimer(w.Handle(), kGuardTimer, 5000, nullptr);
    PostMessageW(w.Handle(), kAct, 0, 0);
    EXPECT_EQ(w.RunModal(), 4u);
    EXPECT_FALSE(w.guardFired);
    EXPECT_TRUE(disabledAfterRefusal) << "a refused close left the owner enabled";
    EXPECT_TRUE(IsWindowEnabled(owner.window));
}

TEST(WindowWnd, RunModalSurvivesTheObjectDeletingItself)
{
    Owner owner;
    auto* w = new PlainWindow();
    w->deleteSelf = true;
    ASSERT_NE(w->Create(owner.window, L"modal", WS_POPUP, 0, 200, 200, 120, 90), nullptr);
    PlainWindow* raw = w;
    w->onMessage = [raw](UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
        if (m != kAct) return 0;
        handled = true;
        raw->Close(6);
        return 0;
    };
    PostMessageW(w->Handle(), kAct, 0, 0);
    EXPECT_EQ(w->RunModal(), 6u);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
}

TEST(WindowWnd, RunModalWithoutAWindowAnswersAtOnce)
{
    PlainWindow w;
    EXPECT_EQ(w.RunModal(), static_cast<UINT>(-1));
}

TEST(WindowWnd, CreateRefusesBadInput)
{
    PlainWindow noName(nullptr);
    EXPECT_EQ(noName.Create(nullptr, L"x", WS_POPUP, 0), nullptr);
    PlainWindow noBase(L"VelkaroNoBaseTest", L"NoSuchSystemClass");
    EXPECT_EQ(noBase.Create(nullptr, L"x", WS_POPUP, 0), nullptr);
    PlainWindow twice;
    ASSERT_NE(twice.Create(nullptr, L"x", WS_POPUP, 0), nullptr);
    EXPECT_EQ(twice.Create(nullptr, L"y", WS_POPUP, 0), nullptr);
    EXPECT_EQ(twice.Subclass(twice.Handle()), nullptr);
    EXPECT_FALSE(twice.SetIcon(4242)) << "no such icon resource";
    PlainWindow other;
    EXPECT_EQ(other.Subclass(nullptr), nullptr);
    EXPECT_EQ(other.Subclass(reinterpret_cast<HWND>(0x1234)), nullptr);
}

TEST(WindowWnd, WindowOutlivingItsObjectFallsBackToTheDefault)
{
    struct Case {
        const char* what;
        const wchar_t* className;
        const wchar_t* base;
    };
    const Case cases[] = {
        {"own class", L"VelkaroOutliveOwnTest", nullptr},
        {"superclass", L"VelkaroOutliveSuperTest", L"BUTTON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* w = new PlainWindow(c.className, c.base);
        const HWND window = w->Create(nullptr, L"o", WS_POPUP, 0, 0, 0, 50, 50);
        ASSERT_NE(window, nullptr);
        w->destroyOnDelete = false;
        delete w;
        EXPECT_NE(SendMessageW(window, kProbe, 0, 0), 1234);
        EXPECT_TRUE(DestroyWindow(window));
    }
}

TEST(WindowWnd, RectangleVariantSizesTheWindow)
{
    PlainWindow w;
    const RECT rect = {30, 40, 230, 190};
    ASSERT_NE(w.Create(nullptr, L"r", WS_POPUP, 0, rect), nullptr);
    RECT got = {};
    GetWindowRect(w.Handle(), &got);
    EXPECT_EQ(got.right - got.left, 200);
    EXPECT_EQ(got.bottom - got.top, 150);
}

TEST(WindowWnd, SubclassRoutesAndUnsubclassRestores)
{
    HWND edit = CreateWindowExW(0, L"EDIT", L"abc", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    PlainWindow w(L"VelkaroSubclassTest");
    ASSERT_EQ(w.Subclass(edit), edit);
    EXPECT_EQ(SendMessageW(edit, kProbe, 0, 0), 1234);
    // What the object does not handle still reaches the edit control.
    wchar_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(text, L"abc");
    w.Unsubclass();
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
    EXPECT_NE(SendMessageW(edit, kProbe, 0, 0), 1234);

    // Destroyed while subclassed: the object hears of it once and lets go.
    PlainWindow again(L"VelkaroSubclassTest");
    ASSERT_EQ(again.Subclass(edit), edit);
    DestroyWindow(edit);
    EXPECT_EQ(again.afterDestroy, 1);
    EXPECT_EQ(again.destroyedHandle, edit);
    EXPECT_EQ(again.handleAtDestroy, nullptr);
    EXPECT_EQ(again.Handle(), nullptr);
}

TEST(WindowWnd, SuperclassKeepsTheSystemBehaviour)
{
    PlainWindow w(L"VelkaroSuperButtonTest", L"BUTTON");
    ASSERT_NE(w.Create(nullptr, L"b", WS_POPUP | BS_AUTOCHECKBOX, 0, 0, 0, 80, 20), nullptr);
    EXPECT_EQ(GetPropW(w.Handle(), L"WndX"), static_cast<CWindowWnd*>(&w));
    EXPECT_EQ(w.Send(kProbe), 1234);
    // Only the button's own procedure knows check states.
    w.Send(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(w.Send(BM_GETCHECK), BST_CHECKED);
    const HWND handle = w.Handle();
    DestroyWindow(handle);
    EXPECT_EQ(w.afterDestroy, 1);
    EXPECT_EQ(w.Handle(), nullptr);
}

TEST(WindowWnd, SetClientSizeKeepsWhatIsMinusOne)
{
    struct Case {
        int cx, cy;
        int expectCx, expectCy;
    };
    const Case cases[] = {
        {300, 200, 300, 200},
        {-1, 150, 300, 150},
        {250, -1, 250, 150},
        {-1, -1, 250, 150},
    };
    PlainWindow w;
    ASSERT_NE(w.Create(nullptr, L"c", WS_OVERLAPPEDWINDOW, 0, 50, 50, 100, 100), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cx) + "," + std::to_string(c.cy));
        w.SetClientSize(c.cx, c.cy);
        RECT client = {};
        GetClientRect(w.Handle(), &client);
        EXPECT_EQ(client.right, c.expectCx);
        EXPECT_EQ(client.bottom, c.expectCy);
    }
}

TEST(WindowWnd, CentreWindowCentresOnAVisibleOwner)
{
    Owner owner;
    SetWindowPos(owner.window, nullptr, 100, 100, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    PlainWindow w;
    ASSERT_NE(w.Create(owner.window, L"c", WS_POPUP, 0, 0, 0, 200, 100), nullptr);
    w.CentreWindow();
    RECT rect = {};
    GetWindowRect(w.Handle(), &rect);
    EXPECT_EQ(rect.left, 200);
    EXPECT_EQ(rect.top, 200);
}
