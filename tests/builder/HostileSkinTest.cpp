#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "BuilderTestUtil.h"
#include "ManagerTestUtil.h"

using namespace SkinUI;
using namespace BuilderTest;

namespace {

class HostileSkins : public ::testing::Test {
protected:
    void TearDown() override { ManagerTest::ResetShared(); }
};

std::string Nest(const std::string& element, int depth, const std::string& inner = "")
{
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<" + element + ">";
        close += "</" + element + ">";
    }
    return open + inner + close;
}

// A skin that uses most of the vocabulary, for the mutations to work on.
const char kBase[] =
    "<Window size=\"400,300\" caption=\"0,0,0,30\" roundcorner=\"4,4\" bktrans=\"true\" mininfo=\"100,100\" "
    "shadowsize=\"4\" shadowcolor=\"#FF000000\" defaultfontcolor=\"#FF222222\" layeredopacity=\"200\">"
    "<Font id=\"0\" name=\"Arial\" size=\"12\" default=\"true\"/>"
    "<Font id=\"1\" name=\"Arial\" size=\"16\" bold=\"true\"/>"
    "<Default name=\"Button\" value=\"font=&quot;1&quot; textcolor=&quot;#FF0000FF&quot;\"/>"
    "<Style name=\"big\" value=\"height=&quot;40&quot;\"/>"
    "<Image name=\"missing.png\" mask=\"#FF00FF\"/>"
    "<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" inset=\"1,1,1,1\" vscrollbar=\"true\">"
    "<HorizontalLayout height=\"30\" childpadding=\"4\">"
    "<Label name=\"title\" text=\"Title\" font=\"1\" padding=\"2,2,2,2\" width=\"120\"/>"
    "<Button name=\"close\" width=\"20\" height=\"20\" normalimage=\"file='close.png' source='0,0,20,20'\"/>"
    "</HorizontalLayout>"
    "<TabLayout name=\"tabs\" selectedid=\"1\">"
    "<VerticalLayout><Text text=\"{b}bold{/b} {a link}x{/a}\" showhtml=\"true\"/>"
    "<Progress min=\"0\" max=\"100\" value=\"50\" hor=\"true\" foreimage=\"bar.png\"/></VerticalLayout>"
    "<VerticalLayout><Option name=\"o1\" group=\"g\" selected=\"true\"/><Option name=\"o2\" group=\"g\"/>"
    "<CheckBox name=\"c\" selected=\"true\"/><ScrollBar hor=\"false\" range=\"100\"/></VerticalLayout>"
    "</TabLayout>"
    "<Include source=\"row.xml\" count=\"2\"/>"
    "<Container float=\"true\" pos=\"10,10,50,50\"><Control bkcolor=\"#FF00FF00\"/></Container>"
    "</VerticalLayout></Window>";

const char* const kValues[] = {
    "", "0", "-1", "1", "true", "false", "2147483647", "-2147483648", "99999999999999999999",
    "#", "#FFFFFFFF", "#GG", ",,,,", "1,2", "1,2,3,4", "-5,-5,-5,-5", "100000,100000", "file='x.png' source='",
    "'", "&amp;", "\xe4\xb8\xad\xe6\x96\x87", "%s%n%s", "x=\"1\"", "big",
};
const char* const kNames[] = {
    "Window", "Include", "Font", "Default", "Style", "Image", "Import", "Foo", "VerticalLayout",
    "HorizontalLayout", "TabLayout", "Container", "Button", "Label", "Text", "Option", "CheckBox",
    "Progress", "ScrollBar", "Control", "Edit", "",
};
const char* const kAttributes[] = {
    "name", "text", "width", "height", "pos", "float", "count", "source", "id", "size", "bktrans",
    "layered", "selected", "group", "visible", "inset", "padding", "font", "value", "min", "max",
    "selectedid", "caption", "opacity", "shadowsize", "normalimage", "bkimage", "childpadding", "default",
};

