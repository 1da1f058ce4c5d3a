#include <gtest/gtest.h>

#include <string>

#include "BuilderTestUtil.h"
#include "ManagerTestUtil.h"
#include "ZipBuilder.h"
#include "ui/controls/UiVerticalLayout.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"

using namespace SkinUI;
using namespace BuilderTest;

namespace {

class Includes : public ::testing::Test {
protected:
    void TearDown() override { ManagerTest::ResetShared(); }
};

std::string Wrap(const std::string& body) { return "<Window>" + body + "</Window>"; }

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

} // namespace

TEST_F(Includes, IncludedDocumentsJoinTheCurrentParent)
{
    SkinFolder folder;
    ASSERT_TRUE(folder.Write(L"row.xml", Wrap("<Button name=\"r\"/>")));
    ASSERT_TRUE(folder.Write(L"pair.xml", Wrap("<Label name=\"p1\"/><Label name=\"p2\"/>")));
    ASSERT_TRUE(folder.Write(L"broken.xml", "<Window><Label></Window>"));
    ASSERT_TRUE(CreateDirectoryW((folder.Path() + L"sub").c_str(), nullptr));
    ASSERT_TRUE(folder.Write(L"sub\\deep.xml", Wrap("<Include source=\"row.xml\"/>")));
    struct Case {
        const char* what;
        std::string body;
        const char* tree;
    } cases[] = {
        {"count 3 builds the document three times", "<Include source=\"row.xml\" count=\"3\"/>",
         "VerticalLayout#top(Button#r Button#r Button#r)"},
        {"count defaults to 1, every top-level control joins", "<Include source=\"pair.xml\"/>",
         "VerticalLayout#top(Label#p1 Label#p2)"},
        {"count 0 and negative counts build nothing",
         "<Include source=\"row.xml\" count=\"0\"/><Include source=\"row.xml\" count=\"-4\"/>", "VerticalLayout#top()"},
        {"names ignore case, like file names", "<include SOURCE=\"ROW.xml\" Count=\"2\"/>",
         "VerticalLayout#top(Button#r Button#r)"},
        {"a missing or broken document is skipped",
         "<Include source=\"missing.xml\"/><Include source=\"broken.xml\"/><Label name=\"after\"/>",
         "VerticalLayout#top(Label#after)"},
        {"includes nest, in document order",
         "<Label name=\"before\"/><Include source=\"sub\\deep.xml\" count=\"2\"/>",
         "VerticalLayout#top(Label#before Button#r Button#r)"},
        {"a source of 500 characters or more names nothing",
         "<Include source=\"" + Repeat("a", 495) + ".xml\"/><Label name=\"after\"/>",
         "VerticalLayout#top(Label#after)"},
        {"a huge count is bounded", "<Include source=\"row.xml\" count=\"99999999999\"/>", nullptr},
    };
    for (const Case& c : cases) {
        CLayoutBuilder builder;
        const std::wstring xml = TestSupport::FromUtf8(Wrap("<VerticalLayout name=\"top\">" + c.body + "</VerticalLayout>"));
        Tree tree(builder.Create(xml.c_str()));
        if (c.tree) {
            EXPECT_EQ(c.tree, Describe(tree.get())) << c.what;
        } else {
            EXPECT_EQ(1 + CLayoutBuilder::MAX_INCLUDE_COUNT, CountControls(tree.get())) << c.what;
        }
    }
}

TEST_F(Includes, AnIncludeIsNeverTheLevelsResult)
{
    SkinFolder folder;
    ASSERT_TRUE(folder.Write(L"row.xml", Wrap("<Button name=\"r\"/>")));
    CLayoutBuilder builder;
    // Without a parent the included controls have nowhere to go; they are freed.
    Tree tree(builder.Create(L"<Window><Include source=\"row.xml\" count=\"5\"/><Label name=\"x\"/></Window>"));
    EXPECT_EQ("Label#x", Describe(tree.get()));
    CLayoutBuilder only;
    EXPECT_EQ(nullptr, only.Create(L"<Window><Include source=\"row.xml\"/></Window>"));
}

