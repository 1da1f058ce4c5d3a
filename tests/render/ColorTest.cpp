// Fills, gradients, strokes and the colour shift.
#include <gtest/gtest.h>

#include "RenderTestUtil.h"
#include "ui/render/UiColor.h"
#include "ui/render/UiImage.h"

using namespace SkinUI;
using namespace RenderTest;

namespace {

BYTE R(DWORD c) { return static_cast<BYTE>(c >> 16); }
BYTE G(DWORD c) { return static_cast<BYTE>(c >> 8); }
BYTE B(DWORD c) { return static_cast<BYTE>(c); }
DWORD RgbOf(DWORD c) { return c & 0xFFFFFF; }

TEST(FillColor, OpaqueTranslucentAndInvisible)
{
    Canvas canvas(10, 10, 0xFF000000);
    FillColor(canvas.Dc(), RECT{2, 2, 6, 6}, 0xFF3366CC);
    EXPECT_EQ(Hex(RgbOf(canvas.At(2, 2))), Hex(0x3366CC));
    EXPECT_EQ(Hex(RgbOf(canvas.At(5, 5))), Hex(0x3366CC));
    EXPECT_EQ(Hex(canvas.At(6, 5)), Hex(0xFF000000));
    EXPECT_EQ(Hex(canvas.At(1, 2)), Hex(0xFF000000));

    FillColor(canvas.Dc(), RECT{0, 0, 10, 10}, 0x00FFFFFF);
    EXPECT_EQ(Hex(canvas.At(0, 0)), Hex(0xFF000000));

    FillColor(canvas.Dc(), RECT{6, 6, 10, 10}, 0x80FFFFFF);
    EXPECT_LE(ChannelDistance(RgbOf(canvas.At(8, 8)), 0x808080), 2) << Hex(canvas.At(8, 8));
}

TEST(FillGradient, EndsInItsColoursOnBothPaths)
{
    for (UiBlendPath path : {UI_BLEND_SYSTEM, UI_BLEND_SOFTWARE}) {
        SCOPED_TRACE(path == UI_BLEND_SYSTEM ? "GradientFill" : "bands");
        BlendPathScope scope(path);
        for (bool vertical : {true, false}) {
            Canvas canvas(64, 64, 0xFF000000);
            FillGradient(canvas.Dc(), RECT{0, 0, 64, 64}, 0xFFFF0000, 0xFF0000FF, vertical, 64);
            auto at = [&](int i) { return vertical ? canvas.At(10, i) : canvas.At(i, 10); };
            EXPECT_GE(R(at(0)), 0xF0) << Hex(at(0));
            EXPECT_LE(B(at(0)), 0x10);
            EXPECT_LE(ChannelDistance(RgbOf(at(63)), 0x0000FF), 8) << Hex(at(63));
            // Red falls and blue rises all the way across.
            for (int i = 1; i < 64; ++i) {
                ASSERT_LE(R(at(i)), R(at(i - 1))) << i;
                ASSERT_GE(B(at(i)), B(at(i - 1))) << i;
            }
            EXPECT_LT(R(at(40)), R(at(20)));
        }
    }
}

TEST(FillGradient, HalfAlphaMixesOverWhatIsThere)
{
    for (UiBlendPath path : {UI_BLEND_SYSTEM, UI_BLEND_SOFTWARE}) {
        SCOPED_TRACE(path == UI_BLEND_SYSTEM ? "msimg32" : "software");
        BlendPathScope scope(path);
        Canvas canvas(16, 16, 0xFF404040);
        FillGradient(canvas.Dc(), RECT{0, 0, 16, 16}, 0x80FF0000, 0x80FF0000, true, 4);
        // 0xFF * 0x80/0xFF + 0x40 * 0x7F/0xFF: the grey underneath shows through,
        // and the surface stays opaque.
        DWORD c = canvas.At(8, 8);
        EXPECT_LE(ChannelDistance(c, 0xFFA02020), 2) << Hex(c);

        Canvas untouched(4, 4, 0xFF404040);
        FillGradient(untouched.Dc(), RECT{0, 0, 4, 4}, 0x00FF0000, 0x000000FF, true, 4);
        EXPECT_EQ(Hex(untouched.At(1, 1)), Hex(0xFF404040));
    }
}

TEST(Stroke, OutlinesStayOnTheirEdges)
{
    const DWORD pen = 0xFF00FF00;
    {
        Canvas canvas(12, 12, 0xFF000000);
        StrokeRect(canvas.Dc(), RECT{1, 1, 11, 11}, 1, pen);
        EXPECT_EQ(Hex(RgbOf(canvas.At(1, 1))), Hex(0x00FF00));
        EXPECT_EQ(Hex(RgbOf(canvas.At(10, 10))), Hex(0x00FF00));
        EXPECT_EQ(Hex(RgbOf(canvas.At(5, 10))), Hex(0x00FF00));
        EXPECT_EQ(Hex(canvas.At(5, 5)), Hex(0xFF000000));
        EXPECT_EQ(Hex(canvas.At(11, 11)), Hex(0xFF000000));
        EXPECT_EQ(Hex(canvas.At(0, 5)), Hex(0xFF000000));
    }
    {
        Canvas canvas(12, 12, 0xFF000000);
        StrokeLine(canvas.Dc(), RECT{2, 6, 10, 6}, 1, pen);
        EXPECT_EQ(Hex(RgbOf(canvas.At(5, 6))), Hex(0x00FF00));
        EXPECT_EQ(Hex(canvas.At(5, 8)), Hex(0xFF000000));
        EXPECT_EQ(Hex(canvas.At(0, 6)), Hex(0xFF000000));
    }
    {
        Canvas canvas(20, 20, 0xFF000000);
        StrokeRoundRect(canvas.Dc(), RECT{0, 0, 20, 20}, 1, 10, 10, pen);
        EXPECT_GT(G(canvas.At(10, 0)), 0x80);  // middle of the top edge
        EXPECT_GT(G(canvas.At(19, 10)), 0x80); // middle of the right edge
        EXPECT_EQ(Hex(canvas.At(0, 0)), Hex(0xFF000000));   // the corner is cut
        EXPECT_EQ(Hex(canvas.At(10, 10)), Hex(0xFF000000)); // not filled
        // No radius: a plain rectangle.
        Canvas square(10, 10, 0xFF000000);
        StrokeRoundRect(square.Dc(), RECT{0, 0, 10, 10}, 1, 1, 1, pen);
        EXPECT_EQ(Hex(RgbOf(square.At(0, 0))), Hex(0x00FF00));
    }
}

TEST(ShiftHsl, HueSaturationLightness)
{
    struct Case {
        DWORD in;
        short h, s, l;
        DWORD out;
    } cases[] = {
        {0x12345678, 180, 100, 100, 0x12345678}, // neutral: untouched
        {0xFFFF0000, 300, 100, 100, 0xFF00FF00}, // +120 degrees: red to green
        {0x80FF0000, 60, 100, 100, 0x800000FF},  // -120 degrees: red to blue, alpha kept
        {0xFFFF0000, 180, 0, 100, 0xFF808080},   // no saturation: grey
        {0xFFFF0000, 180, 100, 0, 0xFF000000},   // no lightness: black
        {0xFFFF0000, 180, 100, 200, 0xFFFFFFFF}, // double lightness: white, not past it
        {0xFF808080, 0, 200, 150, 0xFFC0C0C0},   // grey has no hue to turn
    };
    for (const Case& c : cases)
        EXPECT_LE(ChannelDistance(ShiftHsl(c.in, c.h, c.s, c.l), c.out), 1)
            << Hex(c.in) << " -> " << Hex(ShiftHsl(c.in, c.h, c.s, c.l)) << " expected " << Hex(c.out);
}

} // namespace
