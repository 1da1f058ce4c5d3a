#include <gtest/gtest.h>

#include "ManagerTestUtil.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;
using ManagerTest::IsLiveGdiObject;
using ManagerTest::LogFontOf;

namespace {
class FontTable : public ::testing::Test {
protected:
    void TearDown() override { ManagerTest::ResetShared(); }
};
} // namespace

TEST_F(FontTable, AddingAnIdAgainReplacesAndDeletesTheOldFont)
{
    CPaintManagerUI manager;
    HFONT first = manager.AddFont(3, L"Tahoma", 12, false, false, false);
    ASSERT_NE(nullptr, first);
    HFONT second = manager.AddFont(3, L"Tahoma", 14, true, false, false);
    ASSERT_NE(nullptr, second);
    EXPECT_FALSE(IsLiveGdiObject(first));
    EXPECT_EQ(second, manager.GetFont(3));
    EXPECT_EQ(3, manager.GetFontId(second));
    EXPECT_EQ(-1, manager.GetFontId(first));
    UiFontInfo* info = manager.GetFontInfo(3);
    EXPECT_EQ(14, info->size);
    EXPECT_TRUE(info->bold);
    EXPECT_GT(info->metrics.tmHeight, 0);  // filled on lookup, no window needed
}

TEST_F(FontTable, UnknownAndNegativeIdsGiveTheDefaultFont)
{
    // Every manager's birth rebuilds the shared fonts at its scale: both exist first.
    CPaintManagerUI manager, other;
    manager.AddFont(1, L"Tahoma", 12, false, false, false);
    HFONT fallback = manager.GetDefaultFontInfo()->font;
    ASSERT_NE(nullptr, fallback);
    EXPECT_EQ(fallback, manager.GetFont(-1));
    EXPECT_EQ(fallback, manager.GetFont(99));
    EXPECT_EQ(manager.GetDefaultFontInfo(), manager.GetFontInfo(-7));

    // A window's own default font wins over the shared one, and only in that window.
    manager.SetDefaultFont(L"Tahoma", 20, false, false, false);
    EXPECT_NE(fallback, manager.GetFont(99));
    EXPECT_EQ(-20, LogFontOf(manager.GetFont(99)).lfHeight);
    EXPECT_EQ(fallback, other.GetFont(99));
    // An empty face still gives the window a default font of its own.
    other.SetDefaultFont(L"", 30, false, false, false);
    EXPECT_EQ(-30, LogFontOf(other.GetFont(-1)).lfHeight);
}

TEST_F(FontTable, WindowTableFirstThenSharedThenDefault)
{
    CPaintManagerUI first, second;
    HFONT shared = first.AddFont(7, L"Tahoma", 11, false, true, false, true);
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(shared, second.GetFont(7));
    EXPECT_EQ(-1, second.GetFontId(shared));       // searches the window's scope only
    EXPECT_EQ(7, second.GetFontId(shared, true));
    HFONT own = second.AddFont(7, L"Tahoma", 15, false, false, false);
    EXPECT_EQ(own, second.GetFont(7));
    EXPECT_EQ(shared, first.GetFont(7));
    EXPECT_TRUE(IsLiveGdiObject(shared));         // a window's add never touches the shared table

    // A window that uses shared resources adds to the shared table.
    CPaintManagerUI third;
    third.SetUseSharedResources(true);
    HFONT viaShared = third.AddFont(8, L"Tahoma", 9, false, false, false);
    EXPECT_EQ(viaShared, first.GetFont(8));
}

