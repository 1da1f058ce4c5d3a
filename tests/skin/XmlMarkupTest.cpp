// The skin XML parser: structure, attributes, references, errors and decoding.
#include <gtest/gtest.h>

#include <string>

#include "SkinTestUtil.h"
#include "support/TestSupport.h"
#include "ui/core/XmlMarkup.h"

using namespace SkinUI;

namespace {

std::string Utf16Bytes(const std::wstring& text, bool bigEndian)
{
    std::string bytes = bigEndian ? std::string("\xfe\xff", 2) : std::string("\xff\xfe", 2);
    for (wchar_t c : text) {
        char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xff);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

const BYTE* Bytes(const std::string& s) { return reinterpret_cast<const BYTE*>(s.data()); }

} // namespace

TEST(XmlParse, AttributesOfAnEmptyElement)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(L"<Window a=\"1\" b=\"x &amp; y\"/>"));
    CXmlNode root = doc.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ(L"Window", root.GetName());
    EXPECT_STREQ(L"", root.GetValue());
    EXPECT_EQ(2, root.GetAttributeCount());
    EXPECT_STREQ(L"a", root.GetAttributeName(0));
    EXPECT_STREQ(L"1", root.GetAttributeValue(0));
    EXPECT_STREQ(L"b", root.GetAttributeName(1));
    EXPECT_STREQ(L"x & y", root.GetAttributeValue(L"B"));
    EXPECT_STREQ(L"", root.GetAttributeValue(L"c"));
    EXPECT_STREQ(L"", root.GetAttributeName(2));
    EXPECT_STREQ(L"", root.GetAttributeValue(-1));
    EXPECT_TRUE(root.HasAttribute(L"A"));
    EXPECT_FALSE(root.HasAttribute(L"c"));
    EXPECT_FALSE(root.HasChildren());
    EXPECT_FALSE(root.HasSiblings());
    EXPECT_FALSE(root.GetParent().IsValid());
    EXPECT_EQ(2u, doc.GetElementCount()); // record 0 is reserved

    wchar_t buffer[4];
    EXPECT_TRUE(root.GetAttributeValue(L"b", buffer, 4));
    EXPECT_STREQ(L"x &", buffer); // cut and always terminated
    EXPECT_TRUE(root.GetAttributeValue(0, buffer, 4));
    EXPECT_STREQ(L"1", buffer);
    EXPECT_FALSE(root.GetAttributeValue(L"zz", buffer, 4));
    EXPECT_FALSE(root.GetAttributeValue(5, buffer, 4));
}

TEST(XmlParse, SpacingQuotingAndMarkupInsideValues)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(L"<A  x = \"a>b/c\"y=\"\"\tz=\"&quot;q&quot;\" ><B p=\"1\" /></A>"));
    CXmlNode a = doc.GetRoot();
    EXPECT_STREQ(L"A", a.GetName());
    EXPECT_EQ(3, a.GetAttributeCount());
    EXPECT_STREQ(L"a>b/c", a.GetAttributeValue(L"x"));
    EXPECT_STREQ(L"", a.GetAttributeValue(L"y"));
    EXPECT_TRUE(a.HasAttribute(L"y"));
    EXPECT_STREQ(L"\"q\"", a.GetAttributeValue(L"z"));
    CXmlNode b = a.GetChild();
    EXPECT_STREQ(L"B", b.GetName());
    EXPECT_STREQ(L"1", b.GetAttributeValue(L"p"));
    EXPECT_EQ(1, b.GetAttributeCount());
}

