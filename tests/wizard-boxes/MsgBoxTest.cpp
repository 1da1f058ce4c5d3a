// The installer's two message boxes as the user meets them: each run modally over
// an owner, driven from a timer inside the box's own modal loop (clicks reach the
// buttons as mouse messages through the paint manager).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "BoxTestSkin.h"
#include "KeInstall/KEMsgBox.h"
#include "KeInstall/KEWhiteMsgBox.h"
#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiDpi.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;
using BoxTests::OwnerWindow;

namespace MsgBoxTests {

enum class Action { ClickOk, ClickCancel, ClickClose, SystemClose };

// What the driver saw of the box once it was on screen.
struct Seen {
    bool found = false;
    bool ownerDisabled = false;
    std::wstring title, message, okText, cancelText, icon;
    bool okShown = false, cancelShown = false, closeShown = false;
    RECT window = {}, skinRoot = {}, caption = {};
    int scale = 100;
    int mode = -1;
    bool shadowFound = false;
    RECT shadow = {};
    // Alpha of the painted frame: the outer corner, just outside the card's
    // left edge, the middle of the card (-1 before anything painted).
    int alphaCorner = -1, alphaShadow = -1, alphaCard = -1;
};

struct Driver {
    const wchar_t* windowClass = nullptr;
    HWND owner = nullptr;
    Action action = Action::ClickOk;
    DWORD start = 0;
    HWND box = nullptr;
    // Clicks go through the real X pointer (box-pointer.sh performs them) rather
    // than as messages sent to the window.
    bool realPointer = false;
    bool acted = false;
    bool timedOut = false;
    Seen seen;
};

Driver* g_driver = nullptr;

struct FindWindowOf {
    const wchar_t* windowClass;
    HWND owner;   // required owner, or null for any
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    auto* find = reinterpret_cast<FindWindowOf*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (_wcsicmp(name, find->windowClass) != 0) return TRUE;
    if (find->owner && GetWindow(window, GW_OWNER) != find->owner) return TRUE;
    find->found = window;
    return FALSE;
}

// Only this thread's windows: nothing else on the desktop can answer.
HWND ThreadWindow(const wchar_t* windowClass, HWND owner = nullptr)
{
    FindWindowOf find = {windowClass, owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

POINT CentreOf(CControlUI* control)
{
    const RECT r = control->Bounds();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickAt(HWND window, POINT client)
{
    const LPARAM at = MAKELPARAM(client.x, client.y);
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
}

// The file box-pointer.sh watches for "click x y" requests; null when the test
// does not run under it.
const char* Handshake()
{
    const char* path = std::getenv("VELKARO_BOX_HANDSHAKE");
    return path && *path ? path : nullptr;
}

// Written whole (renamed into place) so the script never reads half a line.
bool RequestClick(POINT screen)
{
    const char* path = Handshake();
    if (!path) return false;
    const std::string partial = std::string(path) + ".part";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "click %ld %ld\n", static_cast<long>(screen.x), static_cast<long>(screen.y));
    std::fclose(f);
    return MoveFileExA(partial.c_str(), path, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::wstring TextOf(CControlUI* control) { return control ? std::wstring(control->Text()) : L"<missing>"; }

void Observe(Driver& d, CKEMsgBoxBase* box)
{
    CPaintManagerUI& manager = box->Manager();
    Seen& s = d.seen;
    s.found = true;
    s.ownerDisabled = d.owner && !IsWindowEnabled(d.owner);
    s.title = TextOf(manager.FindControl(L"ke_txt_title"));
    s.message = TextOf(manager.FindControl(L"ke_txt_msg"));
    s.okText = TextOf(manager.FindControl(L"okBtn"));
    s.cancelText = TextOf(manager.FindControl(L"cancelBtn"));
    if (CControlUI* icon = manager.FindControl(L"ke_lab_ico")) s.icon = icon->BkImage().GetData();
    auto shown = [&](const wchar_t* name) {
        CControlUI* control = manager.FindControl(name);
        return control && control->Shown();
    };
    s.okShown = shown(L"okBtn");
    s.cancelShown = shown(L"cancelBtn");
    s.closeShown = shown(L"closebtn");
    GetWindowRect(d.box, &s.window);
    s.caption = manager.GetCaptionRect();
    s.scale = manager.GetScale();
    s.mode = box->GetMode();
    // The skin's root: the frame's only child for the white box, the root otherwise.
    CControlUI* root = manager.GetRoot();
    if (auto* frame = static_cast<IContainerUI*>(root->InterfaceFor(L"IContainer"))) {
        if (root->Name().IsEmpty() && frame->ItemCount() == 1) root = frame->ItemAt(0);
    }
    s.skinRoot = root->BoundsRef();   // the whole rectangle, inset included
    const BYTE* bits = manager.GetOffscreenBits();
    const SIZE size = manager.GetOffscreenSize();
    if (bits && size.cx > 40 && size.cy > 40) {
        auto alpha = [&](int x, int y) { return int(bits[((size.cy - 1 - y) * size.cx + x) * 4 + 3]); };
        s.alphaCorner = alpha(0, 0);
        s.alphaShadow = alpha(MulDiv(16, s.scale, 100) - 2, size.cy / 2);
        s.alphaCard = alpha(size.cx / 2, size.cy / 2);
    }
    if (HWND shadow = ThreadWindow(L"UmbraShadowWnd", d.box)) {
        s.shadowFound = IsWindowVisible(shadow) != FALSE;
        GetWindowRect(shadow, &s.shadow);
    }
}

void Act(Driver& d, CKEMsgBoxBase* box)
{
    const wchar_t* name = nullptr;
    switch (d.action) {
    case Action::ClickOk: name = L"okBtn"; break;
    case Action::ClickCancel: name = L"cancelBtn"; break;
    case Action::ClickClose: name = L"closebtn"; break;
    case Action::SystemClose:
        SendMessageW(d.box, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    CControlUI* control = box->Manager().FindControl(name);
    if (!control) return;
    if (!d.realPointer) {
        ClickAt(d.box, CentreOf(control));
        return;
    }
    POINT screen = CentreOf(control);
    ClientToScreen(d.box, &screen);
    RequestClick(screen);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Driver* d = g_driver;
    if (!d) return;
    if (GetTickCount() - d->start > (d->realPointer ? 15000u : 5000u)) {
        // Whatever went wrong, the caller's modal loop must end.
        if (d->box && IsWindow(d->box) && !d->timedOut) {
            d->timedOut = true;
            DestroyWindow(d->box);
        }
        return;
    }
    if (d->acted) return;
    d->box = ThreadWindow(d->windowClass);
    if (!d->box || !IsWindowVisible(d->box)) return;
    auto* box = dynamic_cast<CKEMsgBoxBase*>(
        reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(d->box, GWLP_USERDATA)));
    if (!box || !box->Manager().GetRoot()) return;
    // Laid out and painted once: the buttons have their places.
    if (IsRectEmpty(&box->Manager().GetRoot()->BoundsRef())) return;
    Observe(*d, box);
    d->acted = true;
    Act(*d, box);
}

// One run of a show function with the driver armed.
struct BoxRun {
    int result = -1;
    Driver driver;
};

using ShowFunction = int (*)(HWND owner, const CUiString& ok, const CUiString& cancel,
                             const wchar_t* icon, bool showClose, int mode);

// The close confirmation's window style; a case may choose another.
DWORD g_style = 0x10CC0000;

int ShowWhite(HWND owner, const CUiString& ok, const CUiString& cancel, const wchar_t* icon,
              bool showClose, int mode)
{
    // The installer's close confirmation.
    return CKEWhiteMsgBox::ShowWhiteMessageBox(owner, L"Velkaro", L"确定关闭？",
                                               L"关闭后将中断安装流程", ok, cancel, icon,
                                               g_style, 0x100, showClose, mode);
}

int ShowDark(HWND owner, const CUiString& ok, const CUiString& cancel, const wchar_t* icon,
             bool showClose, int)
{
    return CKEMsgBox::ShowMessageBox(owner, L"Velkaro", L"确定关闭？", L"关闭后将中断安装流程",
                                     ok, cancel, icon, g_style, 0x100, showClose);
}

struct BoxKind {
    const char* name;
    const wchar_t* windowClass;
    ShowFunction show;
};

const BoxKind kWhite = {"white", L"kewhitemsgbox", ShowWhite};
const BoxKind kDark = {"dark", L"kemsgbox", ShowDark};

class MessageBoxes : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BoxTests::UseInstallerSkin()); }

    static BoxRun Show(const BoxKind& kind, HWND owner, Action action, const wchar_t* ok = L"确定",
                    const wchar_t* cancel = L"取消", const wchar_t* icon = nullptr,
                    bool showClose = true, int mode = 1, bool realPointer = false)
    {
        BoxRun run;
        run.driver.realPointer = realPointer;
        run.driver.windowClass = kind.windowClass;
        run.driver.owner = owner;
        run.driver.action = action;
        run.driver.start = GetTickCount();
        g_driver = &run.driver;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
        run.result = kind.show(owner, CUiString(ok), CUiString(cancel), icon, showClose, mode);
        KillTimer(nullptr, timer);
        g_driver = nullptr;
        return run;
    }
};

TEST_F(MessageBoxes, EachButtonGivesItsAnswer)
{
    struct Case {
        const char* what;
        const wchar_t* ok;
        const wchar_t* cancel;
        bool showClose;
        Action action;
        int expected;
        bool okShown, cancelShown, closeShown;
    };
    const Case kCases[] = {
        {"OK", L"好", L"不要", true, Action::ClickOk, 1, true, true, true},
        {"Cancel", L"好", L"不要", true, Action::ClickCancel, 2, true, true, true},
        {"the box's own ×", L"好", L"不要", true, Action::ClickClose, 0, true, true, true},
        {"system close, × hidden", L"好", L"不要", false, Action::SystemClose, 0, true, true, false},
        {"OK with × hidden", L"好", L"不要", false, Action::ClickOk, 1, true, true, false},
        {"no OK text: Cancel alone", L"", L"不要", true, Action::ClickCancel, 2, false, true, true},
        {"no Cancel text: OK alone", L"好", L"", true, Action::ClickOk, 1, true, false, true},
        {"neither: only the ×", L"", L"", true, Action::ClickClose, 0, false, false, true},
    };
    for (const BoxKind* kind : {&kWhite, &kDark}) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(kind->name) + ": " + c.what);
            OwnerWindow owner({100, 80, 700, 520});
            const BoxRun run = Show(*kind, owner.Handle(), c.action, c.ok, c.cancel, nullptr, c.showClose);
            const Seen& s = run.driver.seen;
            ASSERT_TRUE(s.found) << "no box came up";
            EXPECT_FALSE(run.driver.timedOut) << "the box did not close";
            EXPECT_EQ(run.result, c.expected);
            EXPECT_EQ(s.okShown, c.okShown);
            EXPECT_EQ(s.cancelShown, c.cancelShown);
            EXPECT_EQ(s.closeShown, c.closeShown);
            // The skin's placeholders are replaced.
            EXPECT_EQ(s.title, L"确定关闭？");
            EXPECT_EQ(s.message, L"关闭后将中断安装流程");
            if (c.okShown) {
                EXPECT_EQ(s.okText, c.ok);
            }
            if (c.cancelShown) {
                EXPECT_EQ(s.cancelText, c.cancel);
            }
            // Gone, and nothing of it left on this thread.
            EXPECT_EQ(ThreadWindow(kind->windowClass), nullptr);
        }
    }
}

