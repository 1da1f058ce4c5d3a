// The wizard on the real skin at 100 %, 150 % and 200 % screens: the window and
// its controls grow by the screen's scale, and every text on every page still
// fits the rectangle it is drawn in with the font it is drawn with.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "7zCore/UnzipCore7z.h"
#include "KeInstall/KEMainFrame.h"
#include "WizardHost.h"
#include "support/TestSupport.h"
#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/core/UiDpi.h"
#include "ui/render/UiText.h"

using namespace SkinUI;
using namespace WizardTests;

namespace {

// The screen's DPI as the installer hands it over at start-up, for one case.
struct ScreenDpi {
    explicit ScreenDpi(int dpi) { CUiDpi::SetGlobalDpi(dpi); }
    ~ScreenDpi() { CUiDpi::SetGlobalDpi(96); }
};

constexpr int kScreens[] = {96, 144, 192};

void CollectLabels(CControlUI* control, std::vector<CLabelUI*>* labels)
{
    if (control == nullptr || !control->Shown()) return;
    if (auto* label = dynamic_cast<CLabelUI*>(control)) {
        if (!label->Text().IsEmpty()) labels->push_back(label);
    }
    auto* container = static_cast<IContainerUI*>(control->InterfaceFor(L"IContainer"));
    if (container == nullptr) return;
    for (int i = 0; i < container->ItemCount(); ++i) CollectLabels(container->ItemAt(i), labels);
}

// The size the label's text needs, measured the way the label draws it.
SIZE NeededSize(CPaintManagerUI& manager, CLabelUI* label, int roomWidth)
{
    const UINT style = label->TextStyle();
    const bool singleLine = (style & DT_SINGLELINE) != 0;
    RECT rect = {0, 0, singleLine ? 100000 : roomWidth, 100000};
    const UINT format = (style & ~(DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_END_ELLIPSIS)) | DT_CALCRECT;
    HDC dc = manager.GetPaintDC();
    const CUiString text = label->Text();
    if (label->ShowsHtml()) {
        int links = 0;
        DrawMarkedText(dc, &manager, rect, text, 0, nullptr, nullptr, &links, label->Font(), format);
    } else {
        DrawPlainText(dc, &manager, rect, text, 0, label->Font(), format);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

class WizardAtScale : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseBuiltSkin()); }
};

} // namespace

TEST_F(WizardAtScale, WindowAndControlsGrowByTheScreenScale)
{
    const struct {
        const wchar_t* control;
        RECT at100;   // where the page puts it on a 96-DPI screen
    } kControls[] = {
        {L"installBtn", {246, 264, 454, 308}},
        {L"protocalOpt", {29, 379, 45, 395}},
        {L"customBtn", {579, 370, 680, 402}},
    };
    for (int dpi : kScreens) {
        ScreenDpi screen(dpi);
        WizardHost host;
        ASSERT_TRUE(host.Open()) << dpi;
        const int percent = dpi * 100 / 96;
        EXPECT_EQ(host.Manager().GetScale(), percent);
        RECT window = {};
        GetWindowRect(host.Handle(), &window);
        EXPECT_EQ(window.right - window.left, 700 * percent / 100) << dpi;
        EXPECT_EQ(window.bottom - window.top, 420 * percent / 100) << dpi;
        for (const auto& c : kControls) {
            CControlUI* control = host.Find(c.control);
            ASSERT_NE(control, nullptr) << TestSupport::ToUtf8(c.control);
            // Nested positions round once per level: a pixel either way.
            const RECT r = control->Bounds();
            const std::string what = TestSupport::ToUtf8(c.control) + " at " + std::to_string(dpi);
            EXPECT_NEAR(r.left, c.at100.left * percent / 100, 1) << what;
            EXPECT_NEAR(r.top, c.at100.top * percent / 100, 1) << what;
            EXPECT_NEAR(r.right - r.left, (c.at100.right - c.at100.left) * percent / 100, 1) << what;
            EXPECT_NEAR(r.bottom - r.top, (c.at100.bottom - c.at100.top) * percent / 100, 1) << what;
        }
    }
}

