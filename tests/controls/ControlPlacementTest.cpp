// Where controls end up: Place itself, and floating children in their parent.
#include <gtest/gtest.h>

#include <climits>

#include "TestContainer.h"
#include "ui/controls/UiFloatPlacement.h"

using namespace SkinUI;
using ControlTests::CTestContainer;

namespace {

::testing::AssertionResult RectIs(const RECT& r, LONG l, LONG t, LONG rt, LONG b)
{
    if (r.left == l && r.top == t && r.right == rt && r.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << r.left << "," << r.top << "," << r.right
                                         << "," << r.bottom << ")";
}

struct FloatCase {
    const char* label;
    UiFloatInput input;
    RECT expect;
};

UiFloatInput In(SIZE offset, SIZE size, UiFloatPercent percent = {}, UINT align = 0)
{
    UiFloatInput in;
    in.offset = offset;
    in.size = size;
    in.percent = percent;
    in.align = align;
    return in;
}

// Parent box (100,50)-(300,150): 200 wide, 100 high.
const RECT kParent = {100, 50, 300, 150};

const FloatCase kFloatCases[] = {
    {"fixed offset from the top-left", In({10, 5}, {30, 20}), {110, 55, 140, 75}},
    {"negative x anchors to the right edge", In({-10, 5}, {30, 0}), {290, 55, 320, 55}},
    {"negative y anchors to the bottom edge", In({0, -20}, {10, 20}), {100, 130, 110, 150}},
    {"percent stretches with the parent", In({0, 0}, {0, 0}, {0, 0, 1, 1}), {100, 50, 300, 150}},
    {"percent halves", In({0, 0}, {0, 0}, {0.5, 0.5, 1, 1}), {200, 100, 300, 150}},
    {"percent is truncated per edge", In({1, 1}, {2, 2}, {0.333, 0.333, 0.667, 0.667}),
     {167, 84, 236, 119}},
    {"align centre both ways", In({7, 7}, {40, 20}, {}, UIFLOAT_HCENTER | UIFLOAT_VCENTER),
     {180, 90, 220, 110}},
    {"align right and bottom", In({7, 7}, {40, 20}, {}, UIFLOAT_RIGHT | UIFLOAT_BOTTOM),
     {260, 130, 300, 150}},
    {"align ignores percent", In({0, 0}, {10, 10}, {1, 1, 1, 1}, UIFLOAT_BOTTOM),
     {100, 140, 110, 150}},
};

class FloatPlacementTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatPlacementTest, PlacesInsideTheParent)
{
    const FloatCase& c = GetParam();
    RECT r = PlaceFloatingRect(kParent, c.input);
    EXPECT_TRUE(RectIs(r, c.expect.left, c.expect.top, c.expect.right, c.expect.bottom)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Control, FloatPlacementTest, ::testing::ValuesIn(kFloatCases));

TEST(FloatPlacement, HostileFractionsStayFiniteAndOrdered)
{
    const double hostile[] = {1e300, -1e300, 1e18, -7.5, 2147483647.0, 0.0 / 0.0};
    for (double f : hostile) {
        RECT r = PlaceFloatingRect(kParent, In({INT_MAX / 2, INT_MIN / 2}, {INT_MAX / 2, INT_MAX / 2},
                                               {f, f, f, f}));
        // Far inside int: a layout adding a few of these cannot overflow.
        EXPECT_LE(std::llabs(static_cast<long long>(r.left)), 1 << 24);
        EXPECT_LE(std::llabs(static_cast<long long>(r.right)), 1 << 24);
        EXPECT_LE(std::llabs(static_cast<long long>(r.top)), 1 << 24);
        EXPECT_LE(std::llabs(static_cast<long long>(r.bottom)), 1 << 24);
    }
    RECT huge = {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
    RECT r = PlaceFloatingRect(huge, In({0, 0}, {10, 10}, {}, UIFLOAT_HCENTER | UIFLOAT_VCENTER));
    EXPECT_LE(r.left, r.right);
}

TEST(FloatPlacement, ContainerPlacesFloatingChildrenFromTheirAttributes)
{
    CTestContainer parent;
    auto* fixed = new CControlUI;
    auto* stretched = new CControlUI;
    auto* inLayout = new CControlUI;
    fixed->ApplyAttributes(L"float=\"true\" pos=\"-1,10,50,30\"");
    stretched->ApplyAttributes(L"float=\"0,0.5,1,0.5\" height=\"10\"");
    inLayout->ApplyAttributes(L"pos=\"5,5,10,10\"");   // pos alone does not float
    parent.AddItem(fixed);
    parent.AddItem(stretched);
    parent.AddItem(inLayout);
    parent.Place(kParent, false);
    EXPECT_TRUE(RectIs(fixed->Bounds(), 150, 60, 201, 80));
    EXPECT_TRUE(RectIs(stretched->Bounds(), 100, 100, 300, 110));
    EXPECT_TRUE(RectIs(inLayout->Bounds(), 100, 50, 300, 150));
    EXPECT_TRUE(RectIs(fixed->OffsetInParent(), 50, 10, 101, 30));
    EXPECT_EQ(fixed->LayoutWidth(), 51);        // floating: the actual width
    EXPECT_EQ(inLayout->LayoutWidth(), 5);      // in a layout: the preset width
}

TEST(ControlPlace, NormalisesAndRemembersTheRectangle)
{
    CControlUI control;
    control.Place(RECT{10, 20, 5, 8});
    EXPECT_TRUE(RectIs(control.Bounds(), 10, 20, 10, 20));
    EXPECT_EQ(control.BoundsWidth(), 0);
    control.Place(RECT{1, 2, 31, 42});
    EXPECT_EQ(control.BoundsWidth(), 30);
    EXPECT_EQ(control.BoundsHeight(), 40);
    EXPECT_EQ(control.LeftEdge(), 1);
    EXPECT_EQ(control.TopEdge(), 2);
    EXPECT_TRUE(RectIs(control.OffsetInParent(), 0, 0, 0, 0));   // no parent
}

TEST(ControlPlace, HostileLengthsReadBackInsideASaneRange)
{
    // Sums of a few lengths (a layout's fixed total) must stay inside int.
    CControlUI control;
    control.ApplyAttributes(L"width=\"2147483647\" height=\"99999999999\" "
                            L"padding=\"2147483647,-2147483647,2000000000,2000000000\" "
                            L"minwidth=\"2147483647\" bordersize=\"2147483647\"");
    const long long limit = 1 << 20;
    EXPECT_LE(control.PresetWidth(), limit);
    EXPECT_GE(control.PresetWidth(), 0);
    EXPECT_LE(control.PresetHeight(), limit);
    EXPECT_GE(control.PresetHeight(), 0);
    const RECT pad = control.Padding();
    EXPECT_LE(pad.left, limit);
    EXPECT_GE(pad.top, -limit);
    EXPECT_LE(control.MinimumWidth(), limit);
    EXPECT_LE(control.BorderSize(), limit);
    const long long sum = static_cast<long long>(pad.left) + pad.right + control.PresetWidth() +
                          control.MinimumWidth();
    EXPECT_LT(sum, INT_MAX);
}

} // namespace
