// Real control trees laid out without a window: the layouts collect the inputs
// from their children and place them with what the arithmetic answers.
#include <gtest/gtest.h>

#include <string>

#include "ui/controls/UiContainer.h"
#include "ui/controls/UiHorizontalLayout.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/controls/UiVerticalLayout.h"

using namespace SkinUI;

namespace {

std::string TreeStr(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

CControlUI* Child(CContainerUI& parent, const wchar_t* attributes)
{
    auto* child = new CControlUI();
    child->ApplyAttributes(attributes);
    parent.AddItem(child);
    return child;
}

int g_destroyed = 0;
bool CountDestroyed(void*)
{
    ++g_destroyed;
    return true;
}

} // namespace

TEST(LayoutTree, VerticalLayoutWithInsetPaddingAndInvisibleChildren)
{
    CVerticalLayoutUI layout;
    layout.ApplyAttributes(L"inset=\"10,10,10,10\" childpadding=\"5\"");
    CControlUI* a = Child(layout, L"height=\"20\"");
    CControlUI* hidden = Child(layout, L"height=\"20\" visible=\"false\"");
    CControlUI* b = Child(layout, L"");
    CControlUI* c = Child(layout, L"height=\"30\" width=\"50\" padding=\"4,0,0,0\"");
    layout.Place(RECT{0, 0, 200, 200});
    EXPECT_EQ(TreeStr(a->BoundsRef()), "10,10,190,30");
    EXPECT_EQ(TreeStr(b->BoundsRef()), "10,35,190,155");
    EXPECT_EQ(TreeStr(c->BoundsRef()), "14,160,64,190");
    EXPECT_EQ(TreeStr(hidden->BoundsRef()), "0,0,0,0");
    // Shown again, it takes its share and the gap comes back.
    hidden->Show(true);
    layout.Place(RECT{0, 0, 200, 200});
    EXPECT_EQ(TreeStr(hidden->BoundsRef()), "10,35,190,55");
    EXPECT_EQ(TreeStr(b->BoundsRef()), "10,60,190,155");
}

TEST(LayoutTree, HorizontalLayoutAlignsByTheExactWords)
{
    CHorizontalLayoutUI row;
    row.ApplyAttributes(L"childvalign=\"vcenter\" childalign=\"Center\"");
    CControlUI* a = Child(row, L"width=\"30\" height=\"20\"");
    CControlUI* b = Child(row, L"width=\"30\" height=\"40\"");
    row.Place(RECT{0, 0, 100, 100});
    // "Center" is not a word the attribute knows: the row stays left-aligned.
    EXPECT_EQ(TreeStr(a->BoundsRef()), "0,40,30,60");
    EXPECT_EQ(TreeStr(b->BoundsRef()), "30,30,60,70");
    row.ApplyAttribute(L"childalign", L"right");
    row.Place(RECT{0, 0, 100, 100});
    EXPECT_EQ(TreeStr(a->BoundsRef()), "40,40,70,60");
}

TEST(LayoutTree, FloatingChildrenAnchorByOffsetSignAndPercent)
{
    struct Case {
        const char* name;
        const wchar_t* attributes;
        const char* expected;
    };
    const Case cases[] = {
        {"fixed XY from the top-left", L"float=\"true\" pos=\"5,6,35,16\"", "105,56,135,66"},
        // x = -10 anchors to the right edge: left = right - 10, right edge + 20.
        {"negative x anchors right", L"float=\"true\" pos=\"-40,5,-10,15\"", "290,55,320,65"},
        {"negative y anchors bottom", L"float=\"true\" pos=\"0,-30,30,-20\"", "100,230,130,240"},
        {"percent", L"float=\"0.5,0.5,0.5,0.5\" pos=\"0,0,20,10\"", "200,150,220,160"},
        {"percent spans", L"float=\"0,0,1,1\" pos=\"0,0,0,0\"", "100,50,300,250"},
        {"align right bottom", L"float=\"true\" floatalign=\"right,bottom\" pos=\"0,0,20,10\"",
         "280,240,300,250"},
        {"align centre", L"float=\"true\" floatalign=\"center,vcenter\" pos=\"0,0,20,10\"",
         "190,145,210,155"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVerticalLayoutUI layout;
        layout.ApplyAttributes(L"inset=\"7,7,7,7\"");   // floats ignore the inset
        CControlUI* child = Child(layout, c.attributes);
        CControlUI* stacked = Child(layout, L"");
        layout.Place(RECT{100, 50, 300, 250});
        EXPECT_EQ(TreeStr(child->BoundsRef()), c.expected);
        // The floating child takes no room in the stack.
        EXPECT_EQ(TreeStr(stacked->BoundsRef()), "107,57,293,243");
    }
}

TEST(LayoutTree, PlainContainerFillsAndLimits)
{
    CContainerUI box;
    box.ApplyAttributes(L"inset=\"1,2,3,4\"");
    CControlUI* plain = Child(box, L"");
    CControlUI* limited = Child(box, L"minwidth=\"300\" maxwidth=\"250\" maxheight=\"20\"");
    box.Place(RECT{0, 0, 100, 100});
    EXPECT_EQ(TreeStr(plain->BoundsRef()), "1,2,97,96");
    EXPECT_EQ(TreeStr(limited->BoundsRef()), "1,2,251,22");
}

TEST(LayoutTree, TabLayoutShowsOnePageAtATime)
{
    CTabLayoutUI tabs;
    CControlUI* p0 = Child(tabs, L"name=\"p0\"");
    CControlUI* p1 = Child(tabs, L"name=\"p1\"");
    CControlUI* p2 = Child(tabs, L"name=\"p2\"");
    tabs.Place(RECT{0, 0, 100, 50});
    EXPECT_EQ(tabs.CurrentPage(), 0);
    EXPECT_TRUE(p0->OwnVisible());
    EXPECT_FALSE(p1->OwnVisible());
    EXPECT_FALSE(p2->OwnVisible());
    EXPECT_EQ(TreeStr(p0->BoundsRef()), "0,0,100,50");

    EXPECT_TRUE(tabs.ShowPage(2));
    EXPECT_EQ(tabs.CurrentPage(), 2);
    EXPECT_FALSE(p0->OwnVisible());
    EXPECT_TRUE(p2->OwnVisible());
    EXPECT_EQ(TreeStr(p2->BoundsRef()), "0,0,100,50");
    EXPECT_FALSE(tabs.ShowPage(3));
    EXPECT_FALSE(tabs.ShowPage(-1));
    EXPECT_TRUE(tabs.ShowPage(p1));
    EXPECT_EQ(tabs.CurrentPage(), 1);

    // A page inserted before the selection is hidden too; the selection follows
    // its page.
    auto* inserted = new CControlUI();
    ASSERT_TRUE(tabs.InsertItem(inserted, 0));
    EXPECT_FALSE(inserted->OwnVisible());
    EXPECT_EQ(tabs.CurrentPage(), 2);
    EXPECT_EQ(tabs.ItemAt(tabs.CurrentPage()), p1);
    int visible = 0;
    for (int i = 0; i < tabs.ItemCount(); ++i)
        visible += tabs.ItemAt(i)->OwnVisible() ? 1 : 0;
    EXPECT_EQ(visible, 1);

    // Removing the selected page selects the first.
    EXPECT_TRUE(tabs.RemoveItem(p1));
    EXPECT_EQ(tabs.CurrentPage(), 0);
    EXPECT_TRUE(inserted->OwnVisible());
    tabs.RemoveAllItems();
    EXPECT_EQ(tabs.CurrentPage(), -1);
}

TEST(LayoutTree, RemovedChildrenAreDeletedUnlessTheContainerDoesNotOwnThem)
{
    g_destroyed = 0;
    CVerticalLayoutUI layout;
    CControlUI* a = Child(layout, L"");
    CControlUI* b = Child(layout, L"");
    a->OnDestroy += CountDestroyed;
    b->OnDestroy += CountDestroyed;
    EXPECT_FALSE(layout.RemoveItem(nullptr));
    EXPECT_FALSE(layout.RemoveItemAt(5));
    EXPECT_TRUE(layout.RemoveItem(a));   // no manager: deleted at once
    EXPECT_EQ(g_destroyed, 1);
    layout.AssignDeletesItems(false);
    EXPECT_TRUE(layout.RemoveItemAt(0));
    EXPECT_EQ(g_destroyed, 1);
    delete b;
    EXPECT_EQ(g_destroyed, 2);
    EXPECT_EQ(layout.ItemCount(), 0);
}

TEST(LayoutTree, ContainerInterfaceEdges)
{
    CHorizontalLayoutUI row;
    CControlUI* a = Child(row, L"name=\"a\"");
    CControlUI* b = Child(row, L"name=\"b\"");
    EXPECT_FALSE(row.AddItem(nullptr));
    CControlUI stray;
    EXPECT_FALSE(row.InsertItem(&stray, 5));   // out of range: refused, not taken
    EXPECT_EQ(row.ItemCount(), 2);
    EXPECT_EQ(row.ItemAt(-1), nullptr);
    EXPECT_EQ(row.IndexOfItem(b), 1);
    EXPECT_TRUE(row.MoveItemTo(b, 0));
    EXPECT_EQ(row.ItemAt(0), b);
    EXPECT_TRUE(row.MoveItemTo(a, 99));
    EXPECT_EQ(row.ItemAt(1), a);
    EXPECT_NE(row.InterfaceFor(L"IContainer"), nullptr);
    EXPECT_NE(row.InterfaceFor(L"HorizontalLayout"), nullptr);
    EXPECT_NE(row.InterfaceFor(L"Container"), nullptr);
    EXPECT_EQ(row.InterfaceFor(L"VerticalLayout"), nullptr);

    // Hiding the container hides its children through their internal flag.
    row.Show(false);
    EXPECT_FALSE(a->Shown());
    EXPECT_TRUE(a->OwnVisible());
    row.Show(true);
    EXPECT_TRUE(a->Shown());
}

TEST(LayoutTree, TenThousandLabelsInAColumn)
{
    CVerticalLayoutUI column;
    for (int i = 0; i < 10000; ++i)
        Child(column, L"height=\"3\"");
    column.Place(RECT{0, 0, 100, 100});
    EXPECT_EQ(TreeStr(column.ItemAt(9999)->BoundsRef()), "0,29997,100,30000");
}
