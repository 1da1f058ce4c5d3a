// Skin attributes of the control base: the table, the value parsers and the
// attribute-list reader.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ui/controls/UiAttributeTable.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiPaintManager.h"
#include "ui/core/UiSkinAlias.h"

using namespace SkinUI;

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct AttributeCase {
    const char* label;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> pairs;
    std::function<bool(CControlUI&)> check;
};

class AttributeTableTest : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTableTest, AppliesToTheField)
{
    CControlUI control;
    for (const auto& pair : GetParam().pairs)
        control.ApplyAttribute(pair.first, pair.second);
    EXPECT_TRUE(GetParam().check(control)) << GetParam().label;
}

const AttributeCase kAttributeCases[] = {
    {"pos with a negative left takes the right edge",
     {{L"pos", L"-1,10,50,30"}},
     [](CControlUI& c) {
         SIZE xy = c.FloatOffset();
         return xy.cx == 50 && xy.cy == 10 && c.PresetWidth() == 51 && c.PresetHeight() == 20 &&
                !c.Floating();
     }},
    {"pos with a negative top takes the bottom edge",
     {{L"pos", L"4,-8,14,-2"}},
     [](CControlUI& c) {
         SIZE xy = c.FloatOffset();
         return xy.cx == 4 && xy.cy == -2 && c.PresetWidth() == 10 && c.PresetHeight() == 6;
     }},
    {"float false keeps it in the layout",
     {{L"float", L"true"}, {L"float", L"yes"}},
     [](CControlUI& c) { return !c.Floating(); }},
    {"float with fractions sets percent and floats",
     {{L"float", L"0.5,0.25,1,0.75"}},
     [](CControlUI& c) {
         UiFloatPercent p = c.AnchorFractions();
         return c.Floating() && p.left == 0.5 && p.top == 0.25 && p.right == 1 && p.bottom == 0.75;
     }},
    {"floatalign center replaces right, vcenter replaces bottom",
     {{L"floatalign", L"right,bottom"}, {L"floatalign", L"center vcenter"}},
     [](CControlUI& c) { return c.FloatAlignment() == (UIFLOAT_HCENTER | UIFLOAT_VCENTER); }},
    {"floatalign left and top clear, unknown tokens ignored",
     {{L"floatalign", L"center,bottom"}, {L"floatalign", L"left,sideways,top"}},
     [](CControlUI& c) { return c.FloatAlignment() == 0; }},
    {"floatalign null resets before later tokens",
     {{L"floatalign", L"right"}, {L"floatalign", L"null vcenter"}},
     [](CControlUI& c) { return c.FloatAlignment() == UIFLOAT_VCENTER; }},
    {"padding",
     {{L"padding", L"1,2,3,4"}},
     [](CControlUI& c) { return SameRect(c.Padding(), RECT{1, 2, 3, 4}); }},
    {"colours skip blanks and one #",
     {{L"bkcolor", L"  #FF102030"}, {L"bkcolor2", L"#80FFFFFF"}, {L"bkcolor3", L"#1"},
      {L"forecolor", L"FF000001"}},
     [](CControlUI& c) {
         return c.BkColor() == 0xFF102030 && c.BkColor2() == 0x80FFFFFF && c.BkColor3() == 1 &&
                c.ForeColor() == 0xFF000001;
     }},
    {"border colours do not skip blanks",
     {{L"bordercolor", L" #FF102030"}, {L"focusbordercolor", L"#FF405060"}},
     [](CControlUI& c) { return c.BorderColor() == 0 && c.FocusBorderColor() == 0xFF405060; }},
    {"bordersize with commas sets the sides only",
     {{L"bordersize", L"3"}, {L"bordersize", L"1,2,3,4"}},
     [](CControlUI& c) { return c.BorderSize() == 3 && SameRect(c.SideBorders(), RECT{1, 2, 3, 4}); }},
    {"bordersize without comma clears the sides",
     {{L"bordersize", L"1,1,1,1"}, {L"bordersize", L"2"}},
     [](CControlUI& c) { return c.BorderSize() == 2 && SameRect(c.SideBorders(), RECT{0, 0, 0, 0}); }},
    {"sizes; negative ones are ignored",
     {{L"width", L"40"}, {L"height", L"20"}, {L"width", L"-5"}, {L"minwidth", L"3"},
      {L"maxheight", L"70"}, {L"minheight", L"-1"}, {L"maxwidth", L"-1"}},
     [](CControlUI& c) {
         return c.PresetWidth() == 40 && c.PresetHeight() == 20 && c.MinimumWidth() == 3 &&
                c.MaximumHeight() == 70 && c.MinimumHeight() == 0 && c.MaximumWidth() == 9999;
     }},
    {"text turns {\\n} into a line feed",
     {{L"text", L"one{\\n}two{\\n}"}},
     [](CControlUI& c) { return c.Text() == L"one\ntwo\n"; }},
    {"tooltip turns <n> into CR LF",
     {{L"tooltip", L"a<n>b"}},
     [](CControlUI& c) { return c.Hint() == L"a\r\nb"; }},
    {"cursor by name; unknown names leave it",
     {{L"cursor", L"hand"}, {L"cursor", L"pointy"}},
     [](CControlUI& c) { return c.CursorId() == 32649 && c.CursorName() == L"hand"; }},
    {"unknown names become custom attributes, first value wins",
     {{L"x-role", L"primary"}, {L"x-role", L"secondary"}},
     [](CControlUI& c) { return c.ExtraAttribute(L"x-role") == std::wstring(L"primary"); }},
    {"style without a manager is kept as a custom attribute",
     {{L"style", L"flat"}},
     [](CControlUI& c) { return c.ExtraAttribute(L"style") == std::wstring(L"flat"); }},
};