TEST_F(MessageBoxes, TheIconIsTheSkinsUnlessOneIsGiven)
{
    const wchar_t* kGiven = L"file='ke_appended\\popup\\icon_pop_up_prompt.png' dest='0,0,12,12'";
    for (const BoxKind* kind : {&kWhite, &kDark}) {
        SCOPED_TRACE(kind->name);
        const BoxRun kept = Show(*kind, nullptr, Action::ClickOk);
        EXPECT_NE(kept.driver.seen.icon.find(L"icon_pop_up_prompt.png"), std::wstring::npos);
        const BoxRun given = Show(*kind, nullptr, Action::ClickOk, L"确定", L"取消", kGiven);
        EXPECT_EQ(given.driver.seen.icon, kGiven);
    }
}

TEST_F(MessageBoxes, ModalOverTheOwnerWhichComesBackEnabled)
{
    for (const BoxKind* kind : {&kWhite, &kDark}) {
        SCOPED_TRACE(kind->name);
        OwnerWindow owner({100, 80, 700, 520});
        ASSERT_TRUE(IsWindowEnabled(owner.Handle()));
        const BoxRun run = Show(*kind, owner.Handle(), Action::ClickOk);
        ASSERT_TRUE(run.driver.seen.found);
        EXPECT_TRUE(run.driver.seen.ownerDisabled) << "the owner took input while the box was up";
        EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
        // Across the owner, down the primary monitor.
        const RECT& w = run.driver.seen.window;
        const RECT primary = BoxTests::PrimaryMonitor();
        const int width = w.right - w.left, height = w.bottom - w.top;
        EXPECT_EQ(w.left, (100 + 700) / 2 - width / 2);
        EXPECT_EQ(w.top, (primary.top + primary.bottom) / 2 - height / 2);
    }
}

