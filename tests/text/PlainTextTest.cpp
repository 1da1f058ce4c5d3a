// Plain text through GDI and GDI+, checked by where ink lands rather than by
// golden images: fonts differ between machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TextPixels.h"
#include "support/TestSupport.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiText.h"

using namespace SkinUI;
using TextTest::Surface;

namespace {

const wchar_t kLong[] = L"The quick brown fox jumps over the lazy dog and keeps on running";

class PlainText : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        m_manager.SetUseGdiplusText(GetParam());
        ASSERT_NE(nullptr, m_manager.AddFont(0, L"Arial", 16, false, false, false));
    }

    RECT Measure(const wchar_t* text, RECT rect, UINT format)
    {
        Surface surface(8, 8);
        DrawPlainText(surface.DC(), &m_manager, rect, text, 0xFF000000, 0, format | DT_CALCRECT);
        return rect;
    }

    CPaintManagerUI m_manager;
};

INSTANTIATE_TEST_SUITE_P(Paths, PlainText, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Gdiplus" : "Gdi";
                         });

TEST_P(PlainText, InkStaysInsideTheRectangle)
{
    struct Case {
        const wchar_t* text;
        RECT rect;
        UINT format;
    } cases[] = {
        {L"Hello, world", {20, 20, 180, 50}, DT_SINGLELINE | DT_VCENTER},
        {L"Hello, world", {20, 20, 180, 50}, DT_SINGLELINE | DT_CENTER | DT_BOTTOM},
        {kLong, {20, 10, 120, 70}, DT_WORDBREAK},
        {kLong, {20, 20, 100, 45}, DT_SINGLELINE | DT_END_ELLIPSIS},
        {kLong, {30, 20, 90, 40}, DT_SINGLELINE},
    };
    for (const Case& c : cases) {
        Surface surface(200, 80);
        RECT rect = c.rect;
        DrawPlainText(surface.DC(), &m_manager, rect, c.text, 0xFF000000, 0, c.format);
        EXPECT_GT(surface.InkInside(c.rect), 20) << TestSupport::ToUtf8(c.text) << " " << c.format;
        EXPECT_EQ(0, surface.InkOutside(c.rect)) << TestSupport::ToUtf8(c.text) << " " << c.format;
    }
}

TEST_P(PlainText, CalculateGrowsWithTheText)
{
    RECT wide = {10, 20, 510, 320};
    RECT one = Measure(L"ab", wide, DT_SINGLELINE);
    RECT four = Measure(L"abababab", wide, DT_SINGLELINE);
    EXPECT_EQ(10, one.left);
    EXPECT_EQ(20, one.top);
    EXPECT_GT(one.right - one.left, 5);
    EXPECT_GT(four.right - one.right, 3 * (one.right - one.left) / 2);
    EXPECT_EQ(one.bottom, four.bottom);

    RECT narrow = {10, 20, 90, 320};
    RECT wrapped = Measure(kLong, narrow, DT_WORDBREAK);
    EXPECT_GE(wrapped.bottom - wrapped.top, 4 * (one.bottom - one.top) - 2);
    EXPECT_LE(wrapped.right, narrow.right + 1);
}

TEST_P(PlainText, AlignmentMovesTheInk)
{
    const RECT rect = {10, 10, 190, 70};
    struct Case {
        UINT format;
        bool right;
        bool bottom;
    } cases[] = {
        {DT_SINGLELINE, false, false},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, true, true},
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, false, false},
    };
    for (const Case& c : cases) {
        Surface surface(200, 80);
        RECT r = rect;
        DrawPlainText(surface.DC(), &m_manager, r, L"Mid", 0xFF000000, 0, c.format);
        RECT ink = surface.InkBounds();
        ASSERT_FALSE(IsRectEmpty(&ink)) << c.format;
        if (c.format & DT_CENTER) {
            EXPECT_NEAR((rect.left + rect.right) / 2, (ink.left + ink.right) / 2, 4);
            EXPECT_NEAR((rect.top + rect.bottom) / 2, (ink.top + ink.bottom) / 2, 5);
        } else {
            EXPECT_EQ(c.right, ink.left > 150) << c.format;
            EXPECT_EQ(c.bottom, ink.top > 40) << c.format;
        }
    }
}

TEST_P(PlainText, MissingPiecesDrawNothing)
{
    Surface surface(60, 30);
    RECT rect = {0, 0, 60, 30};
    DrawPlainText(surface.DC(), &m_manager, rect, nullptr, 0xFF000000, 0, DT_CALCRECT);
    DrawPlainText(surface.DC(), nullptr, rect, L"text", 0xFF000000, 0, DT_CALCRECT);
    DrawPlainText(surface.DC(), nullptr, rect, L"text", 0xFF000000, 0, 0);
    EXPECT_EQ(0, surface.InkInside(rect));
    EXPECT_EQ(60, rect.right);
    EXPECT_EQ(30, rect.bottom);
    // An unknown font index is the default font, not nothing.
    DrawPlainText(surface.DC(), &m_manager, rect, L"text", 0xFF000000, 77, 0);
    EXPECT_GT(surface.InkInside(rect), 0);
}