template <class T, size_t N>
const char* Pick(std::mt19937& rng, T (&list)[N])
{
    return list[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

// One mutation of the text: a quoted value replaced, an element renamed, an
// element or attribute inserted, a subtree nested deep, a byte dropped or flipped.
void Mutate(std::string& text, std::mt19937& rng)
{
    auto at = [&](size_t limit) { return std::uniform_int_distribution<size_t>(0, limit ? limit - 1 : 0)(rng); };
    switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
    case 0: {   // a quoted value
        size_t open = text.find('"', at(text.size()));
        if (open == std::string::npos) return;
        size_t close = text.find('"', open + 1);
        if (close == std::string::npos) return;
        std::string value = Pick(rng, kValues);
        for (char& ch : value)
            if (ch == '"') ch = '\'';
        text.replace(open + 1, close - open - 1, value);
        break;
    }
    case 1: {   // an element name
        size_t lt = text.find('<', at(text.size()));
        if (lt == std::string::npos || lt + 1 >= text.size() || text[lt + 1] == '/') return;
        size_t end = text.find_first_of(" />", lt + 1);
        if (end == std::string::npos) return;
        std::string name = Pick(rng, kNames);
        if (name.empty()) name = "X";
        // The closing tag keeps its name, so some mutants do not parse: that is a case too.
        text.replace(lt + 1, end - lt - 1, name);
        break;
    }
    case 2: {   // a new element
        size_t lt = text.find('<', at(text.size()));
        if (lt == std::string::npos) return;
        std::string name = Pick(rng, kNames);
        if (name.empty()) name = "Foo";
        text.insert(lt, "<" + name + " " + Pick(rng, kAttributes) + "=\"" + Pick(rng, kValues) + "\"/>");
        break;
    }
    case 3: {   // a new attribute
        size_t lt = text.find('<', at(text.size()));
        if (lt == std::string::npos || lt + 1 >= text.size() || text[lt + 1] == '/') return;
        size_t space = text.find_first_of(" />", lt + 1);
        if (space == std::string::npos) return;
        std::string value = Pick(rng, kValues);
        for (char& ch : value)
            if (ch == '"') ch = '\'';
        text.insert(space, std::string(" ") + Pick(rng, kAttributes) + "=\"" + value + "\"");
        break;
    }
    case 4: {   // deep nesting
        size_t lt = text.find("<Label", 0);
        if (lt == std::string::npos) lt = text.find("</VerticalLayout>");
        if (lt == std::string::npos) return;
        text.insert(lt, Nest(at(2) ? "VerticalLayout" : "Foo", static_cast<int>(at(300))));
        break;
    }
    case 5:     // a byte goes
        if (!text.empty()) text.erase(at(text.size()), 1);
        break;
    default:    // a byte changes
        if (!text.empty()) text[at(text.size())] = static_cast<char>(at(256));
        break;
    }
}

} // namespace

TEST_F(HostileSkins, MutatedSkinsNeverCrashTheBuilder)
{
    SkinFolder folder;
    ASSERT_TRUE(folder.Write(L"row.xml", "<Window><Include source=\"row.xml\" count=\"100\"/><Label/></Window>"));
    std::mt19937 rng(20261208);
    int built = 0;
    const int iterations = 300;
    std::unique_ptr<HostWindow> host;
    for (int i = 0; i < iterations; ++i) {
        std::string text = kBase;
        const int mutations = std::uniform_int_distribution<int>(1, 8)(rng);
        for (int m = 0; m < mutations; ++m) Mutate(text, rng);
        const std::wstring xml = TestSupport::FromUtf8(text);
        // A window serves a few mutants: its earlier roots wait in its clean-up queue.
        if (i % 25 == 0) host.reset(new HostWindow);
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &host->Manager());
        if (root) {
            ++built;
            EXPECT_LE(TreeDepth(root), CLayoutBuilder::MAX_NESTING) << text;
            // Binding runs every control's initialisation on the mutated attributes.
            host->Manager().AttachRoot(root);
        }
    }
    // Most mutants still parse; a run where none did would test nothing.
    EXPECT_GT(built, iterations / 3);
}

TEST_F(HostileSkins, DeepNestingIsBoundedEvenAcrossIncludes)
{
    SkinFolder folder;
    const int levels = CLayoutBuilder::MAX_NESTING;
    ASSERT_TRUE(folder.Write(L"deep.xml", "<Window>" + Nest("VerticalLayout", levels) + "</Window>"));
    struct Case {
        const char* what;
        std::string xml;
        bool parses;
    } cases[] = {
        {"far deeper than the parser allows", "<Window>" + Nest("VerticalLayout", 100000) + "</Window>", false},
        {"as deep as the parser allows", "<Window>" + Nest("VerticalLayout", 990) + "</Window>", true},
        {"deep, and a deep include at the bottom",
         "<Window>" + Nest("VerticalLayout", levels - 10, "<Include source=\"deep.xml\" count=\"3\"/>") + "</Window>", true},
        {"unknown elements count as levels too",
         "<Window>" + Nest("VerticalLayout", levels / 2, Nest("Foo", levels)) + "</Window>", true},
    };
    for (const Case& c : cases) {
        CLayoutBuilder builder;
        const std::wstring xml = TestSupport::FromUtf8(c.xml);
        Tree tree(builder.Create(xml.c_str()));
        if (!c.parses) {
            EXPECT_EQ(nullptr, tree.get()) << c.what;
            continue;
        }
        ASSERT_NE(nullptr, tree.get()) << c.what;
        EXPECT_LE(TreeDepth(tree.get()), CLayoutBuilder::MAX_NESTING) << c.what;
        EXPECT_GE(TreeDepth(tree.get()), CLayoutBuilder::MAX_NESTING / 2) << c.what;
    }
}
