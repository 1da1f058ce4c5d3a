// The attribute tables of the containers and controls: what each skin attribute
// does to the control, and that unknown names still reach the base class.
#include <gtest/gtest.h>

#include "ui/controls/UiButton.h"
#include "ui/controls/UiContainer.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiOption.h"
#include "ui/controls/UiProgress.h"
#include "ui/controls/UiScrollBar.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/controls/UiVerticalLayout.h"

using namespace SkinUI;

TEST(LabelAttributes, FormatWordsAdjustTheTextStyle)
{
    struct Case {
        const wchar_t* attributes;
        UINT expected;
    };
    const UINT base = DT_VCENTER | DT_SINGLELINE;   // 0x24
    const Case cases[] = {
        {L"align=\"center\"", base | DT_CENTER},
        {L"align=\"right\"", base | DT_RIGHT},
        {L"align=\"right\" align=\"left\"", base},
        {L"align=\"leftcenter\"", base | DT_CENTER},       // words found in order
        {L"valign=\"top\"", DT_SINGLELINE},
        {L"valign=\"bottom\"", DT_BOTTOM | DT_SINGLELINE},
        {L"valign=\"vcenter\"", base},
        {L"wordbreak=\"true\"", DT_VCENTER | DT_WORDBREAK | DT_EDITCONTROL},
        {L"wordbreak=\"true\" wordbreak=\"false\"", base},
        {L"endellipsis=\"TRUE\"", base | DT_END_ELLIPSIS},
        {L"noprefix=\"true\"", base | DT_NOPREFIX},
        {L"noprefix=\"yes\"", base},
    };
    for (const Case& c : cases) {
        CLabelUI label;
        label.ApplyAttributes(c.attributes);
        EXPECT_EQ(label.TextStyle(), c.expected) << c.attributes;
    }
    CButtonUI button;
    EXPECT_EQ(button.TextStyle(), static_cast<UINT>(DT_VCENTER | DT_SINGLELINE | DT_CENTER));
}

TEST(LabelAttributes, ValuesAndFallThrough)
{
    CLabelUI label;
    label.ApplyAttributes(L"font=\"3\" textcolor=\"#FF102030\" disabledtextcolor=\" #80FFFFFF\" "
                          L"textpadding=\"1,2,3,4\" showhtml=\"true\" autocalcwidth=\"true\" "
                          L"autocalcheight=\"true\" width=\"40\" custom=\"kept\"");
    EXPECT_EQ(label.Font(), 3);
    EXPECT_EQ(label.TextColor(), 0xFF102030u);
    EXPECT_EQ(label.DisabledTextColor(), 0x80FFFFFFu);
    EXPECT_EQ(label.TextPadding().bottom, 4);
    EXPECT_TRUE(label.ShowsHtml());
    EXPECT_TRUE(label.AutoWidth());
    EXPECT_TRUE(label.AutoHeight());
    EXPECT_EQ(label.PresetWidth(), 40);                       // the base class's
    EXPECT_STREQ(label.ExtraAttribute(L"custom"), L"kept");   // nobody's: kept as custom
}

TEST(ButtonAttributes, ImagesColoursFontsAndBinding)
{
    COptionUI option;
    option.ApplyAttributes(
        L"normalimage=\"n.png\" hotimage=\"h.png\" pushedimage=\"p.png\" focusedimage=\"f.png\" "
        L"disabledimage=\"d.png\" hotforeimage=\"hf.png\" hotbkcolor=\"#FF000001\" "
        L"pushedbkcolor=\"#FF000002\" disabledbkcolor=\"#FF000003\" hottextcolor=\"#FF000004\" "
        L"pushedtextcolor=\"#FF000005\" focusedtextcolor=\"#FF000006\" hotfont=\"1\" "
        L"pushedfont=\"2\" focuedfont=\"3\" statecount=\"4\" bindtabindex=\"-2\" "
        L"selectedimage=\"s.png\" selectedhotimage=\"sh.png\" selectedpushedimage=\"sp.png\" "
        L"selecteddisableimage=\"sd.png\" selectedforeimage=\"sf.png\" selectedstatecount=\"3\" "
        L"selectedbkcolor=\"#FF000007\" selectedtextcolor=\"#FF000008\" "
        L"selectedhottextcolor=\"#FF000009\" selectedpushedtextcolor=\"#FF00000A\" "
        L"selectedfont=\"4\" group=\"g\" selected=\"true\"");
    EXPECT_STREQ(option.NormalImage().GetData(), L"n.png");
    EXPECT_STREQ(option.HotImage().GetData(), L"h.png");
    EXPECT_STREQ(option.PushedImage().GetData(), L"p.png");
    EXPECT_STREQ(option.FocusedImage().GetData(), L"f.png");
    EXPECT_STREQ(option.DisabledImage().GetData(), L"d.png");
    EXPECT_STREQ(option.HotForeImage().GetData(), L"hf.png");
    EXPECT_EQ(option.hotBkColor, 0xFF000001u);
    EXPECT_EQ(option.pushedBkColor, 2u | 0xFF000000u);
    EXPECT_EQ(option.disabledBkColor & 0xFF, 3u);
    EXPECT_EQ(option.hotTextColor & 0xFF, 4u);
    EXPECT_EQ(option.pushedTextColor & 0xFF, 5u);
    EXPECT_EQ(option.focusedTextColor & 0xFF, 6u);
    EXPECT_EQ(option.hotFont, 1);
    EXPECT_EQ(option.pushedFont, 2);
    EXPECT_EQ(option.focusedFont, 3);
    EXPECT_EQ(option.StateCount(), 4);
    EXPECT_STREQ(option.selectedImage.GetData(), L"s.png");
    EXPECT_STREQ(option.selectedHotImage.GetData(), L"sh.png");
    EXPECT_STREQ(option.selectedPushedImage.GetData(), L"sp.png");
    EXPECT_STREQ(option.selectedDisabledImage.GetData(), L"sd.png");
    EXPECT_STREQ(option.selectedForeImage.GetData(), L"sf.png");
    EXPECT_EQ(option.selectedStateCount, 3);
    EXPECT_EQ(option.selectedBkColor & 0xFF, 7u);
    EXPECT_EQ(option.selectedTextColor & 0xFF, 8u);
    EXPECT_EQ(option.selectedHotTextColor & 0xFF, 9u);
    EXPECT_EQ(option.selectedPushedTextColor & 0xFF, 10u);
    EXPECT_EQ(option.selectedFont, 4);
    EXPECT_STREQ(option.Group().GetData(), L"g");
    EXPECT_TRUE(option.Selected());
    EXPECT_TRUE(option.ButtonState() & UISTATE_SELECTED);
    EXPECT_EQ(option.ExtraAttribute(L"bindtabindex"), nullptr);   // recognised, ignored when negative

    CCheckBoxUI box;
    box.ApplyAttributes(L"EnableAutoCheck=\"true\"");
    EXPECT_TRUE(box.AutoCheck());
}

