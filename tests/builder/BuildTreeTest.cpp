#include <gtest/gtest.h>

#include "BuilderTestUtil.h"
#include "ManagerTestUtil.h"
#include "ui/controls/UiContainerInterface.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiVerticalLayout.h"

using namespace SkinUI;
using namespace BuilderTest;

namespace {

class BuildTree : public ::testing::Test {
protected:
    void TearDown() override { ManagerTest::ResetShared(); }
};

// The control of that name in the tree, or null.
CControlUI* Find(CControlUI* control, const wchar_t* name)
{
    if (!control) return nullptr;
    if (control->Name() == name) return control;
    auto* box = static_cast<IContainerUI*>(control->InterfaceFor(L"IContainer"));
    for (int i = 0; box && i < box->ItemCount(); ++i)
        if (CControlUI* found = Find(box->ItemAt(i), name)) return found;
    return nullptr;
}

std::string TextOf(CControlUI* control)
{
    return control ? TestSupport::ToUtf8(control->Text().GetData()) : "(missing)";
}

} // namespace

TEST_F(BuildTree, ElementsBecomeControlsOfTheirClass)
{
    struct Case {
        const char* what;
        const wchar_t* xml;
        const char* tree;
    } cases[] = {
        {"nesting in document order",
         L"<Window><VerticalLayout name=\"v\"><Button name=\"b\"/><Label name=\"l\"/>"
         L"<HorizontalLayout><Text/><Progress/></HorizontalLayout></VerticalLayout></Window>",
         "VerticalLayout#v(Button#b Label#l HorizontalLayout(Text Progress))"},
        {"element names ignore case",
         L"<Window><horizontallayout><BUTTON name=\"b\"/><option name=\"o\"/><CheckBox/></horizontallayout></Window>",
         "HorizontalLayout(Button#b Option#o CheckBox)"},
        {"every container class takes children",
         L"<Window><TabLayout><Container><ScrollBar/></Container><Control name=\"c\"/></TabLayout></Window>",
         "TabLayout(Container(ScrollBar) Control#c)"},
        {"an unknown element goes with its subtree",
         L"<Window><VerticalLayout><Foo><Button name=\"lost\"/></Foo><Text name=\"t\"/></VerticalLayout></Window>",
         "VerticalLayout(Text#t)"},
        {"classes this build does not have are unknown",
         L"<Window><VerticalLayout><Edit/><Combo><Label/></Combo><Label name=\"kept\"/></VerticalLayout></Window>",
         "VerticalLayout(Label#kept)"},
        {"resource elements below the root are neither resources nor controls",
         L"<Window><VerticalLayout><Font id=\"1\" name=\"x\"/><Default name=\"Button\" value=\"\"/>"
         L"<Image name=\"a.png\"/><Style name=\"s\" value=\"\"/><Import fontfile=\"f.ttf\"/>"
         L"<Progress name=\"p\"/></VerticalLayout></Window>",
         "VerticalLayout(Progress#p)"},
        {"an Include without attributes or source is skipped",
         L"<Window><VerticalLayout><Include/><Include count=\"2\"/><Control name=\"c\"/></VerticalLayout></Window>",
         "VerticalLayout(Control#c)"},
        {"children of a control that holds none are dropped",
         L"<Window><Button name=\"b\"><Label name=\"x\"/></Button></Window>", "Button#b"},
        {"the first top-level control is the result",
         L"<Window><Foo/><Label name=\"a\"/><Label name=\"b\"/></Window>", "Label#a"},
        {"a root of another name builds all the same",
         L"<Dialog><Label name=\"a\"/></Dialog>", "Label#a"},
        {"an empty window", L"<Window/>", "null"},
        {"only unknown elements", L"<Window><Foo/><Bar><Label/></Bar></Window>", "null"},
    };
    for (const Case& c : cases) {
        CLayoutBuilder builder;
        Tree tree(builder.Create(c.xml));
        EXPECT_EQ(c.tree, Describe(tree.get())) << c.what;
    }
}

TEST_F(BuildTree, AParseFailureGivesNullAndTheParsersMessage)
{
    const wchar_t* bad[] = {L"<Window><Button></Window>", L"<", L"<Window attr=novalue/>"};
    for (const wchar_t* xml : bad) {
        CLayoutBuilder builder;
        EXPECT_EQ(nullptr, builder.Create(xml)) << TestSupport::ToUtf8(xml);
        wchar_t message[100] = L"unset";
        wchar_t location[50] = L"unset";
        builder.ErrorMessage(message, 100);
        builder.ErrorLocation(location, 50);
        EXPECT_STRNE(L"", message);
        EXPECT_STRNE(L"unset", message);
    }
    CLayoutBuilder none;
    EXPECT_EQ(nullptr, none.Create(static_cast<const wchar_t*>(nullptr)));
    CLayoutBuilder missing;
    EXPECT_EQ(nullptr, missing.Create(L"no-such-layout.xml"));
}

