// Marked-up text drawn with the paint manager's fonts into DIB sections: each tag
// is checked by what it changes on the surface.
#include <gtest/gtest.h>

#include <string>

#include "TextPixels.h"
#include "support/TestSupport.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiText.h"

using namespace SkinUI;
using TextTest::Surface;

namespace {

// The mouse position is written by the message half of the manager.
class TestManager : public CPaintManagerUI {
public:
    void SetMouse(POINT point) { m_lastMousePos = point; }
};

class MarkedText : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, m_manager.AddFont(0, L"Arial", 16, false, false, false));
        ASSERT_NE(nullptr, m_manager.AddFont(1, L"Arial", 32, false, false, false));
    }

    RECT Measure(const wchar_t* text, UINT format = DT_SINGLELINE, RECT rect = {10, 10, 610, 410})
    {
        Surface surface(8, 8);
        DrawMarkedText(surface.DC(), &m_manager, rect, text, 0xFF000000, nullptr, nullptr, nullptr, 0,
                       format | DT_CALCRECT);
        return rect;
    }

    int Width(const wchar_t* text) { RECT r = Measure(text); return r.right - r.left; }
    int Height(const wchar_t* text, UINT format = 0) { RECT r = Measure(text, format); return r.bottom - r.top; }

    void Draw(Surface& surface, const wchar_t* text, RECT rect, UINT format = 0, DWORD color = 0xFF000000)
    {
        DrawMarkedText(surface.DC(), &m_manager, rect, text, color, nullptr, nullptr, nullptr, 0, format);
    }

    TestManager m_manager;
};

TEST_F(MarkedText, CalculateGrowsWithTheText)
{
    EXPECT_GT(Width(L"Hello"), 10);
    EXPECT_GT(Width(L"Hello Hello"), Width(L"Hello") * 3 / 2);
    int line = Height(L"Hello");
    EXPECT_GT(line, 10);
    EXPECT_EQ(2 * line, Height(L"Hello<n>Hello"));
    EXPECT_EQ(line, Height(L"Hello<n>Hello", DT_SINGLELINE));
    RECT narrow = Measure(L"one two three four five six", DT_WORDBREAK, {0, 0, 60, 400});
    EXPECT_GE(narrow.bottom, 3 * line);
    EXPECT_LE(narrow.right, 60);
}

// Each tag, by the difference it makes.
TEST_F(MarkedText, TagsChangeWhatTheyShould)
{
    EXPECT_GT(Width(L"<b>Hello</b>"), Width(L"Hello"));
    EXPECT_GT(Height(L"<f 1>Hello</f>"), Height(L"Hello") + 10);
    EXPECT_GT(Height(L"<f Arial 30 bold>Hello</f>"), Height(L"Hello") + 10);
    EXPECT_EQ(Width(L"ab") + 30, Width(L"a<x 30>b"));
    EXPECT_EQ(50, Height(L"<y 50>a"));
    EXPECT_EQ(Height(L"a") + 20, Height(L"<p 20>a</p>"));
    EXPECT_GT(Width(L"<r><b>x</b></r>"), Width(L"<b>x</b>") * 3);
    EXPECT_EQ(Width(L"<q>x"), Width(L"<q>x</q>") - Width(L"</q>"));

    // Underline puts ink below the letters; italic leans them.
    Surface plain(200, 40), underline(200, 40), italic(200, 40);
    RECT rect = {0, 0, 200, 40};
    Draw(plain, L"acem", rect);
    Draw(underline, L"<u>acem</u>", rect);
    Draw(italic, L"<i>acem</i>", rect);
    EXPECT_GT(underline.InkBounds().bottom, plain.InkBounds().bottom);
    EXPECT_NE(plain.Pixels(), italic.Pixels());
}

