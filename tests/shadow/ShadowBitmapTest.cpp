// The shadow's pixels without a window: named points of the computed shadow for
// several looks, the outline from region rectangles, and the image shadow's nine
// parts with the empty middle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RenderTestUtil.h"
#include "ui/core/UiShadowBitmap.h"

using namespace SkinUI;

namespace {

struct Frame {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    bool drawn = false;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
};

// A window of width x height with the given outline (a plain rectangle when empty).
Frame Draw(int width, int height, const UiShadowLook& look,
           std::vector<UiShadowSpan> outline = {})
{
    if (outline.empty()) outline = RectangleSpans(width, height);
    Frame frame;
    const SIZE size = ShadowBitmapSize(width, height, look.size);
    frame.width = size.cx;
    frame.height = size.cy;
    // A sentinel shows which pixels were never written.
    frame.pixels.assign(static_cast<size_t>(size.cx) * size.cy, 0xDEADBEEFu);
    if (!frame.pixels.empty())
        frame.drawn = DrawComputedShadow(frame.pixels.data(), width, outline, look);
    return frame;
}

UiShadowLook Look(int size, int sharpness, int darkness = 150, int offsetX = 0, int offsetY = 0,
                  COLORREF colour = 0)
{
    UiShadowLook look;
    look.size = size;
    look.sharpness = sharpness;
    look.darkness = darkness;
    look.offsetX = offsetX;
    look.offsetY = offsetY;
    look.colour = colour;
    return look;
}

// What a named point must hold: an exact alpha, or a range of alpha.
struct Point {
    const char* name;
    int x, y;
    int minAlpha, maxAlpha;
};

struct LookCase {
    const char* name;
    int width, height;
    UiShadowLook look;
    std::vector<Point> points;
};

} // namespace

TEST(ShadowBitmap, BitmapSizeGrowsBySizeOnEachSide)
{
    struct Case {
        int width, height, size, cx, cy;
    } cases[] = {
        {417, 212, 16, 449, 244},   // the message box
        {417, 212, 0, 417, 212},
        {40, 30, -4, 32, 22},
        {40, 30, -20, 0, 0},        // shrunk away: nothing to draw
        {0, 30, 5, 0, 0},
        {-5, 30, 5, 0, 0},
    };
    for (const Case& c : cases) {
        const SIZE size = ShadowBitmapSize(c.width, c.height, c.size);
        EXPECT_EQ(size.cx, c.cx) << c.width << "x" << c.height << " size " << c.size;
        EXPECT_EQ(size.cy, c.cy) << c.width << "x" << c.height << " size " << c.size;
    }
}

TEST(ShadowBitmap, NamedPointsOfComputedShadows)
{
    const LookCase cases[] = {
        // Size beyond sharpness: a solid core of size - sharpness around the window,
        // then a soft edge that reaches exactly `size` pixels out.
        {"size 8 sharpness 4", 40, 30, Look(8, 4),
         {{"corner beyond reach", 0, 0, 0, 0},
          {"solid core left", 5, 20, 150, 150},
          {"solid core above", 25, 5, 150, 150},
          {"soft edge at the rim", 0, 20, 25, 35},
          {"soft edge mid", 2, 20, 80, 100},
          {"window's own area", 20, 20, 0, 0},
          {"window's first pixel", 8, 8, 0, 0},
          {"window's last pixel", 47, 37, 0, 0},
          {"just right of the window", 48, 20, 150, 150}}},
        // Sharpness beyond size: the outline is eroded first, so the edge still
        // ends `size` pixels past the window and fades over `sharpness` pixels.
        {"size 4 sharpness 10", 40, 30, Look(4, 10),
         {{"rim", 0, 19, 10, 16},
          {"one in", 1, 19, 20, 30},
          {"three in", 3, 19, 45, 60},
          {"window", 4, 19, 0, 0},
          {"below window", 20, 36, 1, 60},
          {"bottom rim", 20, 37, 10, 16}}},
        // Darkness is the core's alpha; colour is premultiplied by it.
        {"darkness 255", 20, 20, Look(6, 0, 255),
         {{"core", 0, 10, 255, 255}, {"window", 10, 10, 0, 0}}},
        {"darkness 0", 20, 20, Look(6, 3, 0), {{"core", 1, 10, 0, 0}}},
        // Offset: the window's own clear area moves the other way in the bitmap.
        {"offset 3,5", 40, 30, Look(8, 4, 150, 3, 5),
         {{"window's own area moved", 5, 3, 0, 0},
          {"window's old first pixel", 8, 8, 0, 0},
          {"window's last pixel", 44, 32, 0, 0},
          {"shape corner now uncovered", 47, 37, 150, 150},
          {"right of moved window", 45, 20, 150, 150},
          {"below moved window", 20, 33, 150, 150}}},
        // Negative size: a shadow smaller than the window, seen only through an offset.
        {"size -4 offset 6,6", 40, 30, Look(-4, 2, 150, 6, 6),
         {{"under the window", 25, 10, 0, 0},
          {"beyond the window's right edge", 30, 10, 90, 110},
          {"corner beyond reach", 31, 21, 0, 0}}},
    };
    for (const LookCase& c : cases) {
        const Frame frame = Draw(c.width, c.height, c.look);
        ASSERT_TRUE(frame.drawn) << c.name;
        for (const Point& p : c.points) {
            const int alpha = frame.Alpha(p.x, p.y);
            EXPECT_GE(alpha, p.minAlpha) << c.name << ": " << p.name;
            EXPECT_LE(alpha, p.maxAlpha) << c.name << ": " << p.name;
        }
    }
}