TEST_F(FontTable, LookupByAttributesAndDetails)
{
    CPaintManagerUI manager;
    HFONT plain = manager.AddFont(1, L"Tahoma", 12, false, false, false);
    HFONT bold = manager.AddFont(2, L"Tahoma", 12, true, false, false);
    HFONT shared = manager.AddFont(3, L"Arial", 12, false, false, true, true);
    struct Case { const wchar_t* face; bool bold; bool italic; HFONT expect; } cases[] = {
        {L"Tahoma", false, false, plain},
        {L"Tahoma", true, false, bold},
        {L"Arial", false, true, shared},
        {L"tahoma", false, false, nullptr},  // the face compares exactly
        {L"Arial", false, false, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expect, manager.GetFont(c.face, 12, c.bold, false, c.italic)) << c.face;
    EXPECT_EQ(2, manager.GetFontId(L"Tahoma", 12, true, false, false));
    EXPECT_EQ(-1, manager.GetFontId(L"Arial", 12, false, false, true));
    EXPECT_EQ(3, manager.GetFontId(L"Arial", 12, false, false, true, true));

    UiFontInfo* details = manager.GetFontDetails(shared);
    ASSERT_NE(nullptr, details);
    EXPECT_TRUE(details->italic);
    EXPECT_GT(details->metrics.tmHeight, 0);
    EXPECT_EQ(nullptr, manager.GetFontDetails(reinterpret_cast<HFONT>(GetStockObject(SYSTEM_FONT))));

    manager.RemoveFont(bold);
    EXPECT_FALSE(IsLiveGdiObject(bold));
    EXPECT_EQ(manager.GetDefaultFontInfo()->font, manager.GetFont(2));
    manager.RemoveFont(shared);                   // not in the window's scope: stays
    EXPECT_TRUE(IsLiveGdiObject(shared));
    manager.RemoveAllFonts(true);
    EXPECT_FALSE(IsLiveGdiObject(shared));
}

TEST_F(FontTable, FontsFollowTheDpiScale)
{
    ManagerTest::GlobalDpi scope(144);
    CPaintManagerUI manager;
    HFONT before = manager.AddFont(1, L"Tahoma", 12, true, true, false);
    LOGFONTW lf = LogFontOf(before);
    EXPECT_EQ(-18, lf.lfHeight);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_STREQ(L"Tahoma", lf.lfFaceName);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);

    HFONT shared = manager.AddFont(2, L"Tahoma", 10, false, false, false, true);
    manager.SetDpi(192);
    HFONT after = manager.GetFont(1);
    EXPECT_NE(before, after);
    EXPECT_FALSE(IsLiveGdiObject(before));
    lf = LogFontOf(after);
    EXPECT_EQ(-24, lf.lfHeight);
    EXPECT_EQ(FW_BOLD, lf.lfWeight);  // a rebuilt bold font weighs what it did
    EXPECT_EQ(CLEARTYPE_QUALITY, lf.lfQuality);
    EXPECT_FALSE(IsLiveGdiObject(shared));
    EXPECT_EQ(-20, LogFontOf(manager.GetFont(2)).lfHeight);
    EXPECT_EQ(12, manager.GetFontInfo(1)->size);  // skin units are kept as written
}

TEST_F(FontTable, FaceNamesAreCutToWhatLogfontHolds)
{
    CPaintManagerUI manager;
    const wchar_t* longFace = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop";
    HFONT font = manager.AddFont(1, longFace, 12, false, false, false);
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(LF_FACESIZE - 1, manager.GetFontInfo(1)->face.GetLength());
    EXPECT_EQ(LF_FACESIZE - 1, static_cast<int>(wcslen(LogFontOf(font).lfFaceName)));
}

TEST_F(FontTable, RegisterFontFileTakesRealFontsOnly)
{
    CPaintManagerUI manager;
    ManagerTest::SkinFolder skin;
    ASSERT_TRUE(skin.Write(L"notafont.ttf", std::string(4096, 'x')));
    EXPECT_FALSE(manager.RegisterFontFile(L"notafont.ttf"));
    EXPECT_FALSE(manager.RegisterFontFile(L"missing.ttf"));
    EXPECT_FALSE(manager.RegisterFontFile(L""));
    std::string font;
    if (!TestSupport::ReadFileBytes(TestSupport::FromHostPath("/usr/share/wine/fonts/tahoma.ttf"), &font))
        GTEST_SKIP() << "no TrueType font to register";
    ASSERT_TRUE(skin.Write(L"skin.ttf", font));
    EXPECT_TRUE(manager.RegisterFontFile(L"skin.ttf"));        // through the skin folder
    EXPECT_TRUE(manager.RegisterFontFile(skin.PathOf(L"skin.ttf").c_str()));  // a plain path
}