TEST(XmlParse, TreeNavigation)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- skin -->\r\n"
                         L"<Window>\r\n  <Font id=\"0\"/>\r\n  <VerticalLayout name=\"v\">\r\n"
                         L"    <Label text=\"hi\">caption</Label>\r\n    <Button/>\r\n  </VerticalLayout>\r\n"
                         L"  <!-- <Ghost/> -->\r\n  <Default/><?pi stuff?>\r\n</Window>\r\n"));
    CXmlNode window = doc.GetRoot();
    EXPECT_STREQ(L"Window", window.GetName());
    CXmlNode font = window.GetChild();
    EXPECT_STREQ(L"Font", font.GetName());
    CXmlNode layout = font.GetSibling();
    EXPECT_STREQ(L"VerticalLayout", layout.GetName());
    CXmlNode label = layout.GetChild(L"label");
    EXPECT_STREQ(L"Label", label.GetName());
    EXPECT_STREQ(L"caption", label.GetValue());
    EXPECT_STREQ(L"hi", label.GetAttributeValue(L"TEXT"));
    EXPECT_STREQ(L"Button", label.GetSibling().GetName());
    EXPECT_FALSE(label.GetSibling().HasSiblings());
    EXPECT_STREQ(L"VerticalLayout", label.GetParent().GetName());
    EXPECT_STREQ(L"Window", label.GetParent().GetParent().GetName());
    CXmlNode last = layout.GetSibling();
    EXPECT_STREQ(L"Default", last.GetName()); // the comment made no element
    EXPECT_FALSE(last.HasSiblings());
    EXPECT_FALSE(window.GetChild(L"Ghost").IsValid());
    EXPECT_EQ(7u, doc.GetElementCount());

    CXmlNode invalid;
    EXPECT_FALSE(invalid.IsValid());
    EXPECT_EQ(nullptr, invalid.GetName());
    EXPECT_EQ(nullptr, invalid.GetValue());
    EXPECT_EQ(nullptr, invalid.GetAttributeValue(L"x"));
    EXPECT_EQ(nullptr, invalid.GetAttributeName(0));
    EXPECT_EQ(0, invalid.GetAttributeCount());
    EXPECT_FALSE(invalid.HasChildren());
    EXPECT_FALSE(invalid.GetChild().IsValid());
    EXPECT_FALSE(invalid.GetSibling().IsValid());
    EXPECT_FALSE(invalid.GetParent().IsValid());
}

TEST(XmlParse, EndTagsAreCaseSensitiveButLookupsAreNot)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(L"<A><B/></A>"));
    EXPECT_STREQ(L"B", doc.GetRoot().GetChild(L"b").GetName());
    EXPECT_FALSE(doc.Load(L"<A></a>"));
    EXPECT_STREQ(L"Unmatched closing tag", doc.GetErrorMessage());
    EXPECT_STREQ(L"a>", doc.GetErrorLocation());
}

TEST(XmlParse, ErrorsReportTheirMessageAndWhereTheyHappened)
{
    struct { const wchar_t* text; const wchar_t* message; const wchar_t* location; } table[] = {
        {L"<A><B/>text</A>", L"Expected start tag", L"text</A>"},
        {L"stray text", L"Expected start tag", L"stray text"},
        {L"<A", L"Error parsing element name", L""},
        {L"<A x=\"1\"/ >", L"Expected start-tag closing", L"/ >"},
        {L"<A><B><C>text", L"Expected end-tag start", L""},
        {L"<A></A x>", L"Unmatched closing tag", L">"},
        {L"<A></AB>", L"Unmatched closing tag", L">"},
        {L"<A><B></C></A>", L"Unmatched closing tag", L"C></A>"},
        {L"<A x/>", L"Error while parsing attributes", L"/>"},
        {L"<A x=1/>", L"Expected attribute value", L"/>"},
        {L"<A x='1'/>", L"Expected attribute value", L"1'/>"},
        {L"<A x=", L"Expected attribute value", L""},
        {L"<A x=\"1/>", L"Error while parsing attribute string", L""},
    };
    for (const auto& row : table) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.Load(row.text)) << TestSupport::ToUtf8(row.text);
        EXPECT_STREQ(row.message, doc.GetErrorMessage()) << TestSupport::ToUtf8(row.text);
        EXPECT_STREQ(row.location, doc.GetErrorLocation()) << TestSupport::ToUtf8(row.text);
        EXPECT_FALSE(doc.GetRoot().IsValid());
        EXPECT_EQ(0u, doc.GetElementCount());
    }
    // The location keeps at most 49 characters; copies are cut and terminated.
    CXmlDocument doc;
    EXPECT_FALSE(doc.Load((L"<A><B/>" + std::wstring(80, L'y') + L"</A>").c_str()));
    EXPECT_EQ(std::wstring(49, L'y'), doc.GetErrorLocation());
    wchar_t small[5];
    doc.GetLastErrorMessage(small, 5);
    EXPECT_STREQ(L"Expe", small);
    doc.GetLastErrorLocation(small, 5);
    EXPECT_STREQ(L"yyyy", small);
}