TEST_F(Includes, DocumentsThatIncludeThemselvesEndWithoutMoreControls)
{
    SkinFolder folder;
    ASSERT_TRUE(folder.Write(L"self.xml",
                             Wrap("<VerticalLayout name=\"self\"><Include source=\"self.xml\"/><Label name=\"after\"/></VerticalLayout>")));
    ASSERT_TRUE(folder.Write(L"a.xml", Wrap("<VerticalLayout name=\"a\"><Include source=\"B.XML\"/></VerticalLayout>")));
    ASSERT_TRUE(folder.Write(L"b.xml", Wrap("<HorizontalLayout name=\"b\"><Include source=\"a.xml\"/></HorizontalLayout>")));
    ASSERT_TRUE(folder.Write(L"twice.xml",
                             Wrap("<VerticalLayout name=\"t\"><Include source=\"twice.xml\" count=\"100\"/></VerticalLayout>")));
    struct Case {
        const wchar_t* layout;
        const char* tree;
    } cases[] = {
        {L"self.xml", "VerticalLayout#self(Label#after)"},
        {L"a.xml", "VerticalLayout#a(HorizontalLayout#b())"},
        {L"b.xml", "HorizontalLayout#b(VerticalLayout#a())"},
        {L"twice.xml", "VerticalLayout#t()"},
        // Given as text, the document has no name: its first self-include is built once.
        {L"<Window><VerticalLayout name=\"text\"><Include source=\"self.xml\"/></VerticalLayout></Window>",
         "VerticalLayout#text(VerticalLayout#self(Label#after))"},
    };
    for (const Case& c : cases) {
        CLayoutBuilder builder;
        Tree tree(builder.Create(c.layout));
        EXPECT_EQ(c.tree, Describe(tree.get())) << TestSupport::ToUtf8(c.layout);
    }
}

TEST_F(Includes, ChainsOfDistinctDocumentsStopAtTheDepthBound)
{
    SkinFolder folder;
    const int files = CLayoutBuilder::MAX_INCLUDE_DEPTH + 10;
    for (int i = 0; i < files; ++i) {
        const std::string next = "c" + std::to_string(i + 1) + ".xml";
        const std::wstring name = L"c" + std::to_wstring(i) + L".xml";
        ASSERT_TRUE(folder.Write(name.c_str(), Wrap("<VerticalLayout><Include source=\"" + next + "\"/></VerticalLayout>")));
    }
    CLayoutBuilder builder;
    Tree tree(builder.Create(L"c0.xml"));
    // The first document and one per allowed level of Include.
    EXPECT_EQ(CLayoutBuilder::MAX_INCLUDE_DEPTH + 1, CountControls(tree.get()));
}

TEST_F(Includes, FanOutIsBoundedForTheWholeBuild)
{
    SkinFolder folder;
    // Each level includes the next a hundred times: 100^6 documents unbounded.
    for (int i = 0; i < 6; ++i) {
        const std::string next = "f" + std::to_string(i + 1) + ".xml";
        const std::wstring name = L"f" + std::to_wstring(i) + L".xml";
        ASSERT_TRUE(folder.Write(name.c_str(),
                                 Wrap("<VerticalLayout><Include source=\"" + next + "\" count=\"100\"/></VerticalLayout>")));
    }
    ASSERT_TRUE(folder.Write(L"f6.xml", Wrap("<Label/>")));
    const DWORD start = GetTickCount();
    CLayoutBuilder builder;
    Tree tree(builder.Create(L"f0.xml"));
    const int controls = CountControls(tree.get());
    EXPECT_GT(controls, 100);
    EXPECT_LE(controls, CLayoutBuilder::MAX_DOCUMENTS + 1);
    EXPECT_LT(GetTickCount() - start, 20000u);
}

