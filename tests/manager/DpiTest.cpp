#include <gtest/gtest.h>

#include "ManagerTestUtil.h"
#include "ui/core/UiDpi.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;

TEST(UiDpi, GlobalDpiGivesWholePercentFactor)
{
    struct Case { int dpi; int expectDpi; double scale; } cases[] = {
        {96, 96, 1.0}, {120, 120, 1.25}, {144, 144, 1.5}, {192, 192, 2.0},
        {110, 110, 1.15},  // 114.58 % rounds to a whole percent
        {0, 96, 1.0}, {-5, 96, 1.0},  // no DPI: the design's 96
    };
    for (const Case& c : cases) {
        ManagerTest::GlobalDpi scope(c.dpi);
        EXPECT_EQ(c.expectDpi, CUiDpi::GetGlobalDpi()) << c.dpi;
        EXPECT_DOUBLE_EQ(c.scale, CUiDpi::GetGlobalScale()) << c.dpi;
    }
    EXPECT_EQ(96, CUiDpi::GetGlobalDpi());
}

TEST(UiDpi, ScalesValuesSizesPointsAndRectangles)
{
    CUiDpi dpi;
    dpi.SetScale(120);
    EXPECT_EQ(125, dpi.GetScale());
    EXPECT_EQ(120, dpi.GetDpi());
    SIZE window = dpi.Scale(SIZE{700, 420});
    EXPECT_EQ(875, window.cx);
    EXPECT_EQ(525, window.cy);
    POINT point = dpi.Scale(POINT{8, -8});
    EXPECT_EQ(10, point.x);
    EXPECT_EQ(-10, point.y);

    dpi.SetScale(144);
    struct Case { RECT in; RECT out; } cases[] = {
        {{10, 10, 20, 20}, {15, 15, 30, 30}},
        // Width scales on its own: 1.5 -> 2 and 4.5 -> 5, so right is 7, not 4 * 1.5 = 6.
        {{1, 1, 4, 4}, {2, 2, 7, 7}},
        {{3, 5, 4, 6}, {5, 8, 7, 10}},
        {{-10, 0, 0, 10}, {-15, 0, 0, 15}},
    };
    for (const Case& c : cases) {
        RECT r = dpi.Scale(c.in);
        EXPECT_EQ(c.out.left, r.left);
        EXPECT_EQ(c.out.top, r.top);
        EXPECT_EQ(c.out.right, r.right);
        EXPECT_EQ(c.out.bottom, r.bottom);
        // Every scaled rectangle of the same size has the same size wherever it lies.
        RECT moved = dpi.Scale(RECT{c.in.left + 1, c.in.top + 1, c.in.right + 1, c.in.bottom + 1});
        EXPECT_EQ(r.right - r.left, moved.right - moved.left);
    }
    EXPECT_EQ(20, dpi.Unscale(30));
    RECT back = dpi.Unscale(RECT{15, 15, 30, 30});
    EXPECT_EQ(10, back.left);
    EXPECT_EQ(20, back.right);
}

TEST(UiDpi, AwarenessDecidesTheEffectiveScale)
{
    CUiDpi dpi;
    EXPECT_EQ(100, dpi.GetScale());
    EXPECT_EQ(UI_DPI_PER_MONITOR_AWARE, dpi.GetAwareness());
    dpi.SetScale(144);
    dpi.SetScale(192);
    EXPECT_EQ(200, dpi.GetScale());  // per monitor: the current one
    dpi.SetAwareness(UI_DPI_SYSTEM_AWARE);
    EXPECT_EQ(150, dpi.GetScale());  // system aware: the first one set
    EXPECT_EQ(144, dpi.GetDpi());
    EXPECT_EQ(15, dpi.Scale(10));
    dpi.SetAwareness(UI_DPI_UNAWARE);
    EXPECT_EQ(100, dpi.GetScale());
    EXPECT_EQ(96, dpi.GetDpi());
    RECT r = dpi.Scale(RECT{10, 10, 20, 20});
    EXPECT_EQ(20, r.right);
    EXPECT_EQ(7, dpi.Scale(7));
    EXPECT_EQ(7, dpi.Unscale(7));

    CUiDpi fresh;
    fresh.SetAwareness(UI_DPI_SYSTEM_AWARE);
    EXPECT_EQ(100, fresh.GetScale());  // nothing set yet
}

TEST(UiDpi, VariantNamesMarkTheExtension)
{
    struct Case { const wchar_t* name; int percent; const wchar_t* variant; } cases[] = {
        {L"btn.png", 125, L"btn@1.25x.png"},
        {L"btn.png", 150, L"btn@1.5x.png"},
        {L"btn.png", 175, L"btn@1.75x.png"},
        {L"btn.png", 200, L"btn@2x.png"},
        {L"img\\btn.png", 200, L"img\\btn@2x.png"},
        {L"skin.v2/btn.normal.png", 200, L"skin.v2/btn.normal@2x.png"},
        {L"btn.png", 100, L""},
        {L"btn", 200, L""},          // no extension: no variant, never the plain name itself
        {L"skin.v2/btn", 200, L""},
        {L".png", 200, L""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.variant, CUiDpi::VariantName(c.name, c.percent).GetData()) << c.name << c.percent;
}

TEST(PaintManagerDpi, ManagerTakesTheGlobalDpiAtBirth)
{
    ManagerTest::GlobalDpi scope(120);
    CPaintManagerUI manager;
    EXPECT_EQ(125, manager.GetScale());
    EXPECT_EQ(875, manager.Scale(700));
    manager.SetDpi(192);
    EXPECT_EQ(200, manager.GetScale());
}