TEST(XmlParse, UnclosedRootsStillLoad)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(L"<A><B/>"));
    CXmlNode a = doc.GetRoot();
    EXPECT_STREQ(L"A", a.GetName());
    EXPECT_STREQ(L"B", a.GetChild().GetName());
    EXPECT_FALSE(a.GetChild().HasSiblings());

    ASSERT_TRUE(doc.Load(L"<A t=\"1\">x &amp; y"));
    EXPECT_STREQ(L"A", doc.GetRoot().GetName());
    EXPECT_STREQ(L"x & y", doc.GetRoot().GetValue());
    EXPECT_STREQ(L"1", doc.GetRoot().GetAttributeValue(L"t"));

    ASSERT_TRUE(doc.Load(L"<A><B>inner"));
    EXPECT_STREQ(L"B", doc.GetRoot().GetChild().GetName());
    EXPECT_STREQ(L"inner", doc.GetRoot().GetChild().GetValue());
}

TEST(XmlParse, DeclarationAndCommentAloneMakeAnEmptyDocument)
{
    CXmlDocument doc;
    EXPECT_TRUE(doc.Load(L"<?xml version=\"1.0\"?>\n<!-- nothing here -->\n"));
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_TRUE(doc.Load(L""));
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_TRUE(doc.Load(L"<!-- unterminated comment"));
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

TEST(XmlParse, OnlyTheFiveNamedReferencesAreDecoded)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(L"<A t=\"&#65; &nbsp; &amp;lt; &lt;&gt;&quot;&apos; &&amp; &\" u=\"2\">"
                         L"&lt;b&gt; &#65;&amp;</A>"));
    CXmlNode a = doc.GetRoot();
    EXPECT_STREQ(L"&#65; &nbsp; &lt; <>\"' && &", a.GetAttributeValue(L"t"));
    EXPECT_STREQ(L"2", a.GetAttributeValue(L"u")); // still found behind the shortened value
    EXPECT_EQ(2, a.GetAttributeCount());
    EXPECT_STREQ(L"<b> &#65;&", a.GetValue());
}

TEST(XmlParse, ANodeSeesAtMostSixtyFourAttributes)
{
    std::wstring text = L"<A";
    for (int i = 0; i < 70; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i * 10) + L"\"";
    text += L"/>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(text.c_str()));
    CXmlNode a = doc.GetRoot();
    EXPECT_EQ(64, a.GetAttributeCount());
    EXPECT_STREQ(L"630", a.GetAttributeValue(L"a63"));
    EXPECT_STREQ(L"", a.GetAttributeValue(L"a64"));
    EXPECT_STREQ(L"a63", a.GetAttributeName(63));
    EXPECT_STREQ(L"", a.GetAttributeName(64));
}

TEST(XmlParse, TheElementTableGrowsByHalfPlusFiveHundred)
{
    auto build = [](int elements) {
        std::wstring text = L"<R>";
        for (int i = 1; i < elements; ++i) text += L"<e/>";
        return text + L"</R>";
    };
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(build(499).c_str()));
    EXPECT_EQ(500u, doc.GetElementCount());
    EXPECT_EQ(500u, doc.GetElementCapacity());
    ASSERT_TRUE(doc.Load(build(500).c_str()));
    EXPECT_EQ(501u, doc.GetElementCount());
    EXPECT_EQ(1250u, doc.GetElementCapacity());
    ASSERT_TRUE(doc.Load(build(1251).c_str()));
    EXPECT_EQ(1252u, doc.GetElementCount());
    EXPECT_EQ(2375u, doc.GetElementCapacity());
    // Offsets, not pointers: the tree survives every move of the table.
    int children = 0;
    for (CXmlNode n = doc.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling()) {
        EXPECT_STREQ(L"e", n.GetName());
        ++children;
    }
    EXPECT_EQ(1250, children);
}

TEST(XmlParse, WhitespaceIsKeptUnlessCollapsingIsAskedFor)
{
    const wchar_t* text = L"<A t=\"a   b\" u=\"z\">x \t  y</A>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(text));
    EXPECT_STREQ(L"a   b", doc.GetRoot().GetAttributeValue(L"t"));
    EXPECT_STREQ(L"x \t  y", doc.GetRoot().GetValue());
    doc.SetPreserveWhitespace(false);
    ASSERT_TRUE(doc.Load(text));
    EXPECT_STREQ(L"a b", doc.GetRoot().GetAttributeValue(L"t"));
    EXPECT_STREQ(L"z", doc.GetRoot().GetAttributeValue(L"u"));
    EXPECT_STREQ(L"x y", doc.GetRoot().GetValue());
}