TEST(ShadowBitmap, EveryPixelIsWrittenAndEdgesFadeOutward)
{
    const Frame frame = Draw(60, 40, Look(12, 7));
    ASSERT_TRUE(frame.drawn);
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            ASSERT_NE(frame.At(x, y), 0xDEADBEEFu) << x << "," << y;
    // Along the middle row and column, alpha never grows moving away from the window.
    for (int x = 1; x < 12; ++x)
        EXPECT_LE(frame.Alpha(x - 1, 32), frame.Alpha(x, 32)) << "left, x " << x;
    for (int y = 1; y < 12; ++y)
        EXPECT_LE(frame.Alpha(42, y - 1), frame.Alpha(42, y)) << "top, y " << y;
    // The four sides are alike.
    EXPECT_EQ(frame.Alpha(3, 32), frame.Alpha(frame.width - 4, 32));
    EXPECT_EQ(frame.Alpha(42, 3), frame.Alpha(42, frame.height - 4));
    EXPECT_GT(frame.Alpha(0, 32), 0);
}

TEST(ShadowBitmap, ColourIsPremultipliedBlueGreenRedAlpha)
{
    struct Case {
        COLORREF colour;
        int darkness;
        uint32_t pixel;
    } cases[] = {
        {RGB(255, 0, 0), 128, 0x80800000u},
        {RGB(0, 0, 255), 255, 0xFF0000FFu},
        {RGB(0, 255, 0), 51, 0x33003300u},
        {RGB(0, 0, 0), 150, 0x96000000u},
    };
    for (const Case& c : cases) {
        const Frame frame = Draw(20, 20, Look(6, 0, c.darkness, 0, 0, c.colour));
        ASSERT_TRUE(frame.drawn);
        EXPECT_EQ(frame.At(0, 10), c.pixel) << std::hex << c.colour;
        EXPECT_EQ(PremultipliedShadowPixel(c.colour, c.darkness), c.pixel);
    }
}

TEST(ShadowBitmap, NothingIsDrawnForSizeZeroOrBadSettings)
{
    const UiShadowLook looks[] = {
        Look(0, 5),              // size 0: no computed shadow
        Look(36, 5),             // out of the setters' range
        Look(5, 36),
        Look(5, 5, 256),
        Look(5, 5, 150, 36, 0),
        Look(5, 5, -1),
    };
    for (const UiShadowLook& look : looks) {
        std::vector<uint32_t> pixels(static_cast<size_t>(120) * 120, 0xDEADBEEFu);
        EXPECT_FALSE(DrawComputedShadow(pixels.data(), 30, RectangleSpans(30, 30), look))
            << "size " << look.size << " sharpness " << look.sharpness;
        EXPECT_EQ(pixels[0], 0xDEADBEEFu);
    }
    EXPECT_FALSE(DrawComputedShadow(nullptr, 30, RectangleSpans(30, 30), Look(5, 5)));
    std::vector<uint32_t> pixels(100, 0xDEADBEEFu);
    EXPECT_FALSE(DrawComputedShadow(pixels.data(), 0, {}, Look(5, 5)));
    EXPECT_FALSE(DrawComputedShadow(pixels.data(), 30, RectangleSpans(30, 30), Look(-20, 5)));
}

