#include <gtest/gtest.h>

#include "ManagerTestUtil.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;

namespace {
class ResourceTable : public ::testing::Test {
protected:
    void TearDown() override { ManagerTest::ResetShared(); }
};
} // namespace

TEST_F(ResourceTable, SharedDefaultListServesWindowsWithoutTheirOwn)
{
    CPaintManagerUI first, second, third;
    first.SetDefaultAttributes(L"Default", L"font=\"1\"", true);
    third.SetDefaultAttributes(L"Default", L"font=\"2\"");
    EXPECT_STREQ(L"font=\"1\"", first.GetDefaultAttributes(L"Default"));
    EXPECT_STREQ(L"font=\"1\"", second.GetDefaultAttributes(L"Default"));
    EXPECT_STREQ(L"font=\"2\"", third.GetDefaultAttributes(L"Default"));
    EXPECT_EQ(nullptr, second.GetDefaultAttributes(L"default"));  // exact name
    second.SetDefaultAttributes(L"Default", L"font=\"3\"", true);  // a list is replaced
    EXPECT_STREQ(L"font=\"3\"", first.GetDefaultAttributes(L"Default"));
    EXPECT_TRUE(third.RemoveDefaultAttributes(L"Default"));
    EXPECT_STREQ(L"font=\"3\"", third.GetDefaultAttributes(L"Default"));
    EXPECT_FALSE(third.RemoveDefaultAttributes(L"Default"));
    third.RemoveAllDefaultAttributes(true);
    EXPECT_EQ(nullptr, first.GetDefaultAttributes(L"Default"));
}

TEST_F(ResourceTable, FirstStyleDefinitionWins)
{
    CPaintManagerUI manager, other;
    manager.AddStyle(L"big", L"font=\"1\"");
    manager.AddStyle(L"big", L"font=\"2\"");
    EXPECT_STREQ(L"font=\"1\"", manager.GetStyle(L"big"));
    EXPECT_EQ(nullptr, other.GetStyle(L"big"));
    other.AddStyle(L"big", L"font=\"9\"", true);
    other.AddStyle(L"big", L"font=\"8\"", true);
    EXPECT_STREQ(L"font=\"9\"", other.GetStyle(L"big"));
    EXPECT_STREQ(L"font=\"1\"", manager.GetStyle(L"big"));  // the window's own first
    EXPECT_TRUE(manager.RemoveStyle(L"big"));
    EXPECT_STREQ(L"font=\"9\"", manager.GetStyle(L"big"));
    manager.RemoveAllStyles(true);
    EXPECT_EQ(nullptr, other.GetStyle(L"big"));
}

TEST_F(ResourceTable, SharedColourFollowsOnlyUntouchedWindows)
{
    CPaintManagerUI touched, untouched;
    const UiColors defaults;
    EXPECT_EQ(defaults.link, untouched.GetLinkColor());
    EXPECT_EQ(0xFFA7A6AAu, untouched.GetDisabledTextColor());
    EXPECT_EQ(0xFFD3215Fu, untouched.GetLinkHoverColor());
    EXPECT_EQ(0xFFBAE4FFu, untouched.GetSelectionColor());

    using Setter = void (CPaintManagerUI::*)(DWORD, bool);
    using Getter = DWORD (CPaintManagerUI::*)() const;
    struct Case { Setter set; Getter get; } cases[] = {
        {&CPaintManagerUI::SetDisabledTextColor, &CPaintManagerUI::GetDisabledTextColor},
        {&CPaintManagerUI::SetTextColor, &CPaintManagerUI::GetTextColor},
        {&CPaintManagerUI::SetLinkColor, &CPaintManagerUI::GetLinkColor},
        {&CPaintManagerUI::SetLinkHoverColor, &CPaintManagerUI::GetLinkHoverColor},
        {&CPaintManagerUI::SetSelectionColor, &CPaintManagerUI::GetSelectionColor},
    };
    for (const Case& c : cases) {
        (touched.*c.set)(0xFF112233, false);
        (untouched.*c.set)(0xFF445566, true);
        EXPECT_EQ(0xFF112233u, (touched.*c.get)());
        EXPECT_EQ(0xFF445566u, (untouched.*c.get)());
        CPaintManagerUI newcomer;  // starts from the shared colours
        EXPECT_EQ(0xFF445566u, (newcomer.*c.get)());
    }
    EXPECT_EQ(0xFF445566u, CPaintManagerUI::GetSharedColors().selection);
}

TEST_F(ResourceTable, ManagersListThemselvesForTheirLifetime)
{
    int before = CPaintManagerUI::GetManagers().GetSize();
    {
        CPaintManagerUI manager;
        EXPECT_EQ(before + 1, CPaintManagerUI::GetManagers().GetSize());
        EXPECT_GE(CPaintManagerUI::GetManagers().Find(&manager), 0);
    }
    EXPECT_EQ(before, CPaintManagerUI::GetManagers().GetSize());
    EXPECT_EQ(nullptr, CPaintManagerUI::FindManager(L"no such window"));
}

TEST_F(ResourceTable, ShutdownFreesSharedResourcesAndANewManagerStartsAfresh)
{
    HFONT font, defaultFont;
    {
        CPaintManagerUI manager;
        font = manager.AddFont(1, L"Tahoma", 12, false, false, false, true);
        manager.AddStyle(L"s", L"v", true);
        manager.SetLinkColor(0xFF010203, true);
        defaultFont = manager.GetDefaultFontInfo()->font;
    }
    CPaintManagerUI::Shutdown();
    EXPECT_FALSE(ManagerTest::IsLiveGdiObject(font));
    EXPECT_FALSE(ManagerTest::IsLiveGdiObject(defaultFont));
    CPaintManagerUI manager;
    EXPECT_EQ(nullptr, manager.GetStyle(L"s"));
    EXPECT_EQ(UiColors().link, manager.GetLinkColor());
    EXPECT_NE(nullptr, manager.GetFont(-1));
}