TEST_F(BuildTree, ChildrenGetTheirAttributesBeforeTheirParent)
{
    AttributeLog log;
    LoggingCallback callback(&log);
    CPaintManagerUI manager;
    CLayoutBuilder builder;
    Tree tree(builder.Create(
        L"<Window><Default name=\"LogLeaf\" value=\"text=&quot;d&quot; userdata=&quot;u&quot;\"/>"
        L"<LogBox name=\"outer\" width=\"40\"><LogLeaf name=\"first\" text=\"x\"/>"
        L"<LogBox name=\"inner\"><LogLeaf name=\"deep\"/></LogBox></LogBox></Window>",
        nullptr, &callback, &manager));
    ASSERT_NE(nullptr, tree.get());
    EXPECT_EQ("leaf:text=d leaf:userdata=u leaf:name=first leaf:text=x "
              "leaf:text=d leaf:userdata=u leaf:name=deep box:name=inner "
              "box:name=outer box:width=40",
              log.Joined());
    EXPECT_EQ("Container#outer(Control#first Container#inner(Control#deep))", Describe(tree.get()));
    // Factory first, then the callback: it is asked only for what the factory lacks.
    std::vector<std::wstring> asked = {L"LogBox", L"LogLeaf", L"LogBox", L"LogLeaf"};
    EXPECT_EQ(asked, callback.asked);
    // The finished tree is not bound yet: attaching it to a window does that.
    EXPECT_EQ(nullptr, tree->Owner());
}

TEST_F(BuildTree, DefaultListsMatchTheElementNameExactlyAndLoseToTheElement)
{
    CPaintManagerUI manager;
    CLayoutBuilder builder;
    Tree tree(builder.Create(
        L"<Window><Default name=\"Button\" value=\"text=&quot;from default&quot; tooltip=&quot;tip&quot;\"/>"
        L"<VerticalLayout><Button name=\"own\" text=\"mine\"/><button name=\"lower\"/>"
        L"<Button name=\"plain\"/><BUTTON name=\"upper\" text=\"x\"/></VerticalLayout></Window>",
        nullptr, nullptr, &manager));
    ASSERT_NE(nullptr, tree.get());
    struct Case {
        const wchar_t* name;
        const char* text;
        const char* hint;
    } cases[] = {
        {L"own", "mine", "tip"},         // the element's own value wins over the list
        {L"plain", "from default", "tip"},
        {L"lower", "", ""},              // "button" is not "Button"
        {L"upper", "x", ""},
    };
    for (const Case& c : cases) {
        CControlUI* control = Find(tree.get(), c.name);
        ASSERT_NE(nullptr, control) << TestSupport::ToUtf8(c.name);
        EXPECT_EQ(c.text, TextOf(control)) << TestSupport::ToUtf8(c.name);
        EXPECT_EQ(c.hint, TestSupport::ToUtf8(control->Hint().GetData())) << TestSupport::ToUtf8(c.name);
    }
    // Without a manager there are no default lists at all.
    CLayoutBuilder bare;
    Tree alone(bare.Create(L"<Window><Default name=\"Label\" value=\"text=&quot;d&quot;\"/><Label/></Window>"));
    EXPECT_EQ("", TextOf(alone.get()));
}

TEST_F(BuildTree, ResourceElementsOfTheRootConfigureTheManager)
{
    SkinFolder folder;
    ASSERT_TRUE(folder.Write(L"green.png", ManagerTest::MakePng(4, 3, 0xFF00FF00)));
    CPaintManagerUI manager;
    CLayoutBuilder builder;
    Tree tree(builder.Create(
        L"<Window>"
        L"<Font id=\"3\" name=\"Arial\" size=\"14\" bold=\"TRUE\" default=\"true\"/>"
        L"<Font name=\"Courier New\" size=\"20\" default=\"true\"/>"
        L"<font id=\"4\" name=\"Tahoma\" italic=\"yes\"/>"
        L"<Image name=\"green.png\" mask=\"#FF00FF00\"/><Image restype=\"PNG\"/>"
        L"<Style name=\"big\" value=\"font=&quot;3&quot;\"/><Style value=\"lost\"/>"
        L"<Default name=\"Label\" value=\"font=&quot;4&quot;\"/><Default value=\"lost\"/>"
        L"<Import fontfile=\"missing.ttf\"/><Import/>"
        L"<VerticalLayout><Font id=\"9\" name=\"Arial\"/><Label/></VerticalLayout></Window>",
        nullptr, nullptr, &manager));
    ASSERT_NE(nullptr, tree.get());

    UiFontInfo* three = manager.GetFontInfo(3);
    ASSERT_NE(nullptr, three);
    EXPECT_STREQ(L"Arial", three->face);
    EXPECT_EQ(14, three->size);
    EXPECT_TRUE(three->bold);
    EXPECT_STREQ(L"Arial", manager.GetDefaultFontInfo()->face);  // not Courier New: it has no id
    EXPECT_EQ(14, manager.GetDefaultFontInfo()->size);
    UiFontInfo* four = manager.GetFontInfo(4);
    ASSERT_NE(nullptr, four);
    EXPECT_STREQ(L"Tahoma", four->face);
    EXPECT_EQ(12, four->size);     // the size when none is given
    EXPECT_FALSE(four->italic);    // only "true" is true
    EXPECT_EQ(-1, manager.GetFontId(L"Courier New", 20, false, false, false));
    // A font inside the tree is no resource: id 9 falls back to the default font.
    EXPECT_STREQ(L"Arial", manager.GetFontInfo(9)->face);

    EXPECT_NE(nullptr, manager.GetImage(L"green.png"));
    EXPECT_STREQ(L"font=\"3\"", manager.GetStyle(L"big"));
    EXPECT_STREQ(L"font=\"4\"", manager.GetDefaultAttributes(L"Label"));
    EXPECT_EQ(nullptr, manager.GetDefaultAttributes(L""));
}

