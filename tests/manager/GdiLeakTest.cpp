// Thousands of font and image adds, replacements, removals, DPI rebuilds and draws
// must leave the process holding exactly the GDI objects it held before.
#include <gtest/gtest.h>

#include "ManagerTestUtil.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiColor.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiImageSpec.h"
#include "ui/render/UiText.h"

using namespace SkinUI;
using ManagerTest::MakePng;

namespace {

// The file-image overload (a null type would also fit the bitmap one).
const wchar_t* const kNoType = nullptr;

// GetGuiResources where the system keeps the count. Wine answers 0 there; its
// handle table takes a bare index (no generation in the high word) as a match for
// the live object in that slot, so the slots can be counted directly.
DWORD LiveGdiObjects()
{
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0) return count;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
    return count;
}

void Churn(CPaintManagerUI& manager, int round, ManagerTest::Canvas& canvas)
{
    // Fonts: replace, look up, remove, default font, shared fonts.
    manager.AddFont(1 + round % 3, L"Tahoma", 10 + round % 7, round & 1, false, round & 2);
    manager.AddFont(7, L"微软雅黑", 12, false, false, false, true);
    manager.SetDefaultFont(L"Tahoma", 11 + round % 2, round & 1, false, false);
    if (round % 5 == 0) manager.RemoveFont(manager.GetFont(1 + (round + 1) % 3));
    manager.GetFontDetails(manager.GetFont(7));

    // Images: file images replaced and removed, bitmaps made in code replaced.
    manager.AddImage(L"bg.png", kNoType, round % 2 ? 0xFFFF00FF : 0, round % 3 == 0);
    BYTE* bits = nullptr;
    manager.AddImage(L"made", CreateArgbSurface(nullptr, 8, 8, &bits), 8, 8, true);
    if (round % 7 == 0) manager.RemoveImage(L"bg.png");
    if (round % 11 == 0) manager.AddImage(L"shared.png", kNoType, 0, true, true);
    if (round % 13 == 0) manager.RemoveAllImages(true);
    if (round % 50 == 0) CPaintManagerUI::SetColorAdjustment(round % 100 == 0, 200, 80, 120);
    if (round % 97 == 0) manager.SetDpi(round % 2 ? 144 : 96);
    if (round % 89 == 0) manager.ReloadImages();

    // Drawing through both blend paths, plain and marked-up text.
    SetBlendPath(round & 1 ? UI_BLEND_SOFTWARE : UI_BLEND_SYSTEM);
    RECT item = {0, 0, 60, 40};
    PaintImageSpec(canvas.Dc(), &manager, item, item, L"file='bg.png' corner='3,3,3,3' fade='200'");
    PaintImageSpec(canvas.Dc(), &manager, item, item, L"file='bg.png' xtiled='true' hole='true'");
    FillColor(canvas.Dc(), item, 0x80102030);
    FillGradient(canvas.Dc(), item, 0x80FF0000, 0xFF0000FF, round & 1, 16);
    manager.SetUseGdiplusText(round % 4 == 0);
    RECT text = {0, 0, 60, 20};
    DrawPlainText(canvas.Dc(), &manager, text, L"Setup 安装", 0xFF000000, 1 + round % 3,
                  DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT marked = {0, 20, 60, 40};
    RECT links[2];
    CUiString linkTexts[2];
    int linkCount = 2;
    DrawMarkedText(canvas.Dc(), &manager, marked, L"{b}粗{/b} {c #FF0000FF}c{/c} {a x}link{/a}",
                   0xFF000000, links, linkTexts, &linkCount, 7, DT_WORDBREAK);
}

} // namespace

TEST(GdiLeak, FontsAndImagesReplacedThousandsOfTimesLeaveNoObjectBehind)
{
    ManagerTest::SkinFolder skin;
    ASSERT_TRUE(skin.Write(L"bg.png", MakePng(16, 16, 0xC0336699)));
    ASSERT_TRUE(skin.Write(L"shared.png", MakePng(4, 4, 0xFF00FF00)));
    ManagerTest::Canvas canvas(60, 40);
    {
        // One warm-up round creates what lives for the process (stock objects,
        // GDI+ and msimg32 state, font caches).
        CPaintManagerUI warm;
        Churn(warm, 0, canvas);
        Churn(warm, 1, canvas);
        warm.RemoveAllFonts(true);
        warm.RemoveAllImages(true);
    }
    const DWORD before = LiveGdiObjects();
    ASSERT_GT(before, 0u);
    {
        CPaintManagerUI manager;
        for (int round = 0; round < 2000; ++round) Churn(manager, round, canvas);
        // Reached through the loop: fonts, images and their replacements live.
        EXPECT_GT(LiveGdiObjects(), before);
        manager.RemoveAllFonts(true);
        manager.RemoveAllImages(true);
        CPaintManagerUI::SetColorAdjustment(false, 0, 0, 0);
    }
    SetBlendPath(UI_BLEND_AUTO);
    EXPECT_EQ(before, LiveGdiObjects());
}
