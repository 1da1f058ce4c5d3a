// The nine-part blit and the two blend paths, read back pixel by pixel.
#include <gtest/gtest.h>

#include <vector>

#include "RenderTestUtil.h"
#include "ui/render/UiGdi.h"
#include "ui/render/UiImage.h"

using namespace SkinUI;
using namespace RenderTest;

namespace {

const DWORD kBack = 0xFF202020;

// How a case is drawn: the copy path, or the blend through either implementation.
struct Path {
    const char* name;
    bool alpha;
    UiBlendPath blend;
};
const Path kPaths[] = {
    {"copy", false, UI_BLEND_AUTO},
    {"msimg32", true, UI_BLEND_SYSTEM},
    {"software", true, UI_BLEND_SOFTWARE},
};

// Region (0..8) that dest pixel (x, y) of a w x h nine-part with 4-pixel corners shows.
// GDI's stretching copy keeps colour but not the fourth byte (it means nothing
// there); the blend paths keep all four.
DWORD Seen(DWORD c, const Path& path) { return path.alpha ? c : c & 0xFFFFFF; }

int ExpectedRegion(int x, int y, int w, int h)
{
    int col = x < 4 ? 0 : x < w - 4 ? 1 : 2;
    int row = y < 4 ? 0 : y < h - 4 ? 1 : 2;
    return row * 3 + col;
}

TEST(NinePart, CornersKeepTheirSizeEdgesStretchOneWay)
{
    CUiBitmap image(MakeBitmap(10, 10, NineColour));
    for (const Path& path : kPaths) {
        for (bool hole : {false, true}) {
            SCOPED_TRACE(std::string(path.name) + (hole ? " hole" : ""));
            BlendPathScope scope(path.blend);
            Canvas canvas(40, 30, kBack);
            RECT dest = {5, 5, 35, 25}, paint = {0, 0, 40, 30};
            BlitNinePart(canvas.Dc(), image, dest, paint, RECT{0, 0, 10, 10}, RECT{4, 4, 4, 4}, path.alpha, 255,
                         hole);
            int wrong = 0;
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 40; ++x) {
                    DWORD expected = kBack;
                    if (x >= 5 && x < 35 && y >= 5 && y < 25) {
                        int region = ExpectedRegion(x - 5, y - 5, 30, 20);
                        if (!(hole && region == 4)) expected = NineColour(region % 3 == 0 ? 0 : region % 3 == 1 ? 4 : 6,
                                                                          region / 3 == 0 ? 0 : region / 3 == 1 ? 4 : 6);
                    }
                    if (Seen(canvas.At(x, y), path) != Seen(expected, path) && ++wrong < 5)
                        ADD_FAILURE() << "(" << x << "," << y << ") " << Hex(canvas.At(x, y)) << " != " << Hex(expected);
                }
            }
            EXPECT_EQ(wrong, 0);
            // The 2x2 middle covers exactly 22 x 12 pixels.
            if (!hole) {
                EXPECT_EQ(NineRegion(canvas.At(9, 9) | 0xFF000000), 4);
                EXPECT_EQ(NineRegion(canvas.At(30, 20) | 0xFF000000), 4);
                EXPECT_EQ(NineRegion(canvas.At(31, 20) | 0xFF000000), 5);
                EXPECT_EQ(NineRegion(canvas.At(30, 21) | 0xFF000000), 7);
            }
        }
    }
}

TEST(NinePart, PartsOutsideThePaintRectangleAreSkipped)
{
    CUiBitmap image(MakeBitmap(10, 10, NineColour));
    for (const Path& path : kPaths) {
        SCOPED_TRACE(path.name);
        BlendPathScope scope(path.blend);
        Canvas canvas(40, 30, kBack);
        // Only the left column of parts meets it.
        BlitNinePart(canvas.Dc(), image, RECT{5, 5, 35, 25}, RECT{5, 5, 9, 25}, RECT{0, 0, 10, 10},
                     RECT{4, 4, 4, 4}, path.alpha);
        EXPECT_EQ(NineRegion(canvas.At(5, 5) | 0xFF000000), 0);
        EXPECT_EQ(NineRegion(canvas.At(5, 24) | 0xFF000000), 6);
        EXPECT_EQ(canvas.At(34, 5), kBack);  // top-right corner
        EXPECT_EQ(canvas.At(20, 15), kBack); // middle
    }
}

