// Pixels of a layered window, read back from the manager's double buffer: GDI
// drawing made opaque except pure black, a transparent round corner, the layered
// image as an alpha mask, and repaints limited to the invalid area.
#include "PaintTestUtil.h"

namespace PaintTest {
namespace {

void FillGdi(HDC dc, const RECT& r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void TextGdi(HDC dc, const RECT& r, COLORREF colour)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT box = r;
    DrawTextW(dc, L"WMWMWM", -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE);
    SelectObject(dc, old);
}

struct Census {
    int transparent = 0;   // all four bytes zero
    int opaque = 0;        // alpha 255
    int other = 0;
    int opaqueBlack = 0;
};

Census Count(CPaintManagerUI& m, const RECT& r)
{
    Census c;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const Pixel p = OffscreenPixel(m, x, y);
            if ((p.a | p.r | p.g | p.b) == 0) ++c.transparent;
            else if (p.a == 255) {
                ++c.opaque;
                if ((p.r | p.g | p.b) == 0) ++c.opaqueBlack;
            } else ++c.other;
        }
    return c;
}

struct LayeredFixture : ::testing::Test {
    EventLog log;
    TestWindow window{200, 120, true};
    TestBox* root = new TestBox();
    ProbeControl* red = new ProbeControl("red", nullptr, RECT{10, 10, 50, 40}, 0);
    ProbeControl* blackText = new ProbeControl("black", nullptr, RECT{60, 10, 150, 30}, 0);
    ProbeControl* blueText = new ProbeControl("blue", nullptr, RECT{60, 40, 150, 60}, 0);
    ProbeControl* round = new ProbeControl("round", nullptr, RECT{10, 70, 70, 110}, 0);

    void SetUp() override
    {
        red->painter = [](HDC dc, const RECT& r) { FillGdi(dc, r, RGB(255, 0, 0)); };
        blackText->painter = [](HDC dc, const RECT& r) { TextGdi(dc, r, RGB(0, 0, 0)); };
        blueText->painter = [](HDC dc, const RECT& r) { TextGdi(dc, r, RGB(0, 0, 255)); };
        round->AssignBkColor(0xFF2080C0);
        round->AssignBorderRound(SIZE{20, 20});
        for (ProbeControl* p : {red, blackText, blueText, round}) root->AddItem(p);
        ASSERT_TRUE(window.Show(root));
        ASSERT_TRUE(window.Manager().IsLayered());
        ASSERT_NE(window.Manager().GetOffscreenBits(), nullptr);
    }
};

TEST_F(LayeredFixture, GdiPixelsAreOpaqueButPureBlackStaysTransparent)
{
    CPaintManagerUI& m = window.Manager();
    EXPECT_NE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    const Pixel r = OffscreenPixel(m, 20, 20);
    EXPECT_EQ(r.a, 255);
    EXPECT_EQ(r.r, 255);
    EXPECT_EQ(r.g, 0);
    // Black text: indistinguishable from "nothing painted", so every pixel stays clear.
    const Census black = Count(m, RECT{60, 10, 150, 30});
    EXPECT_EQ(black.transparent, 90 * 20);
    // Blue text: its pixels are opaque, the gaps between letters stay clear.
    const Census blue = Count(m, RECT{60, 40, 150, 60});
    EXPECT_GT(blue.opaque, 20);
    EXPECT_GT(blue.transparent, 200);
    EXPECT_EQ(blue.opaqueBlack, 0);
    // Nothing painted at all.
    EXPECT_EQ(Count(m, RECT{160, 10, 200, 120}).transparent, 40 * 110);
}

TEST_F(LayeredFixture, RoundCornerIsTransparentInsideIsOpaque)
{
    CPaintManagerUI& m = window.Manager();
    const struct {
        int x, y;
        bool opaque;
    } points[] = {
        {10, 70, false}, {69, 70, false}, {10, 109, false}, {69, 109, false},   // corners
        {40, 90, true}, {12, 90, true}, {40, 71, true},                          // inside
    };
    for (const auto& p : points) {
        const Pixel px = OffscreenPixel(m, p.x, p.y);
        EXPECT_EQ(px.a, p.opaque ? 255 : 0) << p.x << "," << p.y;
    }
    const Pixel inside = OffscreenPixel(m, 40, 90);
    EXPECT_EQ(inside.r, 0x20);
    EXPECT_EQ(inside.g, 0x80);
    EXPECT_EQ(inside.b, 0xC0);
}

TEST_F(LayeredFixture, RepaintTouchesOnlyTheInvalidArea)
{
    CPaintManagerUI& m = window.Manager();
    // Change what both controls would paint, but invalidate only one of them.
    red->painter = [](HDC dc, const RECT& r) { FillGdi(dc, r, RGB(0, 255, 0)); };
    blueText->painter = [](HDC dc, const RECT& r) { FillGdi(dc, r, RGB(0, 255, 0)); };
    const int before = window.paints;
    red->Repaint();
    ASSERT_TRUE(PumpUntil([&] { return window.paints > before; }, 2000, [] { return std::string("no paint"); }));
    EXPECT_EQ(OffscreenPixel(m, 20, 20).g, 255);
    EXPECT_EQ(OffscreenPixel(m, 20, 20).r, 0);
    // Untouched: still text, not a green fill.
    EXPECT_GT(Count(m, RECT{60, 40, 150, 60}).transparent, 200);
}

TEST_F(LayeredFixture, LayeredImageIsTheAlphaMask)
{
    CPaintManagerUI& m = window.Manager();
    // A 4x4 image of premultiplied alpha 128, made in code.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    for (int i = 0; i < 16; ++i) static_cast<DWORD*>(bits)[i] = 0x80808080;
    ASSERT_NE(m.AddImage(L"mask.png", bitmap, 4, 4, true), nullptr);
    const int before = window.paints;
    m.SetLayeredImage(L"file='mask.png'");
    ASSERT_TRUE(PumpUntil([&] { return window.paints > before; }, 2000, [] { return std::string("no paint"); }));
    PumpFor(50);
    const Pixel r = OffscreenPixel(m, 20, 20);
    EXPECT_EQ(r.a, 128);
    EXPECT_EQ(r.r, 128);   // 255 * 128 / 255
    const Pixel empty = OffscreenPixel(m, 180, 100);
    EXPECT_EQ(empty.a, 128);   // the mask decides, not what was painted
    EXPECT_EQ(empty.r, 0);
}

TEST_F(LayeredFixture, InsetMovesTheRootInside)
{
    CPaintManagerUI& m = window.Manager();
    const int before = window.paints;
    m.SetLayeredInset(RECT{10, 10, 10, 10});
    ASSERT_TRUE(PumpUntil([&] { return window.paints > before; }, 2000, [] { return std::string("no paint"); }));
    const RECT r = root->BoundsRef();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 190);
    EXPECT_EQ(OffscreenPixel(m, 25, 25).r, 255);   // the red control moved by 10
    EXPECT_EQ(OffscreenPixel(m, 15, 15).a, 0);
}

} // namespace
} // namespace PaintTest
