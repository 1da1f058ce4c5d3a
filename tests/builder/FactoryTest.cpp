#include <gtest/gtest.h>

#include "BuilderTestUtil.h"
#include "ui/controls/UiLabel.h"
#include "ui/core/UiControlFactory.h"

using namespace SkinUI;
using BuilderTest::Describe;
using BuilderTest::Tree;

namespace {

class MarkerControl : public CControlUI {
public:
    const wchar_t* TypeName() const override { return L"MarkerUI"; }
};

CControlUI* MakeMarker() { return new MarkerControl; }
CControlUI* MakeLabelInstead() { return new CLabelUI; }

class Factory : public ::testing::Test {
protected:
    void TearDown() override { CControlFactory::Destroy(); }
};

} // namespace

TEST_F(Factory, ClassNamesIgnoreCaseAndUnbuiltClassesAreUnknown)
{
    struct Case {
        const wchar_t* className;
        const char* made;
    } cases[] = {
        {L"CControlUI", "Control"},
        {L"CContainerUI", "Container()"},
        {L"CButtonUI", "Button"},
        {L"cbuttonui", "Button"},
        {L"CBUTTONUI", "Button"},
        {L"CLabelUI", "Label"},
        {L"COptionUI", "Option"},
        {L"CCheckBoxUI", "CheckBox"},
        {L"CProgressUI", "Progress"},
        {L"CScrollBarUI", "ScrollBar"},
        {L"CTextUI", "Text"},
        {L"CHorizontalLayoutUI", "HorizontalLayout()"},
        {L"CTabLayoutUI", "TabLayout()"},
        {L"CVerticalLayoutUI", "VerticalLayout()"},
        // Classes of the vocabulary this build does not have, and names that are no class.
        {L"CComboUI", "null"},
        {L"CEditUI", "null"},
        {L"CTreeViewUI", "null"},
        {L"Button", "null"},
        {L"CButtonUI ", "null"},
        {L"", "null"},
        {nullptr, "null"},
    };
    for (const Case& c : cases) {
        Tree made(CControlFactory::Instance().MakeControl(c.className));
        EXPECT_EQ(c.made, Describe(made.get())) << (c.className ? TestSupport::ToUtf8(c.className) : "(null)");
    }
}

TEST_F(Factory, FirstRegistrationOfANameStaysUntilShutdown)
{
    CControlFactory& factory = CControlFactory::Instance();
    factory.Register(L"CMarkerUI", &MakeMarker);
    factory.Register(L"cmarkerui", &MakeLabelInstead);   // same name, other case
    factory.Register(L"CButtonUI", &MakeMarker);         // a built-in keeps its class
    factory.Register(nullptr, &MakeMarker);
    factory.Register(L"CNothingUI", nullptr);

    struct Case {
        const wchar_t* className;
        const char* made;
    } cases[] = {
        {L"CMarkerUI", "Marker"},
        {L"CMARKERUI", "Marker"},
        {L"CButtonUI", "Button"},
        {L"CNothingUI", "null"},
    };
    for (const Case& c : cases) {
        Tree made(factory.MakeControl(c.className));
        EXPECT_EQ(c.made, Describe(made.get())) << TestSupport::ToUtf8(c.className);
    }

    // Framework shutdown takes the factory; the next one knows only the built-ins.
    CPaintManagerUI::Shutdown();
    Tree marker(CControlFactory::Instance().MakeControl(L"CMarkerUI"));
    EXPECT_EQ(nullptr, marker.get());
    Tree button(CControlFactory::Instance().MakeControl(L"CButtonUI"));
    EXPECT_EQ("Button", Describe(button.get()));
}