TEST_F(MessageBoxes, TheWhiteBoxFramesItsCardWithItsOwnShadow)
{
    // Skin lengths, the frame and the caption all scale once with the screen.
    for (int dpi : {96, 144}) {
        SCOPED_TRACE("dpi " + std::to_string(dpi));
        CUiDpi::SetGlobalDpi(dpi);
        const BoxRun run = Show(kWhite, nullptr, Action::ClickOk, L"确定", L"取消", nullptr, true, 7);
        CUiDpi::SetGlobalDpi(96);
        const Seen& s = run.driver.seen;
        ASSERT_TRUE(s.found);
        EXPECT_EQ(s.scale, MulDiv(dpi, 100, 96));
        const int border = MulDiv(16, s.scale, 100);
        EXPECT_EQ(s.window.right - s.window.left, MulDiv(417, s.scale, 100) + 2 * border);
        EXPECT_EQ(s.window.bottom - s.window.top, MulDiv(212, s.scale, 100) + 2 * border);
        // The skin's root sits the frame's width in from every edge.
        const int width = s.window.right - s.window.left, height = s.window.bottom - s.window.top;
        EXPECT_EQ(s.skinRoot.left, border);
        EXPECT_EQ(s.skinRoot.top, border);
        EXPECT_EQ(s.skinRoot.right, width - border);
        EXPECT_EQ(s.skinRoot.bottom, height - border);
        // The caption ends where the skin says, measured from the card's top.
        EXPECT_EQ(s.caption.bottom, MulDiv(126, s.scale, 100) + border);
        EXPECT_EQ(s.mode, 7);
        // Painted: a clear outer corner, a soft shadow, an opaque card.
        EXPECT_LT(s.alphaCorner, 40);
        EXPECT_GT(s.alphaShadow, 0);
        EXPECT_LT(s.alphaShadow, 200);
        EXPECT_EQ(s.alphaCard, 255);
        EXPECT_FALSE(s.shadowFound) << "the white box draws its shadow itself";
    }
}