TEST_F(WizardAtScale, EveryTextFitsItsRectangleOnEveryPage)
{
    for (int dpi : kScreens) {
        ScreenDpi screen(dpi);
        WizardHost host;
        ASSERT_TRUE(host.Open()) << dpi;
        auto* tabs = dynamic_cast<CTabLayoutUI*>(host.Find(L"tabInstall"));
        ASSERT_NE(tabs, nullptr);
        int checked = 0;
        for (int page = 0; page < 4; ++page) {
            host.ShowPage(page);
            // Laid out and painted once, so the bounds are the page's own.
            InvalidateRect(host.Handle(), nullptr, FALSE);
            UpdateWindow(host.Handle());
            ASSERT_TRUE(PumpUntil([&] { return tabs->CurrentPage() == page; }, 2000));
            std::vector<CLabelUI*> labels;
            CollectLabels(tabs->ItemAt(page), &labels);
            ASSERT_FALSE(labels.empty()) << "page " << page << " at " << dpi;
            for (CLabelUI* label : labels) {
                const RECT bounds = label->Bounds();
                const RECT pad = label->TextPadding();
                const int roomWidth = (bounds.right - bounds.left) - pad.left - pad.right;
                const int roomHeight = (bounds.bottom - bounds.top) - pad.top - pad.bottom;
                const SIZE needed = NeededSize(host.Manager(), label, roomWidth);
                const std::string what = TestSupport::ToUtf8(label->Text().GetData()) + " on page " + std::to_string(page) +
                                         " at " + std::to_string(dpi) + " DPI";
                EXPECT_GT(needed.cx, 0) << what;
                EXPECT_LE(needed.cx, roomWidth) << what;
                EXPECT_LE(needed.cy, roomHeight) << what;
                ++checked;
            }
        }
        EXPECT_GE(checked, 20) << dpi;
    }
}

namespace {

int NoExtraction(const char*, const char*, ProgressCallback, const std::atomic<bool>*, UnzipItemCallback)
{
    return UNZIP_OK;
}

} // namespace

// The main frame as the program makes it: the shadow margin and the caption grow
// with the scale once, so the page below the title bar is not a drag handle.
TEST_F(WizardAtScale, MainFrameSizeAndTitleBarFollowTheScale)
{
    const struct {
        POINT at;          // a page point on a plain label or bare page
        LRESULT hit;
    } kPoints[] = {
        {{100, 20}, HTCAPTION},    // bare title bar
        {{100, 45}, HTCAPTION},    // still inside the skin's 50-pixel caption
        {{350, 150}, HTCLIENT},    // the product name, under the title bar
        {{100, 120}, HTCLIENT},    // the bare card under the title bar
        {{350, 286}, HTCLIENT},    // "立即安装"
    };
    for (int dpi : kScreens) {
        ScreenDpi screen(dpi);
        const int percent = dpi * 100 / 96;
        bool destroyed = false;
        auto* frame = new KEMainFrame(&NoExtraction);
        ASSERT_EQ(CreateMainFrame(nullptr, nullptr, false, L"Velkaro", [&] { destroyed = true; }, 0x10CC0000, 0x100,
                                  true, frame),
                  frame);
        PumpUntil([] { return false; }, 150);
        RECT window = {};
        GetWindowRect(frame->Handle(), &window);
        // A window larger than the test's screen is cut to it; the end-to-end
        // check has a screen large enough.
        if (732 * percent / 100 <= GetSystemMetrics(SM_CXSCREEN) &&
            452 * percent / 100 <= GetSystemMetrics(SM_CYSCREEN)) {
            EXPECT_EQ(window.right - window.left, 732 * percent / 100) << dpi;
            EXPECT_EQ(window.bottom - window.top, 452 * percent / 100) << dpi;
        }
        for (const auto& p : kPoints) {
            const int margin = 16 * percent / 100;
            const LPARAM at = MAKELPARAM(window.left + margin + p.at.x * percent / 100,
                                         window.top + margin + p.at.y * percent / 100);
            EXPECT_EQ(SendMessageW(frame->Handle(), WM_NCHITTEST, 0, at), p.hit)
                << "page (" << p.at.x << ", " << p.at.y << ") at " << dpi << " DPI";
        }
        DestroyWindow(frame->Handle());
        ASSERT_TRUE(PumpUntil([&] { return destroyed; }, 3000)) << dpi;
    }
}
