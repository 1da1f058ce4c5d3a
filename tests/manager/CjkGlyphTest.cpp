// Chinese text must come out as real glyphs: the skin's face 微软雅黑 reaches a CJK
// font through the Wine font mapping, for GDI and GDI+ alike.
#include <gtest/gtest.h>

#include <vector>

#include "ManagerTestUtil.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiText.h"

using namespace SkinUI;

namespace {

struct Ink {
    int dark = 0;       // pixels clearly drawn
    int outside = 0;    // drawn pixels outside the text rectangle
};

Ink Measure(const ManagerTest::Canvas& canvas, const RECT& rect)
{
    Ink ink;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            uint32_t p = canvas.Pixel(x, y) & 0xFFFFFF;
            bool drawn = ((p >> 16) & 0xFF) < 0x80 && ((p >> 8) & 0xFF) < 0x80 && (p & 0xFF) < 0x80;
            if (!drawn) continue;
            bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            (inside ? ink.dark : ink.outside)++;
        }
    return ink;
}

std::vector<uint32_t> Draw(CPaintManagerUI& manager, const wchar_t* text, bool gdiplus)
{
    ManagerTest::Canvas canvas(160, 40);
    canvas.Clear(0xFFFFFFFF);
    manager.SetUseGdiplusText(gdiplus);
    RECT rect = {4, 4, 156, 36};
    DrawPlainText(canvas.Dc(), &manager, rect, text, 0xFF000000, 1, DT_SINGLELINE | DT_VCENTER);
    GdiFlush();
    Ink ink = Measure(canvas, RECT{4, 4, 156, 36});
    EXPECT_GT(ink.dark, 40) << (gdiplus ? "GDI+" : "GDI");
    EXPECT_EQ(0, ink.outside) << (gdiplus ? "GDI+" : "GDI");
    return std::vector<uint32_t>(canvas.Bits(), canvas.Bits() + canvas.Width() * canvas.Height());
}

} // namespace

TEST(CjkGlyphs, SkinFaceHasTheGlyphs)
{
    CPaintManagerUI manager;
    HFONT font = manager.AddFont(1, L"微软雅黑", 16, false, false, false);
    ASSERT_NE(nullptr, font);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    const wchar_t text[] = L"安装软件视频转换";
    WORD glyphs[8] = {};
    DWORD mapped = GetGlyphIndicesW(dc, text, 8, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_EQ(8u, mapped);
    for (int i = 0; i < 8; ++i) EXPECT_NE(0xFFFF, glyphs[i]) << "no glyph for character " << i;
    EXPECT_NE(glyphs[0], glyphs[1]);
}

TEST(CjkGlyphs, DifferentChineseTextsGiveDifferentPixels)
{
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddFont(1, L"微软雅黑", 16, false, false, false));
    for (bool gdiplus : {false, true}) {
        std::vector<uint32_t> first = Draw(manager, L"安装向导", gdiplus);
        std::vector<uint32_t> second = Draw(manager, L"视频转换", gdiplus);
        std::vector<uint32_t> again = Draw(manager, L"安装向导", gdiplus);
        // Boxes for missing glyphs would look alike for any two strings.
        EXPECT_NE(first, second) << (gdiplus ? "GDI+" : "GDI");
        EXPECT_EQ(first, again) << (gdiplus ? "GDI+" : "GDI");
    }
}
