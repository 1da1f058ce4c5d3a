#include <gtest/gtest.h>

#include "ManagerTestUtil.h"
#include "ui/core/UiPaintManager.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiImageSpec.h"

using namespace SkinUI;
using ManagerTest::IsLiveGdiObject;
using ManagerTest::MakePng;

namespace {

// The file-image overload (a null type would also fit the bitmap one).
const wchar_t* const NO_TYPE = nullptr;

class ImageTable : public ::testing::Test {
protected:
    void TearDown() override { ManagerTest::ResetShared(); }
};

DWORD PixelOf(const UiImageInfo* image, int x, int y)
{
    return reinterpret_cast<const DWORD*>(image->bits)[y * image->width + x];
}

HBITMAP MakeBitmap(int width, int height)
{
    BYTE* bits = nullptr;
    return CreateArgbSurface(nullptr, width, height, &bits);
}

} // namespace

TEST_F(ImageTable, ResourceImagesAreNamedByNumber)
{
    CPaintManagerUI manager;
    struct Case { const wchar_t* name; const wchar_t* type; bool loads; } cases[] = {
        {L"101", L"PNG", true},
        {L"btn.png", L"PNG", false},  // a resource type wants a number
        {L"x101", L"PNG", false},
        {L"102", L"PNG", false},       // no such resource
        {L"101", L"GIF", false},
        {L"", nullptr, false},
        {L"", L"PNG", false},
    };
    for (const Case& c : cases) {
        UiImageInfo* image = manager.AddImage(c.name, c.type);
        EXPECT_EQ(c.loads, image != nullptr) << c.name;
        if (image) {
            EXPECT_EQ(4, image->width);
            EXPECT_EQ(3, image->height);
            EXPECT_STREQ(L"PNG", image->resourceType.GetData());
            EXPECT_EQ(0xFF00FF00u, PixelOf(image, 3, 2));
            EXPECT_EQ(image, manager.GetImage(c.name));
        }
    }
    EXPECT_EQ(nullptr, manager.GetImage(L"btn.png"));
}

TEST_F(ImageTable, FileImagesReplaceAndFallBackToShared)
{
    ManagerTest::SkinFolder skin;
    ASSERT_TRUE(skin.Write(L"a.png", MakePng(2, 2, 0xFF0000FF)));
    ASSERT_TRUE(skin.Write(L"b.png", MakePng(3, 3, 0x80FF0000)));
    CPaintManagerUI first, second;

    UiImageInfo* shared = first.AddImage(L"a.png", NO_TYPE, 0, false, true);
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(shared, second.GetImage(L"a.png"));
    EXPECT_EQ(shared, second.GetImageEx(L"a.png"));
    UiImageInfo* own = second.GetImageEx(L"b.png");   // loaded into the window's table
    ASSERT_NE(nullptr, own);
    EXPECT_TRUE(own->hasAlpha);
    EXPECT_EQ(0x80800000u, PixelOf(own, 0, 0));        // premultiplied
    EXPECT_EQ(nullptr, first.GetImage(L"b.png"));

    HBITMAP oldBitmap = own->bitmap;
    UiImageInfo* again = second.AddImage(L"b.png", NO_TYPE, 0xFF000000);
    ASSERT_NE(nullptr, again);
    EXPECT_FALSE(IsLiveGdiObject(oldBitmap));
    EXPECT_EQ(0xFF000000u, again->mask);
    EXPECT_EQ(again, second.GetImage(L"b.png"));

    second.RemoveImage(L"a.png");                     // not the window's: stays shared
    EXPECT_EQ(shared, second.GetImage(L"a.png"));
    HBITMAP sharedBitmap = shared->bitmap;
    second.RemoveImage(L"a.png", true);
    EXPECT_FALSE(IsLiveGdiObject(sharedBitmap));
    EXPECT_EQ(nullptr, first.GetImage(L"a.png"));
    EXPECT_EQ(nullptr, second.GetImageEx(L"missing.png"));
}

TEST_F(ImageTable, BitmapsMadeInCode)
{
    CPaintManagerUI manager;
    HBITMAP bitmap = MakeBitmap(5, 4);
    struct Case { const wchar_t* name; HBITMAP bitmap; int width; int height; } refused[] = {
        {L"", bitmap, 5, 4}, {nullptr, bitmap, 5, 4}, {L"x", nullptr, 5, 4},
        {L"x", bitmap, 0, 4}, {L"x", bitmap, 5, -1},
    };
    for (const Case& c : refused)
        EXPECT_EQ(nullptr, manager.AddImage(c.name, c.bitmap, c.width, c.height, true));
    UiImageInfo* image = manager.AddImage(L"x", bitmap, 5, 4, true);
    ASSERT_NE(nullptr, image);
    EXPECT_NE(nullptr, image->bits);
    HBITMAP replacement = MakeBitmap(2, 2);
    manager.AddImage(L"x", replacement, 2, 2, false);
    EXPECT_FALSE(IsLiveGdiObject(bitmap));
    EXPECT_TRUE(IsLiveGdiObject(replacement));
    manager.RemoveAllImages();
    EXPECT_FALSE(IsLiveGdiObject(replacement));
}