TEST_F(Includes, LayoutsComeFromAnArchiveAndThroughAliases)
{
    SkinFolder folder;
    auto item = [](const char* name, const std::string& data, bool deflate) {
        ZipTest::Item it;
        it.name = name;
        it.data = data;
        it.deflate = deflate;
        return it;
    };
    const std::string archive = ZipTest::Build({
        item("layout/main.xml",
             "<Window size=\"640,480\"><Font id=\"2\" name=\"Arial\" size=\"11\"/>"
             "<VerticalLayout name=\"main\"><Include source=\"layout/row.xml\" count=\"2\"/>"
             "<Include source=\"rowAlias\"/></VerticalLayout></Window>",
             true),
        item("layout/row.xml", Wrap("<Option name=\"o\" text=\"\xe4\xb8\xad\"/>"), false),
        item("alias.xml", "<Alias><Xml id=\"mainAlias\" path=\"layout/main.xml\"/>"
                          "<Xml id=\"rowAlias\" path=\"layout/row.xml\"/></Alias>", false),
    });
    ASSERT_TRUE(TestSupport::WriteFileBytes(folder.Path() + L"skin.zip", archive));
    CUiResourceLocation::SetSkinArchive(L"skin.zip", false, nullptr);

    HostWindow host;
    CLayoutBuilder builder;
    Tree tree(builder.Create(L"layout\\main.xml", nullptr, nullptr, &host.Manager()));
    EXPECT_EQ("VerticalLayout#main(Option#o Option#o)", Describe(tree.get()));
    EXPECT_EQ(640, host.WindowSize().cx);
    ASSERT_NE(nullptr, host.Manager().GetFontInfo(2));
    EXPECT_STREQ(L"Arial", host.Manager().GetFontInfo(2)->face);

    // Ids of the alias table stand for their paths, at the top and in includes.
    ASSERT_TRUE(CUiSkinAlias::Instance().Load(L"alias.xml"));
    CLayoutBuilder aliased;
    Tree again(aliased.Create(L"mainAlias"));
    EXPECT_EQ("VerticalLayout#main(Option#o Option#o Option#o)", Describe(again.get()));
    auto* box = static_cast<IContainerUI*>(again->InterfaceFor(L"IContainer"));
    ASSERT_NE(nullptr, box);
    EXPECT_STREQ(L"\u4e2d", box->ItemAt(2)->Text());
}

TEST_F(Includes, LayoutsFromExecutableResourcesIncludeByNumber)
{
    CUiResourceLocation::SetInstance(GetModuleHandleW(nullptr));
    CUiResourceLocation::SetResourceInstance(nullptr);
    HostWindow host;
    CLayoutBuilder builder;
    Tree tree(builder.Create(MAKEINTRESOURCEW(201), L"SKINXML", nullptr, &host.Manager()));
    EXPECT_EQ("VerticalLayout#resroot(Label#row Label#row HorizontalLayout#self(Button#selfbutton))",
              Describe(tree.get()));
    EXPECT_EQ(320, host.WindowSize().cx);
    EXPECT_NE(nullptr, host.Manager().GetFontInfo(0));

    struct Case {
        const wchar_t* id;
        const wchar_t* type;
    } failures[] = {
        {MAKEINTRESOURCEW(999), L"SKINXML"},   // no such resource
        {MAKEINTRESOURCEW(201), L"OTHER"},     // no such type
        {MAKEINTRESOURCEW(201), nullptr},      // an id needs its type
    };
    for (const Case& c : failures) {
        CLayoutBuilder failing;
        EXPECT_EQ(nullptr, failing.Create(c.id, c.type));
    }
    // Another module: the test executable's resources are not in kernel32.
    CLayoutBuilder elsewhere;
    elsewhere.SetInstance(GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(nullptr, elsewhere.Create(MAKEINTRESOURCEW(201), L"SKINXML"));
}
