// The stacking arithmetic of the vertical and horizontal layouts, as tables:
// children in, rectangles out.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ui/controls/UiLayoutMath.h"

using namespace SkinUI;

namespace {

// A child as the tables spell it; its estimate is its fixed size, as for a
// plain control.
struct Kid {
    SIZE fixed = {0, 0};
    RECT padding = {0, 0, 0, 0};
    SIZE minSize = {0, 0};
    SIZE maxSize = {9999, 9999};
    bool visible = true;
    bool floating = false;
};

struct Measured {
    std::vector<UiBoxChild> boxes;
    int calls = 0;
};

SIZE MeasureFixed(void* context, int index, SIZE)
{
    auto* m = static_cast<Measured*>(context);
    ++m->calls;
    return m->boxes[index].fixed;
}

struct Outcome {
    std::vector<RECT> rects;
    SIZE required;
    int calls;
};

Outcome Stack(bool vertical, const UiStackInput& input, const std::vector<Kid>& kids)
{
    Measured m;
    for (const Kid& k : kids) {
        UiBoxChild b;
        b.fixed = k.fixed;
        b.padding = k.padding;
        b.minSize = k.minSize;
        b.maxSize = k.maxSize;
        b.visible = k.visible;
        b.floating = k.floating;
        m.boxes.push_back(b);
    }
    Outcome out;
    out.rects.assign(kids.size(), RECT{-1, -1, -1, -1});
    const int n = static_cast<int>(kids.size());
    out.required = vertical
                       ? LayoutVerticalStack(input, m.boxes.data(), n, MeasureFixed, &m, out.rects.data())
                       : LayoutHorizontalStack(input, m.boxes.data(), n, MeasureFixed, &m, out.rects.data());
    out.calls = m.calls;
    return out;
}

std::string Str(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

UiStackInput Client(int w, int h)
{
    UiStackInput in;
    in.client = RECT{0, 0, w, h};
    return in;
}

Kid H(int height) { Kid k; k.fixed = {0, height}; return k; }
Kid W(int width) { Kid k; k.fixed = {width, 0}; return k; }

struct StackCase {
    const char* name;
    bool vertical;
    UiStackInput input;
    std::vector<Kid> kids;
    std::vector<std::string> expected;   // "" for an entry that must stay untouched
};

} // namespace

TEST(StackLayout, PlacesChildrenAsTheTableSays)
{
    UiStackInput gap5 = Client(100, 100);
    gap5.childGap = 5;
    UiStackInput centred = Client(100, 100);
    centred.mainAlign = UiAlign::Center;
    UiStackInput bottom = Client(100, 100);
    bottom.mainAlign = UiAlign::End;
    UiStackInput bottomScrolled = bottom;
    bottomScrolled.scroll.vVisible = true;
    UiStackInput scrolled = Client(100, 100);
    scrolled.scroll.vVisible = true;
    scrolled.scroll.vPos = 30;
    scrolled.scroll.vRange = 50;
    UiStackInput crossCentre = Client(100, 100);
    crossCentre.crossAlign = UiAlign::Center;
    UiStackInput crossEnd = Client(100, 100);
    crossEnd.crossAlign = UiAlign::End;
    UiStackInput offset = Client(100, 100);
    offset.client = RECT{10, 20, 110, 120};

    Kid w40 = H(0); w40.fixed.cx = 40;
    Kid w40pad = w40; w40pad.padding = {0, 0, 5, 0};
    Kid padded = H(10); padded.padding = {2, 3, 4, 5};
    Kid hidden = H(10); hidden.visible = false;
    Kid floating = H(10); floating.floating = true;
    Kid max30 = H(0); max30.maxSize.cy = 30;
    Kid min80 = H(0); min80.minSize.cy = 80;
    Kid crossMax = H(10); crossMax.maxSize.cx = 40;
    Kid crossMin = H(10); crossMin.minSize.cx = 120;
    Kid crossMinOverMax = H(10); crossMinOverMax.minSize.cx = 50; crossMinOverMax.maxSize.cx = 30;
    Kid mainMinOverMax = H(0); mainMinOverMax.minSize.cy = 50; mainMinOverMax.maxSize.cy = 30;
    Kid rowTall = W(10); rowTall.maxSize.cy = 50;
    Kid rowH40 = W(10); rowH40.fixed.cy = 40;
    Kid rowMinOverMax = W(0); rowMinOverMax.minSize.cx = 50; rowMinOverMax.maxSize.cx = 30;

    const StackCase cases[] = {
        {"fixed then two adjustable share the rest", true, Client(100, 100), {H(20), H(0), H(0)},
         {"0,0,100,20", "0,20,100,60", "0,60,100,100"}},
        {"odd remainder goes to the last adjustable", true, Client(100, 101), {H(20), H(0), H(0)},
         {"0,0,100,20", "0,20,100,60", "0,60,100,101"}},
        {"three adjustable over 100", true, Client(100, 100), {H(0), H(0), H(0)},
         {"0,0,100,33", "0,33,100,66", "0,66,100,100"}},
        {"gap between visible children only", true, gap5, {H(10), hidden, H(10), H(10)},
         {"0,0,100,10", "", "0,15,100,25", "0,30,100,40"}},
        {"gap with an adjustable child", true, gap5, {H(10), H(0), hidden, H(10)},
         {"0,0,100,10", "0,15,100,85", "", "0,90,100,100"}},
        {"floating children are left to the container", true, Client(100, 100), {floating, H(0)},
         {"", "0,0,100,100"}},
        {"own padding", true, Client(100, 100), {padded, H(0)},
         {"2,3,96,13", "0,18,100,100"}},
        {"client offset", true, offset, {H(20), H(0)}, {"10,20,110,40", "10,40,110,120"}},
        {"adjustable capped at its maximum", true, Client(100, 100), {max30, H(0)},
         {"0,0,100,30", "0,30,100,100"}},
        {"adjustable raised to its minimum", true, Client(100, 100), {min80, H(0)},
         {"0,0,100,80", "0,80,100,100"}},
        {"minimum above maximum along the stack: maximum", true, Client(100, 100), {mainMinOverMax},
         {"0,0,100,30"}},
        {"cross maximum", true, Client(100, 100), {crossMax}, {"0,0,40,10"}},
        {"cross minimum beyond the client", true, Client(100, 100), {crossMin}, {"0,0,120,10"}},
        {"cross minimum above maximum: minimum last", true, Client(100, 100), {crossMinOverMax},
         {"0,0,50,10"}},
        {"stack centred without adjustable children", true, centred, {H(20), H(30)},
         {"0,25,100,45", "0,45,100,75"}},
        {"stack at the bottom", true, bottom, {H(20), H(30)}, {"0,50,100,70", "0,70,100,100"}},
        {"alignment ignored under a visible scroll bar", true, bottomScrolled, {H(20), H(30)},
         {"0,0,100,20", "0,20,100,50"}},
        {"scroll position moves the stack", true, scrolled, {H(20), H(0)},
         {"0,-30,100,-10", "0,-10,100,120"}},
        {"children centred across", true, crossCentre, {w40}, {"30,0,70,100"}},
        {"children at the right, less right padding", true, crossEnd, {w40, w40pad},
         {"60,0,100,50", "55,50,95,100"}},
        {"row: fixed then two adjustable", false, Client(100, 100), {W(20), W(0), W(0)},
         {"0,0,20,100", "20,0,60,100", "60,0,100,100"}},
        {"row: height up to the maximum", false, Client(100, 100), {rowTall}, {"0,0,10,50"}},
        {"row: centred vertically", false,
         [] { UiStackInput i = Client(100, 100); i.crossAlign = UiAlign::Center; return i; }(),
         {rowH40}, {"0,30,10,70"}},
        {"row: at the bottom", false,
         [] { UiStackInput i = Client(100, 100); i.crossAlign = UiAlign::End; return i; }(),
         {rowH40}, {"0,60,10,100"}},
        {"row: centred along without adjustable children", false,
         [] { UiStackInput i = Client(100, 100); i.mainAlign = UiAlign::Center; return i; }(),
         {W(20), W(30)}, {"25,0,45,100", "45,0,75,100"}},
        {"row: at the right end", false,
         [] { UiStackInput i = Client(100, 100); i.mainAlign = UiAlign::End; return i; }(),
         {W(20), W(30)}, {"50,0,70,100", "70,0,100,100"}},
        {"row: minimum above maximum along: maximum", false, Client(100, 100), {rowMinOverMax},
         {"0,0,30,100"}},
    };

    for (const StackCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome out = Stack(c.vertical, c.input, c.kids);
        ASSERT_EQ(out.rects.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            if (c.expected[i].empty())
                EXPECT_EQ(Str(out.rects[i]), "-1,-1,-1,-1") << "child " << i;
            else
                EXPECT_EQ(Str(out.rects[i]), c.expected[i]) << "child " << i;
        }
    }
}

TEST(StackLayout, RequiredSizeIsWhatTheScrollBarsCompare)
{
    UiStackInput in = Client(100, 50);
    in.childGap = 5;
    Kid wide = H(30);
    wide.fixed.cx = 70;
    wide.padding = {3, 0, 4, 0};
    const Outcome column = Stack(true, in, {H(30), wide, H(30)});
    EXPECT_EQ(column.required.cy, 30 * 3 + 2 * 5);
    EXPECT_EQ(column.required.cx, 77);

    const Outcome row = Stack(false, in, {W(30), W(40)});
    EXPECT_EQ(row.required.cx, 30 + 40 + 5);
}

TEST(StackLayout, MeasuresEachChildTwiceWhateverTheCount)
{
    // Linear: an estimate pass and a placement pass, nothing more.
    std::vector<Kid> kids(10000, H(3));
    kids[17].visible = false;
    const Outcome out = Stack(true, Client(200, 100), kids);
    EXPECT_EQ(out.calls, 2 * 9999);
    EXPECT_EQ(out.rects[9999].top, 9998 * 3);
    EXPECT_EQ(out.required.cy, 9999 * 3);
}

TEST(StackLayout, HostileSizesStayBounded)
{
    Kid huge = H(INT_MAX);
    huge.padding = {INT_MIN, INT_MAX, INT_MAX, INT_MIN};
    huge.minSize = {INT_MAX, INT_MAX};
    huge.maxSize = {-5, -5};
    Kid negative = H(-1000000);
    negative.fixed.cx = -7;
    UiStackInput in = Client(100, 100);
    in.client = RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    in.childGap = INT_MAX;
    in.scroll.vVisible = true;
    in.scroll.vPos = LLONG_MAX;
    in.scroll.vRange = LLONG_MAX;
    in.scroll.hVisible = true;
    in.scroll.hPos = LLONG_MIN;
    in.scroll.hRange = LLONG_MAX;
    std::vector<Kid> kids(3000, huge);
    kids.push_back(negative);
    kids.push_back(H(0));
    for (bool vertical : {true, false}) {
        const Outcome out = Stack(vertical, in, kids);
        for (const RECT& r : out.rects) {
            EXPECT_LE(std::abs(static_cast<long long>(r.left)), kLayoutLimit);
            EXPECT_LE(std::abs(static_cast<long long>(r.right)), kLayoutLimit);
            EXPECT_LE(std::abs(static_cast<long long>(r.top)), kLayoutLimit);
            EXPECT_LE(std::abs(static_cast<long long>(r.bottom)), kLayoutLimit);
            EXPECT_GE(r.right - r.left, 0);
            EXPECT_GE(r.bottom - r.top, 0);
        }
        EXPECT_GE(out.required.cx, 0);
        EXPECT_GE(out.required.cy, 0);
    }
}