TEST(NinePart, TilingRepeatsTheMiddleAndCutsTheLastTile)
{
    const DWORD r = 0xFFFF0000, g = 0xFF00FF00, b = 0xFF0000FF, y = 0xFFFFFF00;
    struct Case {
        const char* name;
        int bw, bh;
        std::vector<DWORD> bitmap;
        bool xTiled, yTiled;
        int paintLeft;
        // Expected colour at dest pixel (x, y) of an 8 x 5 destination.
        DWORD (*expect)(int x, int y);
    };
    const Case cases[] = {
        {"x", 3, 1, {r, g, b}, true, false, 0,
         [](int x, int) { const DWORD c[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}; return c[x % 3]; }},
        {"y", 1, 3, {r, g, b}, false, true, 0,
         [](int, int y) { const DWORD c[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}; return c[y % 3]; }},
        {"both", 2, 2, {r, g, b, y}, true, true, 0,
         [](int x, int y) { const DWORD c[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00}; return c[(y % 2) * 2 + x % 2]; }},
        // Painting from x = 4 on: the tile holding x = 4 (3..5) is the first drawn.
        {"x from 4", 3, 1, {r, g, b}, true, false, 4,
         [](int x, int) -> DWORD {
             const DWORD c[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
             return x < 3 ? kBack : c[x % 3];
         }},
    };
    for (const Case& c : cases) {
        CUiBitmap image(MakeBitmap(c.bw, c.bh, [&](int x, int yy) { return c.bitmap[yy * c.bw + x]; }));
        for (const Path& path : kPaths) {
            SCOPED_TRACE(std::string(c.name) + " " + path.name);
            BlendPathScope scope(path.blend);
            Canvas canvas(8, 5, kBack);
            BlitNinePart(canvas.Dc(), image, RECT{0, 0, 8, 5}, RECT{c.paintLeft, 0, 8, 5}, RECT{0, 0, c.bw, c.bh},
                         RECT{}, path.alpha, 255, false, c.xTiled, c.yTiled);
            for (int py = 0; py < 5; ++py)
                for (int px = 0; px < 8; ++px)
                    ASSERT_EQ(Hex(Seen(canvas.At(px, py), path)), Hex(Seen(c.expect(px, py), path))) << px << "," << py;
        }
    }
}

TEST(NinePart, SourcePastTheBitmapIsCutToIt)
{
    CUiBitmap image(MakeBitmap(10, 10, NineColour));
    for (const Path& path : kPaths) {
        SCOPED_TRACE(path.name);
        BlendPathScope scope(path.blend);
        Canvas canvas(10, 10, kBack);
        BlitNinePart(canvas.Dc(), image, RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10}, RECT{0, 0, 200, 200}, RECT{},
                     path.alpha);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(Hex(Seen(canvas.At(x, y), path)), Hex(Seen(NineColour(x, y), path))) << x << "," << y;
    }
}

TEST(NinePart, FadeMixesWithTheBackgroundOnBothBlendPaths)
{
    CUiBitmap white(MakeBitmap(4, 4, [](int, int) { return 0xFFFFFFFFu; }));
    DWORD results[2];
    int i = 0;
    for (UiBlendPath blend : {UI_BLEND_SYSTEM, UI_BLEND_SOFTWARE}) {
        BlendPathScope scope(blend);
        Canvas canvas(4, 4, 0xFF000000);
        // An opaque image without alpha still takes the blend when faded.
        BlitNinePart(canvas.Dc(), white, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, RECT{}, false, 128);
        results[i++] = canvas.At(2, 2);
    }
    EXPECT_LE(ChannelDistance(results[0], 0xFF808080), 1) << Hex(results[0]);
    EXPECT_LE(ChannelDistance(results[1], 0xFF808080), 1) << Hex(results[1]);
}

TEST(NinePart, ScaleReadsTheSourceInBitmapPixels)
{
    // A 20 x 20 "@2x" bitmap: left half red, right half blue. Source 5..10 at
    // scale 2 is bitmap 10..20, the blue half.
    CUiBitmap image(MakeBitmap(20, 20, [](int x, int) { return x < 10 ? 0xFFFF0000u : 0xFF0000FFu; }));
    Canvas canvas(10, 10, kBack);
    BlitNinePart(canvas.Dc(), image, RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10}, RECT{5, 0, 10, 10}, RECT{}, false, 255,
                 false, false, false, 2.0);
    EXPECT_EQ(Hex(canvas.At(0, 0) & 0xFFFFFF), Hex(0x0000FF));
    EXPECT_EQ(Hex(canvas.At(9, 9) & 0xFFFFFF), Hex(0x0000FF));
}

// ---- the software blend against msimg32's AlphaBlend

struct BlendCase {
    const char* name;
    int sw, sh, dw, dh;
    BYTE constant;
    BYTE format;
};