TEST_F(MarkedText, ColourTagPaintsInThatColour)
{
    Surface surface(200, 40);
    Draw(surface, L"<c #FF0000>HHHH</c><c #0000FF>HHHH</c>", {0, 0, 200, 40});
    RECT ink = surface.InkBounds();
    ASSERT_FALSE(IsRectEmpty(&ink));
    int middle = (ink.left + ink.right) / 2;
    int red = 0, blue = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (!surface.IsInk(x, y)) continue;
            DWORD p = surface.Pixel(x, y);
            // Anti-aliased edges blend with the white paper, so the colour's own
            // channel stays full while the others drop.
            if (x < middle) {
                EXPECT_EQ(0xFF, TextTest::Red(p)) << x << "," << y;
                red += TextTest::Green(p) < 0x40 ? 1 : 0;
            } else {
                EXPECT_EQ(0xFF, TextTest::Blue(p)) << x << "," << y;
                blue += TextTest::Green(p) < 0x40 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(blue, 10);
}

TEST_F(MarkedText, BoldRunSharesTheBaseline)
{
    Surface surface(300, 60);
    Draw(surface, L"xxxx{b}xxxx{/b}xxxx<f 1>xx</f>", {0, 0, 300, 60});
    RECT ink = surface.InkBounds();
    ASSERT_FALSE(IsRectEmpty(&ink));
    // Bottom ink row of each quarter: plain, bold, plain, big.
    RECT plain = surface.InkBounds({0, 0, Width(L"xxxx") - 1, 60});
    RECT bold = surface.InkBounds({Width(L"xxxx") + 1, 0, Width(L"xxxx<b>xxxx</b>") - 1, 60});
    RECT big = surface.InkBounds({Width(L"xxxx<b>xxxx</b>xxxx") + 1, 0, 300, 60});
    EXPECT_EQ(plain.bottom, bold.bottom);
    EXPECT_EQ(plain.bottom, big.bottom);
    EXPECT_LT(big.top, plain.top - 5);
}

TEST_F(MarkedText, LinksRecordRectanglesAndTexts)
{
    Surface surface(300, 40);
    RECT rect = {0, 0, 300, 40};
    RECT links[2] = {};
    CUiString texts[2];
    int count = 2;
    const wchar_t* text = L"see <a first>here</a>, <a second>there</a> and <a third>more</a>";
    DrawMarkedText(surface.DC(), &m_manager, rect, text, 0, links, texts, &count, 0, DT_SINGLELINE);
    ASSERT_EQ(2, count);
    EXPECT_TRUE(texts[0] == L"first");
    EXPECT_TRUE(texts[1] == L"second");
    EXPECT_LT(links[0].right, links[1].left);
    EXPECT_EQ(Width(L"see "), links[0].left);
    EXPECT_EQ(Width(L"see <u>here</u>"), links[0].right);
    // The link's ink is inside its rectangle, in the manager's link colour (the
    // text colour passed is 0).
    RECT ink = surface.InkBounds({links[0].left, 0, links[0].right, 40});
    ASSERT_FALSE(IsRectEmpty(&ink));
    EXPECT_GE(ink.top, links[0].top);
    EXPECT_LE(ink.bottom, links[0].bottom);
    int blue = 0;
    for (int y = ink.top; y < ink.bottom; ++y) {
        for (int x = ink.left; x < ink.right; ++x) {
            DWORD p = surface.Pixel(x, y);
            if (surface.IsInk(x, y)) blue += (TextTest::Blue(p) == 0xFF && TextTest::Red(p) < 0x40) ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 5);

    // With the mouse over the second link, the next paint shows it in the hover colour.
    m_manager.SetMouse({(links[1].left + links[1].right) / 2, (links[1].top + links[1].bottom) / 2});
    Surface hover(300, 40);
    count = 2;
    DrawMarkedText(hover.DC(), &m_manager, rect, text, 0, links, texts, &count, 0, DT_SINGLELINE);
    DWORD hoverColor = m_manager.GetLinkHoverColor() & 0xFFFFFF;
    bool found = false;
    for (int y = links[1].top; y < links[1].bottom; ++y) {
        for (int x = links[1].left; x < links[1].right; ++x) found |= (hover.Pixel(x, y) & 0xFFFFFF) == hoverColor;
    }
    EXPECT_TRUE(found);

    // Fewer links than before: the slots left over are cleared.
    count = 2;
    DrawMarkedText(hover.DC(), &m_manager, rect, L"<a only>one</a>", 0, links, texts, &count, 0, DT_SINGLELINE);
    EXPECT_EQ(1, count);
    EXPECT_TRUE(IsRectEmpty(&links[1]));
    EXPECT_TRUE(texts[1].IsEmpty());
}

TEST_F(MarkedText, SelectionAndImages)
{
    Surface surface(200, 40);
    Draw(surface, L"ab<s>cd</s>ef", {0, 0, 200, 40});
    DWORD selection = m_manager.GetSelectionColor() & 0xFFFFFF;
    int selected = 0;
    for (DWORD p : surface.Pixels()) selected += (p & 0xFFFFFF) == selection ? 1 : 0;
    EXPECT_GT(selected, 20);

    // An image cut into four columns: the second column is drawn inline.
    BYTE* bits = nullptr;
    HBITMAP bitmap = CreateArgbSurface(surface.DC(), 40, 10, &bits);
    ASSERT_NE(nullptr, bitmap);
    for (int i = 0; i < 40 * 10; ++i) {
        int column = (i % 40) / 10;
        DWORD colors[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
        reinterpret_cast<DWORD*>(bits)[i] = colors[column];
    }
    ASSERT_NE(nullptr, m_manager.AddImage(L"strip", bitmap, 40, 10, false));
    Surface image(100, 40);
    Draw(image, L"<i strip 4 1>", {20, 5, 100, 40});
    EXPECT_EQ(0x00FF00u, image.Pixel(20, 5 + Height(L"a") - 10) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, image.Pixel(29, 5 + Height(L"a") - 1) & 0xFFFFFF);
    EXPECT_EQ(0xFFFFFFu, image.Pixel(30, 5 + Height(L"a") - 1) & 0xFFFFFF);
    Surface missing(100, 40);
    Draw(missing, L"<i nowhere.png>", {0, 0, 100, 40});
    EXPECT_EQ(0, missing.InkInside({0, 0, 100, 40}));
}

TEST_F(MarkedText, InkStaysInsideAndAligns)
{
    struct Case {
        const wchar_t* text;
        RECT rect;
        UINT format;
    } cases[] = {
        {L"The <b>quick</b> brown fox jumps over the lazy dog", {20, 10, 120, 50}, DT_WORDBREAK},
        {L"The <b>quick</b> brown fox jumps over", {20, 10, 120, 50}, DT_SINGLELINE | DT_END_ELLIPSIS},
        {L"<f 1>Big</f> text that overflows", {30, 20, 90, 40}, DT_SINGLELINE},
        {L"W", {40, 20, 43, 70}, DT_WORDBREAK},   // narrower than the letter
    };
    for (const Case& c : cases) {
        Surface surface(200, 80);
        Draw(surface, c.text, c.rect, c.format);
        EXPECT_GT(surface.InkInside(c.rect), 0) << TestSupport::ToUtf8(c.text);
        EXPECT_EQ(0, surface.InkOutside(c.rect)) << TestSupport::ToUtf8(c.text);
    }
    RECT ellipsis = Measure(L"The quick brown fox jumps over", DT_SINGLELINE | DT_END_ELLIPSIS, {0, 0, 100, 30});
    EXPECT_LE(ellipsis.right, 100);

    Surface centred(200, 80);
    RECT rect = {0, 0, 200, 80};
    Draw(centred, L"<b>Mid</b>dle", rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT ink = centred.InkBounds();
    EXPECT_NEAR(100, (ink.left + ink.right) / 2, 4);
    EXPECT_NEAR(40, (ink.top + ink.bottom) / 2, 6);
}

TEST_F(MarkedText, LeavesTheDeviceContextAsItWas)
{
    Surface surface(100, 30);
    HFONT font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    SelectObject(surface.DC(), font);
    SetTextColor(surface.DC(), RGB(1, 2, 3));
    SetBkMode(surface.DC(), OPAQUE);
    Draw(surface, L"<b>a</b><c #FF0000><s>b</s></c><f 1>c", {0, 0, 50, 30});
    EXPECT_EQ(font, GetCurrentObject(surface.DC(), OBJ_FONT));
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(surface.DC()));
    EXPECT_EQ(OPAQUE, GetBkMode(surface.DC()));
    // The clip is gone again: drawing right of the rectangle still works.
    RECT right = {60, 0, 100, 30};
    DrawMarkedText(surface.DC(), &m_manager, right, L"x", 0xFF000000, nullptr, nullptr, nullptr, 0, 0);
    EXPECT_GT(surface.InkInside(right), 0);
}

TEST_F(MarkedText, VariantFontsAreAddedOnce)
{
    // Bold, italic, underlined and described fonts go into the manager's table the
    // first time and are found there afterwards; repeated paints add nothing.
    auto added = [&]() {
        int count = 0;
        for (int id = 0x10000; id < 0x10000 + 64; ++id) count += m_manager.GetFont(id) != m_manager.GetFont(-1) ? 1 : 0;
        return count;
    };
    Surface surface(200, 40);
    const wchar_t* text = L"<b>bold</b> <i>it</i> <u>u</u> <f Arial 21 bold>face</f> <a x>link</a> <b><i>bi</i></b>";
    Draw(surface, text, {0, 0, 200, 40});
    int first = added();
    EXPECT_EQ(5, first);   // bold, italic, underline, the described face, bold italic
    for (int i = 0; i < 200; ++i) Draw(surface, text, {0, 0, 200, 40});
    EXPECT_EQ(first, added());
}

} // namespace