INSTANTIATE_TEST_SUITE_P(Control, AttributeTableTest, ::testing::ValuesIn(kAttributeCases));

// ---- attribute lists

struct ListCase {
    const char* label;
    const wchar_t* list;
    const wchar_t* expectName;   // null: name must stay empty
    int expectWidth;
};

class AttributeListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(AttributeListTest, ReadsPairs)
{
    CControlUI control;
    control.ApplyAttributes(GetParam().list);
    EXPECT_EQ(std::wstring(control.Name()), std::wstring(GetParam().expectName ? GetParam().expectName : L""))
        << GetParam().label;
    EXPECT_EQ(control.PresetWidth(), GetParam().expectWidth) << GetParam().label;
}

const ListCase kListCases[] = {
    {"two pairs separated by a space", L"name=\"a\" width=\"5\"", L"a", 5},
    {"one pair then the end", L"name=\"a\"", L"a", 0},
    {"a value without its closing quote is not applied", L"name=\"a\" width=\"5", L"a", 0},
    {"&quot; stands for a quote", L"name=&quot;q&quot; width=&quot;6&quot;", L"q", 6},
    {"a comma after one more character continues", L"name=\"a\";,width=\"7\"", L"a", 7},
    {"anything else ends the list", L"name=\"a\";width=\"7\"", L"a", 0},
    {"a name without = ends the list", L"name", nullptr, 0},
    {"= must be followed by a quote", L"name=a width=\"3\"", nullptr, 0},
    {"empty list", L"", nullptr, 0},
    {"surrogate pairs stay whole", L"name=\"\xD83D\xDE00x\" width=\"2\"", L"\xD83D\xDE00x", 2},
};

INSTANTIATE_TEST_SUITE_P(Control, AttributeListTest, ::testing::ValuesIn(kListCases));

TEST(ControlAttributes, StylesOfTheManagerApplyTheirList)
{
    CPaintManagerUI manager;
    manager.AddStyle(L"wide", L"width=\"80\" name=\"styled\"");
    CControlUI control;
    control.Attach(&manager, nullptr, false);
    control.ApplyAttribute(L"style", L"wide");
    EXPECT_EQ(control.PresetWidth(), 80);
    EXPECT_EQ(control.Name(), L"styled");
    EXPECT_EQ(control.ExtraAttribute(L"style"), nullptr);

    // A list that is a style name is replaced by the style.
    CControlUI other;
    other.Attach(&manager, nullptr, false);
    other.ApplyAttributes(L"wide");
    EXPECT_EQ(other.PresetWidth(), 80);
    control.Attach(nullptr, nullptr, false);
    other.Attach(nullptr, nullptr, false);
}