TEST_F(MessageBoxes, TheDarkBoxHasAShadowWindowBehindIt)
{
    const BoxRun run = Show(kDark, nullptr, Action::ClickOk);
    const Seen& s = run.driver.seen;
    ASSERT_TRUE(s.found);
    ASSERT_TRUE(s.shadowFound);
    const int size = 16;   // shadow sizes are window pixels
    EXPECT_EQ(s.shadow.left, s.window.left - size);
    EXPECT_EQ(s.shadow.top, s.window.top - size);
    EXPECT_EQ(s.shadow.right, s.window.right + size);
    EXPECT_EQ(s.shadow.bottom, s.window.bottom + size);
}

// The wizard runs modally too: a page's close button nests the box's loop in the
// wizard's, and the wizard's own close must still end the outer loop.
class ModalOwner : public CKEObjectWnd {
public:
    static constexpr UINT kAsk = WM_APP + 5;
    ModalOwner() : CKEObjectWnd(L"KEMsgBox.xml", L"kenestedowner") {}
    ~ModalOwner() override
    {
        if (Handle() && IsWindow(Handle())) DestroyWindow(Handle());
    }
    std::function<void()> onAsk;

protected:
    LRESULT OnCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        if (message != kAsk) return CKEObjectWnd::OnCustomMessage(message, wParam, lParam, handled);
        handled = true;
        if (onAsk) onAsk();
        return 0;
    }
};