TEST_F(ImageTable, ReloadKeepsRecordsAndDropsWhatNoLongerLoads)
{
    ManagerTest::SkinFolder skin;
    ASSERT_TRUE(skin.Write(L"keep.png", MakePng(2, 2, 0xFF0000FF)));
    ASSERT_TRUE(skin.Write(L"gone.png", MakePng(2, 2, 0xFF0000FF)));
    CPaintManagerUI manager;
    UiImageInfo* keep = manager.AddImage(L"keep.png");
    ASSERT_NE(nullptr, manager.AddImage(L"gone.png"));
    UiImageInfo* made = manager.AddImage(L"made", MakeBitmap(1, 1), 1, 1, false);
    ASSERT_NE(nullptr, keep);

    ASSERT_TRUE(skin.Write(L"keep.png", MakePng(6, 5, 0xFFFF0000)));
    DeleteFileW(skin.PathOf(L"gone.png").c_str());
    manager.ReloadImages();
    EXPECT_EQ(keep, manager.GetImage(L"keep.png"));
    EXPECT_EQ(6, keep->width);
    EXPECT_EQ(0xFFFF0000u, PixelOf(keep, 5, 4));
    EXPECT_EQ(nullptr, manager.GetImage(L"gone.png"));
    EXPECT_EQ(made, manager.GetImage(L"made"));

    UiImageInfo* shared = manager.AddImage(L"gone2.png", NO_TYPE, 0, false, true);
    EXPECT_EQ(nullptr, shared);
    ASSERT_TRUE(skin.Write(L"s.png", MakePng(1, 1, 0xFF00FF00)));
    shared = manager.AddImage(L"s.png", NO_TYPE, 0, false, true);
    ASSERT_TRUE(skin.Write(L"s.png", MakePng(3, 1, 0xFF00FF00)));
    CPaintManagerUI::ReloadAllImages();
    EXPECT_EQ(3, shared->width);
    EXPECT_EQ(keep, manager.GetImage(L"keep.png"));
}

TEST_F(ImageTable, ColorAdjustmentShiftsOnlyImagesThatAskAndRestoresThem)
{
    ManagerTest::SkinFolder skin;
    ASSERT_TRUE(skin.Write(L"red.png", MakePng(2, 1, 0xFFFF0000)));
    ASSERT_TRUE(skin.Write(L"soft.png", MakePng(1, 1, 0x80FF8000)));
    CPaintManagerUI manager;
    UiImageInfo* adjusted = manager.AddImage(L"red.png", NO_TYPE, 0, true);
    UiImageInfo* soft = manager.AddImage(L"soft.png", NO_TYPE, 0, true, true);
    UiImageInfo* plain = manager.AddImage(L"plain", NO_TYPE, 0, false);  // no such file
    EXPECT_EQ(nullptr, plain);
    ASSERT_TRUE(skin.Write(L"plain.png", MakePng(1, 1, 0xFFFF0000)));
    plain = manager.AddImage(L"plain.png");
    ASSERT_TRUE(adjusted && soft && plain);
    const DWORD softBefore = PixelOf(soft, 0, 0);

    // Saturation 0 turns pure red grey; neutral hue and lightness.
    CPaintManagerUI::SetColorAdjustment(true, 180, 0, 100);
    EXPECT_TRUE(CPaintManagerUI::IsColorAdjustmentOn());
    DWORD grey = PixelOf(adjusted, 1, 0);
    EXPECT_EQ(0xFFu, grey >> 24);
    EXPECT_EQ((grey >> 16) & 0xFF, grey & 0xFF);
    EXPECT_EQ((grey >> 8) & 0xFF, grey & 0xFF);
    EXPECT_EQ(0xFFFF0000u, PixelOf(plain, 0, 0));

    // Doubling lightness keeps a translucent pixel premultiplied: no channel above alpha.
    CPaintManagerUI::SetColorAdjustment(true, 180, 100, 200);
    DWORD bright = PixelOf(soft, 0, 0);
    for (int shift = 0; shift < 24; shift += 8) EXPECT_LE((bright >> shift) & 0xFF, bright >> 24);

    // Out-of-range values are cut; unchanged values change nothing.
    CPaintManagerUI::SetColorAdjustment(true, 999, -4, 300);
    short hue, saturation, lightness;
    CPaintManagerUI::GetColorAdjustment(&hue, &saturation, &lightness);
    EXPECT_EQ(360, hue);
    EXPECT_EQ(0, saturation);
    EXPECT_EQ(200, lightness);

    // Off with the same values still gives the images their own colours back.
    CPaintManagerUI::SetColorAdjustment(false, 360, 0, 200);
    EXPECT_FALSE(CPaintManagerUI::IsColorAdjustmentOn());
    EXPECT_EQ(0xFFFF0000u, PixelOf(adjusted, 1, 0));
    EXPECT_EQ(softBefore, PixelOf(soft, 0, 0));

    // Images loaded while the adjustment is on arrive adjusted.
    CPaintManagerUI::SetColorAdjustment(true, 180, 0, 100);
    UiImageInfo* late = manager.AddImage(L"red.png", NO_TYPE, 0, true);
    EXPECT_EQ(grey, PixelOf(late, 0, 0));
}

