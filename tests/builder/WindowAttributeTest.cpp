#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "BuilderTestUtil.h"
#include "ManagerTestUtil.h"

using namespace SkinUI;
using namespace BuilderTest;

namespace {

class WindowAttributes : public ::testing::Test {
protected:
    void TearDown() override { ManagerTest::ResetShared(); }
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Builds `<Window attrs><Label/></Window>` for a fresh hidden window.
void BuildWindow(HostWindow& host, const std::wstring& attributes)
{
    CLayoutBuilder builder;
    std::wstring xml = L"<Window " + attributes + L"><Label/></Window>";
    Tree tree(builder.Create(xml.c_str(), nullptr, nullptr, &host.Manager()));
    ASSERT_NE(nullptr, tree.get());
}

} // namespace

TEST_F(WindowAttributes, EachAttributeReachesTheManager)
{
    struct Case {
        const wchar_t* attributes;
        std::function<bool(HostWindow&)> holds;
    } cases[] = {
        {L"size=\"700,420\"", [](HostWindow& h) {
             SIZE s = h.WindowSize();
             SIZE i = h.Manager().GetInitSize();
             return s.cx == 700 && s.cy == 420 && i.cx == 700 && i.cy == 420;
         }},
        {L"Size=\"300,200\"", [](HostWindow& h) { return h.WindowSize().cx == 300 && h.WindowSize().cy == 200; }},
        {L"bktrans=\"true\"", [](HostWindow& h) { return h.Manager().IsLayered(); }},
        {L"bktrans=\"TRUE\"", [](HostWindow& h) { return h.Manager().IsLayered(); }},
        {L"BkTrans=\"true\"", [](HostWindow& h) { return !h.Manager().IsLayered(); }},
        {L"layered=\"true\"", [](HostWindow& h) { return h.Manager().IsLayered(); }},
        {L"Layered=\"true\"", [](HostWindow& h) { return !h.Manager().IsLayered(); }},
        {L"bktrans=\"1\"", [](HostWindow& h) { return !h.Manager().IsLayered(); }},
        {L"layeredimage=\"bg.png\"", [](HostWindow& h) {
             return h.Manager().IsLayered() && h.Manager().GetLayeredImage() == L"bg.png";
         }},
        {L"LayeredImage=\"bg.png\"", [](HostWindow& h) {
             return !h.Manager().IsLayered() && h.Manager().GetLayeredImage().IsEmpty();
         }},
        {L"layeredopacity=\"128\"", [](HostWindow& h) { return h.Manager().GetLayeredOpacity() == 128; }},
        {L"LayeredOpacity=\"128\"", [](HostWindow& h) { return h.Manager().GetLayeredOpacity() == 255; }},
        {L"noactivate=\"true\"", [](HostWindow& h) { return h.Manager().IsNoActivate(); }},
        {L"NoActivate=\"true\"", [](HostWindow& h) { return !h.Manager().IsNoActivate(); }},
        {L"caption=\"0,0,0,50\"", [](HostWindow& h) { return SameRect(RECT{0, 0, 0, 50}, h.Manager().GetCaptionRect()); }},
        {L"CAPTION=\"1,2,3,-1\"", [](HostWindow& h) { return SameRect(RECT{1, 2, 3, -1}, h.Manager().GetCaptionRect()); }},
        {L"sizebox=\"4;5;6;7\"", [](HostWindow& h) { return SameRect(RECT{4, 5, 6, 7}, h.Manager().GetSizeBox()); }},
        {L"roundcorner=\"10,12\"", [](HostWindow& h) {
             return h.Manager().GetRoundCorner().cx == 10 && h.Manager().GetRoundCorner().cy == 12;
         }},
        {L"mininfo=\"200,100\" maxinfo=\"900,800\"", [](HostWindow& h) {
             SIZE mn = h.Manager().GetMinInfo(), mx = h.Manager().GetMaxInfo();
             return mn.cx == 200 && mn.cy == 100 && mx.cx == 900 && mx.cy == 800;
         }},
        {L"showdirty=\"true\" gdiplustext=\"true\" textrenderinghint=\"4\"", [](HostWindow& h) {
             return h.Manager().IsUseGdiplusText() && h.Manager().GetGdiplusTextRenderingHint() == 4;
         }},
        {L"tooltiphovertime=\"750\"", [](HostWindow& h) { return h.Manager().GetHoverTime() == 750; }},
        {L"defaultfontcolor=\"#FF112233\" DisabledFontColor=\"FF445566\" linkfontcolor=\"#FF0000AA\" "
         L"linkhoverfontcolor=\"#FF0000BB\" selectedcolor=\"#FF0000CC\"",
         [](HostWindow& h) {
             CPaintManagerUI& m = h.Manager();
             return m.GetTextColor() == 0xFF112233 && m.GetDisabledTextColor() == 0xFF445566 &&
                    m.GetLinkColor() == 0xFF0000AA && m.GetLinkHoverColor() == 0xFF0000BB &&
                    m.GetSelectionColor() == 0xFF0000CC;
         }},
        {L"shadowsize=\"6\" shadowsharpness=\"3\" shadowdarkness=\"200\" shadowposition=\"2,-3\" "
         L"shadowcolor=\"#FF102030\" shadowcorner=\"1,2,3,4\"",
         [](HostWindow& h) {
             CShadowUI& s = h.Manager().GetShadow();
             return s.GetSize() == 6 && s.GetSharpness() == 3 && s.GetDarkness() == 200 &&
                    s.GetOffset().x == 2 && s.GetOffset().y == -3 && s.GetColour() == 0x102030 &&
                    SameRect(RECT{1, 2, 3, 4}, s.GetCorner()) && !s.IsImageMode();
         }},
        {L"shadowimage=\"shadow.png\" showshadow=\"true\"", [](HostWindow& h) {
             CShadowUI& s = h.Manager().GetShadow();
             return s.IsImageMode() && s.GetImage() == L"shadow.png" && s.IsShowShadow();
         }},
        // Values the shadow refuses leave it as it was.
        {L"shadowsize=\"99\" shadowsharpness=\"-1\" shadowdarkness=\"-5\"", [](HostWindow& h) {
             CShadowUI& s = h.Manager().GetShadow();
             return s.GetSize() == 0 && s.GetSharpness() == 5 && s.GetDarkness() == 150;
         }},
        {L"opacity=\"128\"", [](HostWindow& h) {
             return (GetWindowLongPtrW(h.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
         }},
        // Malformed values read leniently and never past their end.
        {L"size=\"abc\" caption=\"7\" roundcorner=\",\" mininfo=\"\"", [](HostWindow& h) {
             return SameRect(RECT{7, 0, 0, 0}, h.Manager().GetCaptionRect()) &&
                    h.Manager().GetRoundCorner().cx == 0 && h.Manager().GetMinInfo().cx == 0;
         }},
        {L"unknown=\"1\" opacity=\"99999\" alpha=\"-7\" tooltiphovertime=\"-5\"", [](HostWindow& h) {
             return h.Manager().GetHoverTime() == 0;
         }},
    };
    for (const Case& c : cases) {
        HostWindow host;
        BuildWindow(host, c.attributes);
        EXPECT_TRUE(c.holds(host)) << TestSupport::ToUtf8(c.attributes);
    }
}

TEST_F(WindowAttributes, ApplyOnlyToAWindowRootOfAManagerWithAWindow)
{
    {
        HostWindow host;
        CLayoutBuilder builder;
        Tree tree(builder.Create(L"<Dialog size=\"300,200\" bktrans=\"true\"><Label/></Dialog>", nullptr,
                                 nullptr, &host.Manager()));
        EXPECT_EQ(100, host.WindowSize().cx);
        EXPECT_FALSE(host.Manager().IsLayered());
    }
    {
        CPaintManagerUI windowless;
        CLayoutBuilder builder;
        Tree tree(builder.Create(L"<window size=\"300,200\" caption=\"0,0,0,9\"><Label/></window>", nullptr,
                                 nullptr, &windowless));
        EXPECT_EQ(0, windowless.GetInitSize().cx);
        EXPECT_EQ(0, windowless.GetCaptionRect().bottom);
    }
    {
        HostWindow host;
        CLayoutBuilder builder;
        Tree tree(builder.Create(L"<WINDOW size=\"300,200\"><Label/></WINDOW>", nullptr, nullptr, &host.Manager()));
        EXPECT_EQ(300, host.WindowSize().cx);
    }
}
