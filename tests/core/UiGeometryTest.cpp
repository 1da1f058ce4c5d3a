#include <gtest/gtest.h>

#include "ui/core/UiGeometry.h"
#include "ui/core/UiWaitCursor.h"

using namespace SkinUI;

TEST(UiRect, JoinTakesOuterEdgesWithoutNormalising)
{
    CUiRect r(10, 10, 20, 20);
    r.Join(CUiRect(5, 15, 8, 30));
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(10, r.top);
    EXPECT_EQ(20, r.right);
    EXPECT_EQ(30, r.bottom);
    CUiRect reversed(20, 20, 10, 10);
    reversed.Join(CUiRect(0, 0, 0, 0));
    EXPECT_EQ(0, reversed.left);
    EXPECT_EQ(10, reversed.right);
}

TEST(UiRect, NormalizeOffsetInflateDeflateReset)
{
    CUiRect r(30, 40, 10, 20);
    EXPECT_EQ(-20, r.GetWidth());
    r.Normalize();
    EXPECT_EQ(CUiRect(10, 20, 30, 40).left, r.left);
    EXPECT_EQ(40, r.bottom);
    r.Offset(5, -5);
    EXPECT_EQ(15, r.left);
    EXPECT_EQ(15, r.top);
    r.Inflate(2, 3);
    EXPECT_EQ(24, r.GetWidth());
    EXPECT_EQ(26, r.GetHeight());
    r.Deflate(2, 3);
    EXPECT_EQ(20, r.GetWidth());
    r.ResetOffset();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(20, r.right);
    EXPECT_FALSE(r.IsNull());
    r.Empty();
    EXPECT_TRUE(r.IsNull());
}

TEST(UiRect, UnionIgnoresEmptyRectangles)
{
    CUiRect r(0, 0, 0, 0);
    r.Union(CUiRect(5, 5, 10, 10));
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(10, r.bottom);
}

TEST(UiSizePoint, Construction)
{
    CUiSize fromRect(CUiRect(3, 4, 10, 20));
    EXPECT_EQ(7, fromRect.cx);
    EXPECT_EQ(16, fromRect.cy);
    CUiPoint p(MAKELPARAM(static_cast<WORD>(-5), 300));
    EXPECT_EQ(-5, p.x);
    EXPECT_EQ(300, p.y);
    CUiPoint q(static_cast<LPARAM>(0xFFFF8000));
    EXPECT_EQ(-32768, q.x);
    EXPECT_EQ(-1, q.y);
}

TEST(UiWaitCursor, RestoresThePreviousCursor)
{
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    {
        CUiWaitCursor wait;
        EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), GetCursor());
    }
    EXPECT_EQ(arrow, GetCursor());
}