TEST(ContainerAttributes, LayoutAndScrollBars)
{
    CVerticalLayoutUI layout;
    layout.ApplyAttributes(L"inset=\"1,2,3,4\" childpadding=\"6\" childalign=\"center\" "
                           L"childvalign=\"bottom\" mousechild=\"false\" scrollstepsize=\"12\" "
                           L"scrollstepsize=\"-3\" sepheight=\"-5\" sepimm=\"true\" "
                           L"vscrollbar=\"true\"");
    // As the builder hands it over from the XML: the value is an attribute list.
    layout.ApplyAttribute(L"hscrollbarstyle", L"linesize=\"20\"");
    EXPECT_EQ(layout.Inset().right, 3);
    EXPECT_EQ(layout.ChildGap(), 6);
    EXPECT_EQ(layout.ChildHAlign(), static_cast<UINT>(UICHILD_CENTER));
    EXPECT_EQ(layout.ChildVAlign(), static_cast<UINT>(UICHILD_BOTTOM));
    EXPECT_FALSE(layout.HitsChildren());
    EXPECT_EQ(layout.ScrollStep(), 12);   // values <= 0 ignored
    EXPECT_EQ(layout.SeparatorHeight(), -5);
    EXPECT_TRUE(layout.SeparatorImmediate());
    ASSERT_NE(layout.VerticalBar(), nullptr);
    ASSERT_NE(layout.HorizontalBar(), nullptr);
    EXPECT_TRUE(layout.HorizontalBar()->Horizontal());
    EXPECT_EQ(layout.HorizontalBar()->LineSize(), 20);
    EXPECT_EQ(layout.HorizontalBar()->PresetHeight(), 16);
    layout.ApplyAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(layout.VerticalBar(), nullptr);
    EXPECT_NE(layout.HorizontalBar(), nullptr);

    CTabLayoutUI tabs;
    tabs.AddItem(new CControlUI());
    tabs.AddItem(new CControlUI());
    tabs.ApplyAttributes(L"selectedid=\"1\"");
    EXPECT_EQ(tabs.CurrentPage(), 1);
    tabs.ApplyAttributes(L"selectedid=\"9\"");
    EXPECT_EQ(tabs.CurrentPage(), 1);
}

TEST(ProgressAndScrollBarAttributes, Values)
{
    CProgressUI progress;
    EXPECT_EQ(progress.PresetHeight(), 12);
    progress.ApplyAttributes(L"hor=\"false\" min=\"-10\" max=\"10\" value=\"5\" isstretchfore=\"false\"");
    EXPECT_FALSE(progress.Horizontal());
    EXPECT_EQ(progress.Minimum(), -10);
    EXPECT_EQ(progress.Maximum(), 10);
    EXPECT_EQ(progress.Value(), 5);
    EXPECT_FALSE(progress.StretchesFore());
    progress.ApplyAttributes(L"value=\"11\"");   // outside: ignored
    EXPECT_EQ(progress.Value(), 5);

    CScrollBarUI bar;
    bar.ApplyAttributes(L"range=\"100\" value=\"150\" linesize=\"4\" showbutton1=\"false\" "
                        L"thumbnormalimage=\"t.png\" hor=\"true\"");
    EXPECT_EQ(bar.ScrollRange(), 100);
    EXPECT_EQ(bar.ScrollPosition(), 100);   // limited to the range
    EXPECT_EQ(bar.LineSize(), 4);
    EXPECT_FALSE(bar.ShowsButton1());
    EXPECT_TRUE(bar.ShowsButton2());
    EXPECT_TRUE(bar.Horizontal());
    EXPECT_EQ(bar.ExtraAttribute(L"thumbnormalimage"), nullptr);
    bar.ApplyAttributes(L"range=\"-4\"");
    EXPECT_EQ(bar.ScrollRange(), 0);
    EXPECT_EQ(bar.ScrollPosition(), 0);
}