TEST(PlainTextGdi, HexEntityDrawsThatOneCharacter)
{
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(0, L"微软雅黑", 24, false, false, false));
    auto draw = [&](const wchar_t* text, UINT format) {
        Surface surface(80, 40);
        RECT rect = {0, 0, 80, 40};
        DrawPlainText(surface.DC(), &manager, rect, text, 0xFF000000, 0, format);
        return surface.Pixels();
    };
    std::vector<DWORD> direct = draw(L"\x4E2D", DT_SINGLELINE);
    EXPECT_EQ(direct, draw(L"&#x4E2D;", DT_SINGLELINE));
    EXPECT_EQ(direct, draw(L"x &#x4e2d y", DT_SINGLELINE));
    EXPECT_NE(direct, draw(L"&#x6587;", DT_SINGLELINE));
    // Without a readable value the text is drawn as it is.
    EXPECT_NE(direct, draw(L"&#xZZ;", DT_SINGLELINE));
}

TEST(PlainTextAmpersands, FollowEachPath)
{
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(0, L"Arial", 18, false, false, false));
    auto draw = [&](const wchar_t* text, UINT format) {
        Surface surface(120, 30);
        RECT rect = {0, 0, 120, 30};
        DrawPlainText(surface.DC(), &manager, rect, text, 0xFF000000, 0, format);
        return surface.Pixels();
    };
    auto width = [&](const wchar_t* text, UINT format) {
        Surface surface(8, 8);
        RECT rect = {0, 0, 500, 100};
        DrawPlainText(surface.DC(), &manager, rect, text, 0xFF000000, 0, format | DT_CALCRECT);
        return rect.right;
    };
    // GDI: prefix rules, unless DT_NOPREFIX.
    EXPECT_EQ(width(L"a&b", DT_SINGLELINE | DT_NOPREFIX), width(L"a&&b", DT_SINGLELINE));
    EXPECT_GT(width(L"a&&b", DT_SINGLELINE | DT_NOPREFIX), width(L"a&&b", DT_SINGLELINE));
    // GDI+: "&&" is one ampersand whatever the flags.
    manager.SetUseGdiplusText(true);
    EXPECT_EQ(draw(L"a&b", DT_SINGLELINE), draw(L"a&&b", DT_SINGLELINE));
    EXPECT_EQ(draw(L"a&b", DT_SINGLELINE), draw(L"a&&b", DT_SINGLELINE | DT_NOPREFIX));
    EXPECT_NE(draw(L"a&b", DT_SINGLELINE), draw(L"a&&&&b", DT_SINGLELINE));
}

TEST(PlainTextGdiplus, BrushAlphaIsFE)
{
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(0, L"Arial", 40, true, false, false));
    manager.SetUseGdiplusText(true);
    manager.SetGdiplusTextRenderingHint(1);   // single bit per pixel: covered pixels take the brush as it is
    Surface surface(120, 60, 0xFFFFFFFF);
    RECT rect = {0, 0, 120, 60};
    DrawPlainText(surface.DC(), &manager, rect, L"WM", 0xFF000000, 0, DT_SINGLELINE);
    // Black at alpha 0xFE over white leaves one step of the white: 255 - 254.
    int darkest = 255;
    for (DWORD p : surface.Pixels()) darkest = std::min<int>(darkest, TextTest::Red(p));
    EXPECT_EQ(1, darkest);
}

TEST(PlainTextGdiplus, EveryRenderingHintDraws)
{
    // Wine's GDI+ draws the same whatever the hint, so only this much is visible:
    // the manager's value, in range or not, never stops the text.
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(0, L"Arial", 20, false, false, false));
    manager.SetUseGdiplusText(true);
    for (int hint : {-1, 0, 1, 2, 3, 4, 5, 6, 1000}) {
        manager.SetGdiplusTextRenderingHint(hint);
        Surface surface(160, 40);
        RECT rect = {10, 5, 150, 35};
        DrawPlainText(surface.DC(), &manager, rect, L"Wavy slopes", 0xFF000000, 0, DT_SINGLELINE);
        EXPECT_GT(surface.InkInside(rect), 20) << hint;
        EXPECT_EQ(0, surface.InkOutside(rect)) << hint;
    }
}

TEST(PlainTextOnColour, FillsBehindTheText)
{
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(0, L"Arial", 16, false, false, false));
    Surface surface(100, 40);
    RECT rect = {10, 5, 90, 35};
    DrawPlainTextOnColour(surface.DC(), &manager, rect, L"abc", 0xFF000000, 0,
                          DT_SINGLELINE | DT_CENTER | DT_VCENTER, 0xFF00FF00);
    EXPECT_EQ(0x00FF00u, surface.Pixel(10, 5) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, surface.Pixel(89, 34) & 0xFFFFFF);
    EXPECT_EQ(0xFFFFFFu, surface.Pixel(9, 5) & 0xFFFFFF);
    EXPECT_EQ(0xFFFFFFu, surface.Pixel(90, 35) & 0xFFFFFF);
    int text = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) text += TextTest::Green(surface.Pixel(x, y)) < 0x80 ? 1 : 0;
    }
    EXPECT_GT(text, 10);
}

} // namespace