TEST_F(MessageBoxes, ABoxInsideTheWizardsModalLoop)
{
    ModalOwner wizard;
    const HWND window = wizard.Create(nullptr, L"Velkaro", WS_POPUP, 0, 100, 80, 10, 10);
    ASSERT_NE(window, nullptr);
    BoxRun run;
    bool ownerDisabled = false;
    wizard.onAsk = [&] {
        run = Show(kWhite, window, Action::ClickOk);
        ownerDisabled = run.driver.seen.ownerDisabled;
        // Whatever the answer, the wizard goes, carrying it.
        PostMessageW(window, WM_CLOSE, 10 + run.result, 0);
    };
    wizard.Post(ModalOwner::kAsk);
    const UINT wizardResult = wizard.RunModal();
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(wizardResult, 11u);
    EXPECT_FALSE(IsWindow(window));
}

// A box that cannot be made is an answer of 0, not a crash or a hang.
TEST_F(MessageBoxes, AnOwnerThatIsNoWindowGivesNoBox)
{
    const HWND bogus = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ff0));
    ASSERT_FALSE(IsWindow(bogus));
    for (const BoxKind* kind : {&kWhite, &kDark}) {
        SCOPED_TRACE(kind->name);
        const BoxRun run = Show(*kind, bogus, Action::ClickOk);
        EXPECT_EQ(run.result, 0);
        EXPECT_FALSE(run.driver.seen.found);
    }
}

// The real pointer on real boxes: what the user does, through Wine's input.
TEST_F(MessageBoxes, BoxPointerClicksAnswer)
{
    if (!Handshake()) GTEST_SKIP() << "run through box-pointer.sh, which drives the pointer";
    struct Case {
        const BoxKind* kind;
        Action action;
        int expected;
    };
    const Case kCases[] = {
        {&kWhite, Action::ClickOk, 1},
        {&kWhite, Action::ClickClose, 0},
        {&kDark, Action::ClickCancel, 2},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.kind->name) + " box, expecting " + std::to_string(c.expected));
        OwnerWindow owner({100, 80, 700, 520});
        const BoxRun run = Show(*c.kind, owner.Handle(), c.action, L"确定", L"取消", nullptr, true, 1, true);
        ASSERT_TRUE(run.driver.seen.found);
        EXPECT_FALSE(run.driver.timedOut) << "the click did not close the box";
        EXPECT_EQ(run.result, c.expected);
        EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
        // The next request only once this one is taken.
        const char* path = Handshake();
        for (int i = 0; i < 200 && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    }
}

} // namespace MsgBoxTests