TEST_F(BuildTree, BuildsIntoAGivenParent)
{
    CVerticalLayoutUI* parent = new CVerticalLayoutUI;
    Tree owner(parent);
    CLayoutBuilder builder;
    CControlUI* first = builder.Create(L"<Window><Label name=\"a\"/><Foo/><Button name=\"b\"/></Window>",
                                       nullptr, nullptr, nullptr, parent);
    EXPECT_EQ("Label#a", Describe(first));
    EXPECT_EQ("VerticalLayout(Label#a Button#b)", Describe(parent));
    EXPECT_EQ(parent, first->ParentControl());

    // A parent that holds no children takes none and yields nothing.
    Tree leaf(new CLabelUI);
    CLayoutBuilder second;
    EXPECT_EQ(nullptr, second.Create(L"<Window><Label/><Label/></Window>", nullptr, nullptr, nullptr, leaf.get()));
}

TEST_F(BuildTree, ControlsAddedToALiveTreeStayBoundToItsManager)
{
    HostWindow host;
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    ASSERT_TRUE(host.Manager().AttachRoot(root));
    CLayoutBuilder builder;
    CControlUI* added = builder.Create(L"<Window><HorizontalLayout name=\"row\"><Button name=\"ok\"/></HorizontalLayout></Window>",
                                       nullptr, nullptr, &host.Manager(), root);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(&host.Manager(), added->Owner());
    EXPECT_EQ(root, added->ParentControl());
    // Added fully configured: the manager knows every new name.
    EXPECT_EQ(added, host.Manager().FindControl(L"row"));
    CControlUI* button = host.Manager().FindControl(L"ok");
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(&host.Manager(), button->Owner());
}

TEST_F(BuildTree, ControlsThatCannotJoinATreeAreFreed)
{
    SkinFolder folder;
    ASSERT_TRUE(folder.Write(L"leaves.xml", "<Window><LogLeaf/><LogLeaf/></Window>"));
    struct Case {
        const wchar_t* xml;
        int kept;
    } cases[] = {
        {L"<Window><LogLeaf/><LogLeaf/><LogBox><LogLeaf/></LogBox></Window>", 1},   // only the first is returned
        {L"<Window><LogLeaf><LogLeaf/><LogBox/></LogLeaf></Window>", 1},           // a leaf holds no children
        {L"<Window><LogBox><LogLeaf/></LogBox><Include source=\"leaves.xml\" count=\"3\"/></Window>", 2},
    };
    for (const Case& c : cases) {
        AttributeLog log;
        LoggingCallback callback(&log);
        CLayoutBuilder builder;
        Tree tree(builder.Create(c.xml, nullptr, &callback));
        EXPECT_EQ(c.kept, log.alive) << TestSupport::ToUtf8(c.xml);
        tree.reset();
        EXPECT_EQ(0, log.alive) << TestSupport::ToUtf8(c.xml);
    }
}

TEST_F(BuildTree, AnAlreadyLoadedDocumentBuildsAsWell)
{
    CLayoutBuilder builder;
    ASSERT_TRUE(builder.Document().Load(L"<Window><HorizontalLayout><Label/></HorizontalLayout></Window>"));
    Tree tree(builder.Create(static_cast<IDialogBuilderCallback*>(nullptr), nullptr));
    EXPECT_EQ("HorizontalLayout(Label)", Describe(tree.get()));
    CLayoutBuilder empty;
    EXPECT_EQ(nullptr, empty.Create(static_cast<IDialogBuilderCallback*>(nullptr), nullptr));
}
