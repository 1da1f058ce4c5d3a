// Layout of marked-up text over a canvas with made-up metrics: characters are 8
// pixels wide (10 in bold), lines 18 pixels tall (16 + 2 external leading).
#include <gtest/gtest.h>

#include <string>

#include "TextTestUtil.h"
#include "support/TestSupport.h"
#include "ui/render/UiMarkedLayout.h"

using namespace SkinUI;
using TextTest::FakeCanvas;

namespace {

struct Laid {
    UiMarkupLayout layout;
    std::wstring text;   // keeps the runs' characters alive

    // Runs as "text@left,top" in order.
    std::string Runs() const
    {
        std::string out;
        for (const UiMarkupItem& item : layout.items) {
            if (!out.empty()) out += " ";
            if (item.kind == UiMarkupItem::IMAGE) out += "[img]";
            else out += TestSupport::ToUtf8(std::wstring(item.text, item.length));
            out += "@" + std::to_string(item.box.left) + "," + std::to_string(item.box.top);
        }
        return out;
    }
    const UiMarkupItem& Item(size_t i) const { return layout.items.at(i); }
};

Laid Layout(const std::wstring& text, RECT rect, UINT format, UiMarkupInput input = UiMarkupInput(),
            FakeCanvas* canvas = nullptr)
{
    Laid laid;
    laid.text = text;
    input.text = laid.text.c_str();
    input.rect = rect;
    input.format = format;
    FakeCanvas local;
    LayoutMarkedText(input, canvas ? canvas : &local, &laid.layout);
    return laid;
}

void ExpectInside(const Laid& laid, const RECT& rect, const char* what)
{
    for (const UiMarkupItem& item : laid.layout.items) {
        EXPECT_GE(item.box.left, rect.left) << what << ": " << laid.Runs();
        EXPECT_LE(item.box.right, rect.right) << what << ": " << laid.Runs();
        // Lines may end below the bottom (the clip cuts them) but never start there.
        EXPECT_GE(item.box.top, rect.top) << what << ": " << laid.Runs();
        EXPECT_LT(item.box.top, rect.bottom) << what << ": " << laid.Runs();
    }
}

const RECT kWide = {0, 0, 200, 100};

TEST(MarkedLayout, RunsAndLines)
{
    struct Case {
        const wchar_t* text;
        RECT rect;
        UINT format;
        const char* runs;
    } cases[] = {
        {L"abc", kWide, 0, "abc@0,0"},
        {L"ab\ncd", kWide, 0, "ab@0,0 cd@0,18"},
        {L"ab<n>cd", kWide, 0, "ab@0,0 cd@0,18"},
        {L"ab<n>cd", kWide, DT_SINGLELINE, "ab@0,0 cd@16,0"},   // the n tag is ignored
        {L"ab\ncd", kWide, DT_SINGLELINE, "ab@0,0"},
        // Without word break a line is cut where it is full.
        {L"abcdefgh", {0, 0, 40, 100}, 0, "abcde@0,0 fgh@0,18"},
        {L"hello world", {0, 0, 60, 100}, DT_WORDBREAK, "hello @0,0 world@0,18"},
        {L"hello world", {0, 0, 60, 100}, DT_SINGLELINE | DT_WORDBREAK, "hello @0,0"},
        // A word longer than the line is cut at the edge.
        {L"abcdefghij xy", {0, 0, 40, 100}, DT_WORDBREAK, "abcde@0,0 fghij@0,18 xy@0,36"},
        // Tags split runs but not lines; the pen carries on.
        {L"a<b>b</b>c", kWide, 0, "a@0,0 b@8,0 c@18,0"},
        {L"a<x 20>b", kWide, 0, "a@0,0 b@28,0"},
        {L"<y 40>a", kWide, 0, "a@0,22"},
        {L"<p 10>a</p>b", kWide, 0, "a@0,10 b@0,28"},
        {L"a<p>b</p>c", kWide, 0, "a@0,0 b@0,18 c@0,36"},
        // Unknown and broken tags are text.
        {L"<q>x</q>", kWide, 0, "<q>x</q>@0,0"},
        {L"a<c #ff", kWide, 0, "a<c #ff@0,0"},
        {L"<r><b>x</b></r>", kWide, 0, "<b>x</b>@0,0"},
        // Lines below the rectangle are not drawn.
        {L"a\nb\nc\nd", {0, 0, 100, 40}, 0, "a@0,0 b@0,18 c@0,36"},
        // Alignment: single line and per line.
        {L"ab", {0, 0, 100, 40}, DT_SINGLELINE | DT_CENTER | DT_VCENTER, "ab@42,11"},
        {L"ab", {0, 0, 100, 40}, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, "ab@84,22"},
        {L"abcd\nab", {10, 0, 110, 100}, DT_CENTER, "abcd@44,0 ab@52,18"},
        {L"ab", {0, 0, 100, 40}, DT_SINGLELINE | DT_CENTER | DT_CALCRECT, "ab@0,0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.runs, Layout(c.text, c.rect, c.format).Runs()) << TestSupport::ToUtf8(c.text);
    }
}

TEST(MarkedLayout, CalculateGrowsWithText)
{
    const RECT rect = {10, 20, 90, 500};
    Laid one = Layout(L"abc", rect, DT_CALCRECT);
    EXPECT_EQ(24, one.layout.width);
    EXPECT_EQ(18, one.layout.height);
    Laid longer = Layout(L"abcdef", rect, DT_CALCRECT);
    EXPECT_EQ(48, longer.layout.width);
    Laid wrapped = Layout(L"abcdef abcdef abcdef", rect, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(56, wrapped.layout.width);   // "abcdef " on each line
    EXPECT_EQ(3 * 18, wrapped.layout.height);
    Laid tall = Layout(L"a<n>b<n><f Big 20>c", rect, DT_CALCRECT);
    EXPECT_EQ(18 + 18 + 42, tall.layout.height);
}

TEST(MarkedLayout, EllipsisAndWordBreakStayInside)
{
    const RECT rect = {5, 5, 65, 45};   // 7 characters, two lines
    const wchar_t* text = L"the quick brown fox jumps over the lazy dog";
    UINT formats[] = {DT_SINGLELINE | DT_END_ELLIPSIS, DT_WORDBREAK | DT_END_ELLIPSIS, DT_WORDBREAK,
                      DT_SINGLELINE | DT_WORDBREAK, 0};
    for (UINT format : formats) {
        Laid laid = Layout(text, rect, format);
        ExpectInside(laid, rect, std::to_string(format).c_str());
        if (format & DT_END_ELLIPSIS) {
            const UiMarkupItem& last = laid.layout.items.back();
            EXPECT_EQ(L"...", std::wstring(last.text, last.length)) << laid.Runs();
        }
    }
    EXPECT_EQ("the @5,5 ...@37,5", Layout(L"the quick", rect, DT_SINGLELINE | DT_END_ELLIPSIS).Runs());
    EXPECT_EQ("the @5,5 quic@5,23 ...@37,23",
              Layout(text, rect, DT_WORDBREAK | DT_END_ELLIPSIS).Runs());
}

TEST(MarkedLayout, NarrowRectanglesStillEnd)
{
    // Narrower than one character: one character per line, and the layout ends.
    struct Case {
        RECT rect;
        UINT format;
    } cases[] = {
        {{0, 0, 3, 1000}, 0}, {{0, 0, 3, 1000}, DT_WORDBREAK}, {{0, 0, 0, 1000}, DT_CALCRECT},
        {{0, 0, -5, 1000}, DT_CALCRECT | DT_WORDBREAK}, {{0, 0, 3, 1000}, DT_END_ELLIPSIS},
        {{0, 0, 3, 1000}, DT_WORDBREAK | DT_END_ELLIPSIS | DT_CALCRECT},
    };
    for (const Case& c : cases) {
        Laid laid = Layout(L"ab cd<b>ef</b><i img>", c.rect, c.format);
        EXPECT_GE(laid.layout.items.size(), 1u);
        EXPECT_LE(laid.layout.items.size(), 8u) << laid.Runs();
    }
    Laid laid = Layout(L"abc", {0, 0, 3, 1000}, DT_CALCRECT);
    EXPECT_EQ("a@0,0 b@0,18 c@0,36", laid.Runs());
    // A character outside the basic plane is two code units and stays whole.
    laid = Layout(L"a\xD83D\xDE00" L"b", {0, 0, 3, 1000}, DT_CALCRECT);
    ASSERT_EQ(3u, laid.layout.items.size());
    EXPECT_EQ(2, laid.Item(1).length);
    laid = Layout(L"ab\xD83D\xDE00", {0, 0, 24, 1000}, DT_CALCRECT);   // the edge falls inside the pair
    ASSERT_EQ(2u, laid.layout.items.size());
    EXPECT_EQ(2, laid.Item(0).length);

    // A long text in a narrow rectangle is measured in pieces, not all over again.
    std::wstring longText(200000, L'x');
    Laid big = Layout(longText, {0, 0, 1, 10}, DT_CALCRECT);
    EXPECT_EQ(200000u, big.layout.items.size());
}

TEST(MarkedLayout, FontsShareTheBaseline)
{
    Laid laid = Layout(L"ab<b>cd</b>ef<f Big 20>g</f>h", kWide, 0);
    ASSERT_EQ(5u, laid.layout.items.size());
    EXPECT_EQ(16, laid.Item(0).box.right - laid.Item(0).box.left);
    EXPECT_EQ(20, laid.Item(1).box.right - laid.Item(1).box.left);   // bold is wider
    EXPECT_EQ(FakeCanvas::BOLD, laid.Item(1).font);
    EXPECT_EQ(-1, laid.Item(2).font);
    // The big run (40 + 2 tall, 10 below the baseline) sets the line: 32 above, 10 below.
    for (const UiMarkupItem& item : laid.layout.items) {
        EXPECT_EQ(32, item.box.bottom - item.descent) << laid.Runs();
    }
    EXPECT_EQ("ab@0,18 cd@16,18 ef@36,18 g@52,0 h@62,18", laid.Runs());
    EXPECT_EQ(42, laid.layout.height);

    // Nested styles, and popping past the bottom of the stack keeps the base font.
    laid = Layout(L"<b><i><u>a</u></i></b></b></i>b", kWide, 0);
    EXPECT_EQ(FakeCanvas::BOLD | FakeCanvas::ITALIC | FakeCanvas::UNDERLINE, laid.Item(0).font);
    EXPECT_EQ(-1, laid.Item(1).font);
    // Leaving italic moves the pen by half a space.
    EXPECT_EQ("a@0,0 b@12,0", Layout(L"<i>a</i>b", kWide, 0).Runs());
    EXPECT_EQ(1000 + 9 * 8 + FakeCanvas::BOLD, Layout(L"<f Arial 9 bold>a", kWide, 0).Item(0).font);
    EXPECT_EQ(7, Layout(L"<f 7>a</f>", kWide, 0).Item(0).font);
}

TEST(MarkedLayout, ColorsAndSelection)
{
    UiMarkupInput input;
    input.color = 0xFF112233;
    Laid laid = Layout(L"<c #FF0000>r<c 00FF00>g</c>r</c>x</c>x", kWide, 0, input);
    ASSERT_EQ(5u, laid.layout.items.size());
    DWORD expected[] = {0xFF0000, 0x00FF00, 0xFF0000, 0xFF112233, 0xFF112233};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(expected[i], laid.Item(i).color) << i;

    laid = Layout(L"a<s>b</s>c{s}d", kWide, 0);
    bool selected[] = {false, true, false, true};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(selected[i], laid.Item(i).selected) << i;
}

TEST(MarkedLayout, Links)
{
    UiMarkupInput input;
    input.linkSlots = 2;
    input.linkColor = 0xFF0000FF;
    input.linkHoverColor = 0xFFD3215F;
    Laid laid = Layout(L"go <a one>here</a> or <a two>there</a> or <a three>x</a>", kWide, 0, input);
    EXPECT_EQ(3, laid.layout.linkCount);
    ASSERT_EQ(2u, laid.layout.links.size());
    EXPECT_TRUE(laid.layout.links[0].text == L"one");
    EXPECT_TRUE(laid.layout.links[1].text == L"two");
    const UiMarkupItem& here = laid.Item(1);
    EXPECT_EQ(0, here.link);
    EXPECT_TRUE(EqualRect(&here.box, &laid.layout.links[0].rect));
    EXPECT_EQ((RECT{24, 0, 56, 18}), laid.layout.links[0].rect);
    EXPECT_EQ(FakeCanvas::UNDERLINE, here.font);
    EXPECT_EQ(0xFF0000FFu, here.color);
    EXPECT_EQ(-1, laid.Item(2).font);   // closing the link restores the font
    // The third link is drawn, just not recorded.
    EXPECT_EQ(2, laid.layout.items.back().link);

    // The function's own colour wins over the link colour; hover over both.
    input.color = 0xFF00FF00;
    input.hoveredLink = L"two";
    laid = Layout(L"<a one>a</a><a two>b</a>", kWide, 0, input);
    EXPECT_EQ(0xFF00FF00u, laid.Item(0).color);
    EXPECT_EQ(0xFFD3215Fu, laid.Item(1).color);

    // A link that wraps covers all of its lines; an unclosed one ends with the text.
    input = UiMarkupInput();
    input.linkSlots = 8;
    laid = Layout(L"ab <a w>cdef gh</a>", {0, 0, 48, 100}, DT_WORDBREAK, input);
    ASSERT_EQ(1u, laid.layout.links.size());
    EXPECT_EQ((RECT{0, 18, 40, 54}), laid.layout.links[0].rect) << laid.Runs();
    laid = Layout(L"<a open>abc", kWide, 0, input);
    ASSERT_EQ(1u, laid.layout.links.size());
    EXPECT_EQ((RECT{0, 0, 24, 18}), laid.layout.links[0].rect);
}

TEST(MarkedLayout, InlineImages)
{
    Laid laid = Layout(L"a<i img 4 1>b", kWide, 0);
    ASSERT_EQ(3u, laid.layout.items.size());
    const UiMarkupItem& image = laid.Item(1);
    EXPECT_EQ(UiMarkupItem::IMAGE, image.kind);
    EXPECT_EQ((RECT{8, 0, 18, 20}), image.box);
    EXPECT_EQ((RECT{10, 0, 20, 20}), laid.layout.images.at(image.image).source);
    EXPECT_EQ(18, laid.Item(2).box.left);
    // Taller than the font: the line grows and the text sits on its bottom.
    laid = Layout(L"a<i tall>b\nc", kWide, 0);
    EXPECT_EQ("a@0,32 [img]@8,0 b@38,32 c@0,50", laid.Runs());
    // Missing images draw nothing; an image that does not fit starts a new line.
    EXPECT_EQ("a@0,0 b@8,0", Layout(L"a<i nothing.png>b", kWide, 0).Runs());
    EXPECT_EQ("abcd@0,0 [img]@0,18", Layout(L"abcd<i img>", {0, 0, 50, 100}, 0).Runs());
}

TEST(MarkedLayout, DesignPixelsAreScaled)
{
    FakeCanvas canvas;
    canvas.scale = 200;
    EXPECT_EQ("a@0,0 b@48,0", Layout(L"a<x 20>b", kWide, 0, UiMarkupInput(), &canvas).Runs());
    EXPECT_EQ("a@0,22", Layout(L"<y 20>a", kWide, 0, UiMarkupInput(), &canvas).Runs());
    // Absurd values are held to the rectangle instead of overflowing the pen.
    EXPECT_EQ("a@0,0 b@0,18", Layout(L"a<x 99999999999>b", kWide, 0).Runs());
    Laid laid = Layout(L"<y 2147483647>a<p 99999999>b", kWide, DT_CALCRECT);
    EXPECT_GT(laid.layout.height, 0);
}

} // namespace
