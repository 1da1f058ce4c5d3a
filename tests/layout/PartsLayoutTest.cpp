// The smaller pieces of layout arithmetic: scroll bar parts and dragging,
// progress fills, tab pages, the plain container's children, separators.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ui/controls/UiLayoutMath.h"

using namespace SkinUI;

namespace {
std::string PartsStr(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

UiScrollBarInput VerticalBar(int height, long long range, long long position)
{
    UiScrollBarInput in;
    in.item = RECT{0, 0, 16, height};
    in.thickness = SIZE{16, 0};
    in.range = range;
    in.position = position;
    return in;
}
} // namespace

TEST(ScrollBarLayout, ThumbSizesAndPositions)
{
    struct Case {
        const char* name;
        UiScrollBarInput in;
        const char* button1;
        const char* button2;
        const char* thumb;
    };
    UiScrollBarInput horizontal;
    horizontal.item = RECT{0, 0, 100, 16};
    horizontal.thickness = SIZE{0, 16};
    horizontal.horizontal = true;
    horizontal.range = 300;
    horizontal.position = 150;
    UiScrollBarInput noButtons = VerticalBar(100, 100, 0);
    noButtons.showButton1 = false;
    noButtons.showButton2 = false;
    UiScrollBarInput shortHorizontal = horizontal;
    shortHorizontal.item = RECT{0, 0, 20, 16};
    const Case cases[] = {
        // usable 68, thumb max(16, 68 * 100 / 400) = 17
        {"range 300 at the top", VerticalBar(100, 300, 0), "0,0,16,16", "0,84,16,100", "0,16,16,33"},
        {"range 300 at the end", VerticalBar(100, 300, 300), "0,0,16,16", "0,84,16,100",
         "0,67,16,84"},
        {"range 300 half way", VerticalBar(100, 300, 150), "0,0,16,16", "0,84,16,100",
         "0,41,16,58"},
        {"no range: the thumb fills the track", VerticalBar(100, 0, 0), "0,0,16,16",
         "0,84,16,100", "0,16,16,84"},
        {"huge range: thumb never below the button size", VerticalBar(100, 1000000, 0),
         "0,0,16,16", "0,84,16,100", "0,16,16,32"},
        {"shorter than two buttons: half-length buttons, no thumb", VerticalBar(20, 300, 0),
         "0,0,16,10", "0,10,16,20", "0,0,0,0"},
        {"no buttons", noButtons, "0,0,0,0", "0,100,0,100", "0,0,16,50"},
        {"horizontal mirrors it", horizontal, "0,0,16,16", "84,0,100,16", "41,0,58,16"},
        {"short horizontal", shortHorizontal, "0,0,10,16", "10,0,20,16", "0,0,0,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UiScrollBarParts parts = LayoutScrollBar(c.in);
        EXPECT_EQ(PartsStr(parts.button1), c.button1);
        EXPECT_EQ(PartsStr(parts.button2), c.button2);
        EXPECT_EQ(PartsStr(parts.thumb), c.thumb);
    }
}

TEST(ScrollBarLayout, HostileRangesDoNotOverflow)
{
    for (long long range : {LLONG_MAX, -5LL, 1LL << 40}) {
        for (long long position : {LLONG_MAX, LLONG_MIN, 0LL, range / 2}) {
            const UiScrollBarParts parts = LayoutScrollBar(VerticalBar(100, range, position));
            EXPECT_GE(parts.thumb.top, 16);
            EXPECT_LE(parts.thumb.bottom, 84);
            EXPECT_LE(parts.thumb.top, parts.thumb.bottom);
        }
    }
}

TEST(ScrollBarLayout, DraggingHalfTheFreeTrackMovesHalfTheRange)
{
    EXPECT_EQ(ScrollDragOffset(25, 300, 50), 150);
    EXPECT_EQ(ScrollDragOffset(-25, 300, 50), -150);
    EXPECT_EQ(ScrollDragOffset(10, 300, 0), 0);         // nothing to divide by
    EXPECT_EQ(ScrollDragOffset(10, 300, -50), 60);      // the size, whatever its sign
    EXPECT_EQ(ScrollDragOffset(INT_MAX, LLONG_MAX, 1), LLONG_MAX);
    EXPECT_EQ(ScrollDragOffset(10, 0, 50), 0);
}

TEST(ProgressLayout, FillsAsTheValueSays)
{
    struct Case {
        const char* name;
        RECT item;
        UiProgressValues values;
        bool horizontal;
        const char* fill;
        const char* span;
    };
    const Case cases[] = {
        {"half of 594", {0, 0, 594, 12}, {0, 100, 50}, true, "0,0,297,12", "0,0,297,12"},
        {"offset item", {10, 5, 110, 25}, {0, 100, 30}, true, "10,5,40,25", "0,0,30,20"},
        {"vertical fills up from the bottom", {0, 0, 20, 200}, {0, 100, 25}, false,
         "0,150,20,200", "0,150,20,200"},
        {"min = max paints as max = min + 1", {0, 0, 100, 10}, {10, 10, 10}, true, "0,0,0,10",
         "0,0,0,10"},
        {"inverted range, value clamped", {0, 0, 100, 10}, {50, 0, 80}, true, "0,0,100,10",
         "0,0,100,10"},
        {"one third truncates", {0, 0, 100, 10}, {0, 3, 1}, true, "0,0,33,10", "0,0,33,10"},
        {"extremes of int", {0, 0, 1000, 10}, {INT_MIN, INT_MAX, 0}, true, "0,0,500,10",
         "0,0,500,10"},
        {"top of int", {0, 0, 1000, 10}, {INT_MAX, INT_MAX, INT_MAX}, true, "0,0,1000,10",
         "0,0,1000,10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PartsStr(ProgressFillRect(c.item, c.values, c.horizontal)), c.fill);
        EXPECT_EQ(PartsStr(ProgressForeSpan(c.item, c.values, c.horizontal)), c.span);
    }
    const UiProgressValues fixed = NormalizeProgress({10, 10, 3});
    EXPECT_EQ(fixed.maximum, 11);
    EXPECT_EQ(fixed.value, 10);
}

TEST(ChildPlacement, FilledChildAndTabPage)
{
    UiBoxChild plain;
    EXPECT_EQ(PartsStr(LayoutFilledChild(RECT{5, 5, 105, 55}, plain)), "5,5,105,55");
    UiBoxChild wide;
    wide.minSize = {120, 0};
    EXPECT_EQ(PartsStr(LayoutFilledChild(RECT{5, 5, 105, 55}, wide)), "5,5,125,55");
    UiBoxChild crossed;   // minimum above maximum: the maximum wins here
    crossed.minSize = {120, 80};
    crossed.maxSize = {80, 20};
    EXPECT_EQ(PartsStr(LayoutFilledChild(RECT{5, 5, 105, 55}, crossed)), "5,5,85,25");

    UiBoxChild page;
    page.padding = {1, 2, 3, 4};
    const RECT client = {10, 10, 110, 60};
    EXPECT_EQ(TabPageAvailable(client, page).cx, 96);
    EXPECT_EQ(TabPageAvailable(client, page).cy, 44);
    EXPECT_EQ(PartsStr(LayoutTabPage(client, page, SIZE{0, 0})), "11,12,107,56");
    EXPECT_EQ(PartsStr(LayoutTabPage(client, page, SIZE{30, 0})), "11,12,41,56");
    page.maxSize = {20, 10};
    EXPECT_EQ(PartsStr(LayoutTabPage(client, page, SIZE{0, 0})), "11,12,31,22");
    UiBoxChild fat;
    fat.padding = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    EXPECT_EQ(TabPageAvailable(client, fat).cx, 0);
}

TEST(SeparatorDrag, LengthFollowsThePointerWithinLimits)
{
    struct Case {
        int sep, start, grab, now, min, max, expected;
    };
    const Case cases[] = {
        {4, 100, 200, 230, 0, 9999, 130},    // bottom edge dragged down
        {4, 100, 200, 150, 0, 9999, 50},
        {-4, 100, 200, 230, 0, 9999, 70},    // top edge dragged down shrinks
        {4, 100, 200, 400, 0, 150, 150},     // capped at the maximum
        {4, 100, 200, 0, 40, 9999, 40},      // and at the minimum
        {4, 100, 200, -1000000, 0, 9999, 0}, // never negative
        {4, 100, 200, 260, 80, 60, 60},      // minimum above maximum: the maximum
        {4, INT_MAX, INT_MIN, INT_MAX, 0, INT_MAX, kLayoutLimit},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SeparatorDragLength(c.sep, c.start, c.grab, c.now, c.min, c.max), c.expected);
}