void RandomPremultiplied(Canvas& canvas, uint32_t seed, bool premultiplied)
{
    Lcg rng{seed};
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            DWORD a = rng.Next() % 4 == 0 ? 255 : rng.Next() % 4 == 0 ? 0 : rng.Next() & 0xFF;
            auto channel = [&] { return premultiplied ? (a ? rng.Next() % (a + 1) : 0) : rng.Next() & 0xFF; };
            canvas.Set(x, y, a << 24 | channel() << 16 | channel() << 8 | channel());
        }
    }
}

TEST(SoftwareBlend, MatchesAlphaBlendWithinOne)
{
    const BlendCase cases[] = {
        {"1:1 opaque constant", 16, 16, 16, 16, 255, AC_SRC_ALPHA},
        {"1:1 half constant", 16, 16, 16, 16, 128, AC_SRC_ALPHA},
        {"1:1 low constant", 16, 16, 16, 16, 7, AC_SRC_ALPHA},
        {"1:1 zero constant", 16, 16, 16, 16, 0, AC_SRC_ALPHA},
        {"constant only", 16, 16, 16, 16, 100, 0},
        {"stretch", 8, 8, 32, 24, 200, AC_SRC_ALPHA},
        {"shrink", 16, 16, 8, 4, 255, AC_SRC_ALPHA},
        {"uneven stretch", 5, 7, 13, 17, 255, AC_SRC_ALPHA},
        {"uneven shrink", 16, 13, 7, 5, 90, AC_SRC_ALPHA},
    };
    for (const BlendCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas source(c.sw, c.sh);
        RandomPremultiplied(source, 7, c.format == AC_SRC_ALPHA);
        Canvas system(c.dw + 4, c.dh + 4), software(c.dw + 4, c.dh + 4);
        RandomPremultiplied(system, 11, true);
        RandomPremultiplied(software, 11, true);
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, c.constant, c.format};
        {
            BlendPathScope scope(UI_BLEND_SYSTEM);
            ASSERT_TRUE(UiAlphaBlend(system.Dc(), 2, 2, c.dw, c.dh, source.Dc(), 0, 0, c.sw, c.sh, blend));
        }
        {
            BlendPathScope scope(UI_BLEND_SOFTWARE);
            ASSERT_TRUE(UiAlphaBlend(software.Dc(), 2, 2, c.dw, c.dh, source.Dc(), 0, 0, c.sw, c.sh, blend));
        }
        int worst = 0, bad = 0;
        for (int y = 0; y < system.Height(); ++y) {
            for (int x = 0; x < system.Width(); ++x) {
                int d = ChannelDistance(system.At(x, y), software.At(x, y));
                worst = std::max(worst, d);
                if (d > 1 && ++bad < 4)
                    ADD_FAILURE() << "(" << x << "," << y << ") msimg32 " << Hex(system.At(x, y)) << " software "
                                  << Hex(software.At(x, y));
            }
        }
        EXPECT_LE(worst, 1);
    }
}

TEST(SoftwareBlend, TranslucentPixelsKeepTheirBrightnessAndAlpha)
{
    // Half-transparent white, premultiplied, over opaque black: a mid grey that stays
    // opaque. Blending the premultiplied colour by its alpha a second time would give
    // 0x40 and clearing the alpha byte would make the result see-through.
    Canvas source(1, 1, 0x80808080);
    Canvas dest(1, 1, 0xFF000000);
    BlendPathScope scope(UI_BLEND_SOFTWARE);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UiAlphaBlend(dest.Dc(), 0, 0, 1, 1, source.Dc(), 0, 0, 1, 1, blend));
    EXPECT_EQ(Hex(dest.At(0, 0)), Hex(0xFF808080));
}

TEST(SoftwareBlend, RefusesASourceOutsideItsBitmapAndKeepsToTheClip)
{
    Canvas source(4, 4, 0xFFFFFFFF);
    Canvas dest(8, 8, 0xFF000000);
    BlendPathScope scope(UI_BLEND_SOFTWARE);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(UiAlphaBlend(dest.Dc(), 0, 0, 4, 4, source.Dc(), 2, 2, 4, 4, blend));
    EXPECT_FALSE(UiAlphaBlend(dest.Dc(), 0, 0, 4, 4, source.Dc(), -1, 0, 4, 4, blend));
    // Drawing past the destination's edges changes only what lies inside it.
    EXPECT_TRUE(UiAlphaBlend(dest.Dc(), -2, 6, 4, 4, source.Dc(), 0, 0, 4, 4, blend));
    EXPECT_EQ(Hex(dest.At(0, 7)), Hex(0xFFFFFFFF));
    EXPECT_EQ(Hex(dest.At(2, 7)), Hex(0xFF000000));
    EXPECT_EQ(Hex(dest.At(0, 5)), Hex(0xFF000000));
}

} // namespace