TEST(XmlParse, ReloadingReplacesAndAFailedLoadLeavesNothing)
{
    CXmlDocument doc(L"<First/>");
    EXPECT_STREQ(L"First", doc.GetRoot().GetName());
    EXPECT_FALSE(doc.Load(L"<Broken"));
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_STREQ(L"Error parsing element name", doc.GetErrorMessage());
    doc.Release(); // the error stays readable
    EXPECT_STREQ(L"Error parsing element name", doc.GetErrorMessage());
    EXPECT_TRUE(doc.Load(L"<Second>\u4e2d\u6587</Second>"));
    EXPECT_STREQ(L"", doc.GetErrorMessage());
    EXPECT_STREQ(L"\u4e2d\u6587", doc.GetRoot().GetValue());
}

TEST(XmlParse, NonAsciiNamesAndValues)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.Load(L"<\u7a97\u53e3 \u540d=\"\u786e\u5b9a\" text=\"\U0001F600\"/>"));
    CXmlNode root = doc.GetRoot();
    EXPECT_STREQ(L"\u7a97\u53e3", root.GetName());
    EXPECT_STREQ(L"\u786e\u5b9a", root.GetAttributeValue(L"\u540d"));
    EXPECT_STREQ(L"\U0001F600", root.GetAttributeValue(L"text"));
}

TEST(XmlDecode, Utf8WithAndWithoutByteOrderMark)
{
    std::string body = "<A v=\"\xe4\xb8\xad\"><B/></A>";
    for (const std::string& bytes : {body, "\xef\xbb\xbf" + body}) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromBytes(Bytes(bytes), static_cast<DWORD>(bytes.size()), XmlEncoding::Utf8));
        EXPECT_STREQ(L"A", doc.GetRoot().GetName());
        EXPECT_STREQ(L"\u4e2d", doc.GetRoot().GetAttributeValue(L"v"));
        EXPECT_STREQ(L"B", doc.GetRoot().GetChild().GetName());
    }
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadFromBytes(Bytes("\xef\xbb\xbf"), 3, XmlEncoding::Utf8)); // a mark and nothing else
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

TEST(XmlDecode, Utf16InBothByteOrders)
{
    std::wstring text = L"<A v=\"\u4e2d\u6587\"><B w=\"x\"/></A>";
    SkinTest::GuardedCopy little(Utf16Bytes(text, false));
    SkinTest::GuardedCopy big(Utf16Bytes(text, true) + "\x00"); // an odd trailing byte is ignored
    little.Protect();
    big.Protect(); // read-only input, as a module resource would be
    for (SkinTest::GuardedCopy* input : {&little, &big}) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromBytes(input->Data(), input->Size(), XmlEncoding::Unicode));
        EXPECT_STREQ(L"\u4e2d\u6587", doc.GetRoot().GetAttributeValue(L"v"));
        EXPECT_STREQ(L"x", doc.GetRoot().GetChild().GetAttributeValue(L"w"));
    }
}

TEST(XmlDecode, Utf16WithoutAMarkIsRefused)
{
    CXmlDocument doc(L"<Old/>");
    std::string noMark = Utf16Bytes(L"<A/>", false).substr(2);
    EXPECT_FALSE(doc.LoadFromBytes(Bytes(noMark), static_cast<DWORD>(noMark.size()), XmlEncoding::Unicode));
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_STRNE(L"", doc.GetErrorMessage());
    EXPECT_FALSE(doc.LoadFromBytes(Bytes("\xff"), 1, XmlEncoding::Unicode));
    EXPECT_FALSE(doc.LoadFromBytes(nullptr, 0, XmlEncoding::Unicode));
    EXPECT_TRUE(doc.LoadFromBytes(Bytes("\xff\xfe"), 2, XmlEncoding::Unicode)); // a mark alone: empty text
}

TEST(XmlDecode, AnsiText)
{
    std::string bytes = "<A v=\"plain\"/>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes(Bytes(bytes), static_cast<DWORD>(bytes.size()), XmlEncoding::Ansi));
    EXPECT_STREQ(L"plain", doc.GetRoot().GetAttributeValue(L"v"));
}