TEST(ShadowBitmap, OutlineFromRegionRectangles)
{
    struct Case {
        const char* name;
        std::vector<RECT> rects;
        int width, height;
        std::vector<std::pair<int, int>> rows;   // left, right per row; right < left empty
    } cases[] = {
        {"whole", {{0, 0, 4, 3}}, 4, 3, {{0, 3}, {0, 3}, {0, 3}}},
        {"rounded corners", {{1, 0, 3, 1}, {0, 1, 4, 2}, {1, 2, 3, 3}}, 4, 3,
         {{1, 2}, {0, 3}, {1, 2}}},
        {"two rects on a row join", {{0, 0, 1, 1}, {3, 0, 4, 1}}, 4, 1, {{0, 3}}},
        {"clipped to the window", {{-5, -5, 10, 1}}, 4, 2, {{0, 3}, {0, -1}}},
        {"nothing", {}, 3, 2, {{0, -1}, {0, -1}}},
    };
    for (const Case& c : cases) {
        const auto spans = SpansFromRects(c.rects.data(), static_cast<int>(c.rects.size()),
                                          c.width, c.height);
        ASSERT_EQ(spans.size(), c.rows.size()) << c.name;
        for (size_t i = 0; i < spans.size(); ++i) {
            const bool empty = c.rows[i].second < c.rows[i].first;
            EXPECT_EQ(spans[i].Empty(), empty) << c.name << " row " << i;
            if (!empty) {
                EXPECT_EQ(spans[i].left, c.rows[i].first) << c.name << " row " << i;
                EXPECT_EQ(spans[i].right, c.rows[i].second) << c.name << " row " << i;
            }
        }
    }
    EXPECT_TRUE(SpansFromRects(nullptr, 3, 4, 4).size() == 4);
}

TEST(ShadowBitmap, ShapedWindowCastsShadowUnderItsCutCorner)
{
    // A 40 x 30 window whose region cuts a 6 x 6 square off its top-left corner.
    std::vector<UiShadowSpan> outline = RectangleSpans(40, 30);
    for (int y = 0; y < 6; ++y) outline[y].left = 6;
    const Frame frame = Draw(40, 30, Look(8, 4), outline);
    ASSERT_TRUE(frame.drawn);
    EXPECT_GT(frame.Alpha(8, 8), 0) << "the cut corner is not the window's own area";
    EXPECT_EQ(frame.Alpha(14, 8), 0) << "the window's own first row";
    EXPECT_EQ(frame.Alpha(8, 14), 0) << "the window's own first full row";
}

TEST(ShadowBitmap, ImageShadowCoversTheBitmapWithAnEmptyMiddle)
{
    using RenderTest::Canvas;
    using RenderTest::NineRegion;
    HBITMAP image = RenderTest::MakeBitmap(10, 10, RenderTest::NineColour);
    ASSERT_NE(image, nullptr);
    Canvas canvas(60, 40);
    DrawImageShadow(canvas.Dc(), image, 10, 10, true, RECT{4, 4, 4, 4}, 60, 40);
    GdiFlush();
    struct Case {
        const char* name;
        int x, y, region;   // -1: transparent
    } cases[] = {
        {"top-left corner", 0, 0, 0},      {"top edge", 30, 0, 1},
        {"top-right corner", 59, 0, 2},    {"left edge", 0, 20, 3},
        {"middle", 30, 20, -1},            {"middle near corner", 4, 4, -1},
        {"right edge", 59, 20, 5},         {"bottom-left corner", 0, 39, 6},
        {"bottom edge", 30, 39, 7},        {"bottom-right corner", 59, 39, 8},
        {"inner edge of the top", 30, 3, 1},
    };
    for (const Case& c : cases) {
        const DWORD pixel = canvas.At(c.x, c.y);
        if (c.region < 0)
            EXPECT_EQ(pixel, 0u) << c.name;
        else
            EXPECT_EQ(NineRegion(pixel), c.region) << c.name << ": " << RenderTest::Hex(pixel);
    }
    // No image, no drawing; never a crash.
    Canvas empty(8, 8);
    DrawImageShadow(empty.Dc(), nullptr, 10, 10, true, RECT{4, 4, 4, 4}, 8, 8);
    DrawImageShadow(empty.Dc(), image, 0, 10, true, RECT{4, 4, 4, 4}, 8, 8);
    EXPECT_EQ(empty.At(0, 0), 0u);
    DeleteObject(image);
}