TEST(ControlAttributes, StyleLoopsEndInsteadOfOverflowingTheStack)
{
    CPaintManagerUI manager;
    manager.AddStyle(L"a", L"style=\"b\" width=\"3\"");
    manager.AddStyle(L"b", L"style=\"a\" height=\"4\"");
    manager.AddStyle(L"self", L"self");
    CControlUI control;
    control.Attach(&manager, nullptr, false);
    control.ApplyAttribute(L"style", L"a");
    control.ApplyAttributes(L"self");
    EXPECT_EQ(control.PresetWidth(), 3);
    EXPECT_EQ(control.PresetHeight(), 4);
    control.Attach(nullptr, nullptr, false);
}

TEST(ControlAttributes, ExtraAttributesNeverReplace)
{
    CControlUI control;
    EXPECT_TRUE(control.AddExtraAttribute(L"k", L"1"));
    EXPECT_FALSE(control.AddExtraAttribute(L"k", L"2"));
    EXPECT_FALSE(control.AddExtraAttribute(L"", L"2"));
    EXPECT_FALSE(control.AddExtraAttribute(L"e", L""));
    EXPECT_STREQ(control.ExtraAttribute(L"k"), L"1");
    EXPECT_EQ(control.ExtraAttribute(L"missing"), nullptr);
    EXPECT_TRUE(control.RemoveExtraAttribute(L"k"));
    EXPECT_FALSE(control.RemoveExtraAttribute(L"k"));
    for (int i = 0; i < 200; ++i)
        control.AddExtraAttribute(std::to_wstring(i).c_str(), L"v");
    EXPECT_EQ(control.ExtraAttributeCount(), 200);
    control.ClearExtraAttributes();
    EXPECT_EQ(control.ExtraAttributeCount(), 0);
    EXPECT_TRUE(control.AddExtraAttribute(L"k", L"3"));
}

TEST(ControlAttributes, ParsersAreLenientAndStayInTheirString)
{
    int v[4] = {9, 9, 9, 9};
    EXPECT_EQ(UiParse::IntList(L"1,2", v, 4), 2);
    EXPECT_EQ(v[2], 0);
    EXPECT_EQ(v[3], 0);
    // A malformed item reads 0 and ends the list: nothing after it is trusted.
    EXPECT_EQ(UiParse::IntList(L"x,5", v, 4), 1);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(UiParse::IntList(L"3,", v, 2), 2);    // a trailing comma stops at the terminator
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(UiParse::Int(L"abc"), 0);
    EXPECT_EQ(UiParse::Color(L"#zz"), 0u);
    EXPECT_EQ(UiParse::Color(L"#FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(UiParse::Bool(L"truest"));
    EXPECT_TRUE(UiParse::Bool(L"tRuE"));
}

class TextSource : public IQueryControlText {
public:
    const wchar_t* QueryControlText(const wchar_t* id, const wchar_t*) override
    {
        return wcscmp(id, L"ctl.greeting") == 0 ? L"Hello" : nullptr;
    }
};

TEST(ControlAttributes, ResourceTextIsAKeyIntoTheSharedTexts)
{
    TextSource source;
    IQueryControlText* previous = CUiSkinAlias::Instance().GetTextQuery();
    CUiSkinAlias::Instance().SetTextQuery(&source);
    CControlUI control;
    control.ApplyAttributes(L"text=\"ctl.greeting\" resourcetext=\"true\"");
    EXPECT_EQ(control.Text(), L"Hello");
    control.UseResourceText(false);
    EXPECT_EQ(control.Text(), L"ctl.greeting");
    control.ApplyAttributes(L"text=\"ctl.unknown\" resourcetext=\"true\"");
    EXPECT_TRUE(control.Text().IsEmpty());
    CUiSkinAlias::Instance().SetTextQuery(previous);
}

} // namespace