TEST_F(ImageTable, ParsedDescriptionsAreCachedPerKey)
{
    CPaintManagerUI manager;
    const UiImageSpec* spec = manager.GetImageSpec(L"file='a.png' corner='1,2,3,4'");
    ASSERT_NE(nullptr, spec);
    EXPECT_EQ(spec, manager.GetImageSpec(L"file='a.png' corner='1,2,3,4'"));
    EXPECT_STREQ(L"a.png", spec->name.GetData());
    EXPECT_EQ(3, spec->corner.right);
    const UiImageSpec* modified = manager.GetImageSpec(L"file='a.png' corner='1,2,3,4'", L" fade='10'");
    ASSERT_NE(nullptr, modified);
    EXPECT_NE(spec, modified);
    EXPECT_EQ(10, modified->fade);
    EXPECT_EQ(nullptr, manager.GetImageSpec(L""));
    EXPECT_EQ(nullptr, manager.GetImageSpec(nullptr, L""));
    EXPECT_NE(nullptr, manager.GetImageSpec(nullptr, L"x.png"));
}

TEST_F(ImageTable, DpiChangeReleasesLoadedImagesButNotBitmapsMadeInCode)
{
    ManagerTest::SkinFolder skin;
    ASSERT_TRUE(skin.Write(L"a.png", MakePng(2, 2, 0xFF0000FF)));
    CPaintManagerUI manager;
    ASSERT_NE(nullptr, manager.AddImage(L"a.png"));
    UiImageInfo* made = manager.AddImage(L"made", MakeBitmap(1, 1), 1, 1, false);
    const UiImageSpec* spec = manager.GetImageSpec(L"a.png");
    ASSERT_NE(nullptr, spec);
    manager.SetDpi(144);
    EXPECT_EQ(nullptr, manager.GetImage(L"a.png"));
    EXPECT_EQ(made, manager.GetImage(L"made"));
    EXPECT_NE(nullptr, manager.GetImageEx(L"a.png"));   // loaded again on demand
    EXPECT_NE(nullptr, manager.GetImageSpec(L"a.png"));
}

TEST_F(ImageTable, HighDpiVariantsArePickedByScale)
{
    ManagerTest::SkinFolder skin;
    CreateDirectoryW(skin.PathOf(L"dir.v2").c_str(), nullptr);
    ASSERT_TRUE(skin.Write(L"btn.png", MakePng(10, 10, 0xFF0000FF)));
    ASSERT_TRUE(skin.Write(L"btn@2x.png", MakePng(20, 20, 0xFF0000FF)));
    ASSERT_TRUE(skin.Write(L"tab.png", MakePng(10, 10, 0xFF0000FF)));
    ASSERT_TRUE(skin.Write(L"tab@1.25x.png", MakePng(13, 13, 0xFF0000FF)));
    ASSERT_TRUE(skin.Write(L"dir.v2\\ok.png", MakePng(10, 10, 0xFF0000FF)));
    ASSERT_TRUE(skin.Write(L"dir.v2\\ok@2x.png", MakePng(20, 20, 0xFF0000FF)));
    struct Case { int dpi; const wchar_t* file; const wchar_t* name; double scale; int width; } cases[] = {
        {192, L"btn.png", L"btn@2x.png", 2.0, 20},
        {96, L"btn.png", L"btn.png", 1.0, 10},
        {144, L"btn.png", L"btn.png", 1.0, 10},         // only 1.5 and 1.25 are tried
        {144, L"tab.png", L"tab@1.25x.png", 1.25, 13},
        {192, L"tab.png", L"tab@1.25x.png", 1.25, 13},  // 2, 1.75, 1.5, then 1.25
        {192, L"dir.v2\\ok.png", L"dir.v2\\ok@2x.png", 2.0, 20},
    };
    for (const Case& c : cases) {
        ManagerTest::GlobalDpi scope(c.dpi);
        CPaintManagerUI manager;
        CUiString description;
        description.Format(L"file='%s' source='0,0,10,10'", c.file);
        const UiImageSpec* spec = manager.GetImageSpec(description);
        ASSERT_NE(nullptr, spec);
        EXPECT_STREQ(c.name, spec->name.GetData()) << c.dpi << " " << c.file;
        EXPECT_DOUBLE_EQ(c.scale, spec->imageScale) << c.dpi << " " << c.file;
        UiImageInfo* image = manager.GetImageEx(spec->name);
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(c.width, image->width);
    }
}
