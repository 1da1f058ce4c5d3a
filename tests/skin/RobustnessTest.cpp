// Damaged archives and documents through every reader operation. Each input sits
// right in front of an inaccessible page, so reading past its end crashes the
// test. A test passes when nothing crashes or hangs and every call returns one of
// the reader's result codes (or, for documents, a known message).
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "SkinTestUtil.h"
#include "ZipBuilder.h"
#include "support/TestSupport.h"
#include "ui/core/UiZip.h"
#include "ui/core/XmlMarkup.h"

using namespace SkinUI;
using SkinTest::GuardedCopy;
using SkinTest::IsKnownZipResult;
using SkinTest::ZipCloser;

namespace {

std::string Letters(size_t n, uint32_t seed)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525 + 1013904223;
        s += static_cast<char>('a' + (seed >> 27));
    }
    return s;
}

// Stored, deflated, encrypted, a folder, a trailing descriptor and a time block:
// every path through the reader in about a kilobyte.
std::string BaseArchive(ZipTest::Layout* layout)
{
    std::vector<ZipTest::Item> items(5);
    items[0].name = "a.txt";
    items[0].data = Letters(100, 1);
    items[1].name = "dir/";
    items[1].external = 0x41ed0010;
    items[2].name = "dir/b.xml";
    items[2].data = "<Window size=\"400,300\"><Label text=\"" + Letters(200, 2) + "\"/></Window>";
    items[2].deflate = true;
    items[2].unixTime = true;
    items[2].unixTimeFlags = 3;
    items[2].unixTimes = {1600000000, 1600000001};
    items[3].name = "s.txt";
    items[3].data = Letters(150, 3);
    items[3].deflate = true;
    items[3].password = "pw";
    items[4].name = "d.txt";
    items[4].data = Letters(80, 4);
    items[4].deflate = true;
    items[4].descriptor = true;
    items[4].host = 0;
    items[4].external = 0x21;
    return ZipTest::Build(items, layout);
}

class Counter {
public:
    void Check(ZipResult r, const char* what)
    {
        ++m_calls;
        if (!IsKnownZipResult(r)) {
            ADD_FAILURE() << what << " returned 0x" << std::hex << r << " for input " << m_input;
        }
    }
    void NextInput(const std::string& label) { m_input = label; ++m_inputs; }
    int Inputs() const { return m_inputs; }
    int Calls() const { return m_calls; }

private:
    std::string m_input;
    int m_inputs = 0;
    int m_calls = 0;
};

// Every operation on one open archive.
void ExerciseOpen(ZipArchiveHandle zip, Counter& c, const std::wstring& folder, bool toFiles)
{
    ZipEntryInfo info;
    c.Check(GetZipItem(zip, -1, &info), "GetZipItem(-1)");
    int count = info.index < 12 ? info.index : 12;
    for (int i = 0; i < count; ++i) {
        ZipEntryInfo entry;
        ZipResult r = GetZipItem(zip, i, &entry);
        c.Check(r, "GetZipItem");
        if (r == ZIP_OK) {
            EXPECT_LT(wcslen(entry.name), static_cast<size_t>(MAX_PATH));
            int index;
            c.Check(FindZipItem(zip, entry.name, true, &index, &entry), "FindZipItem");
        }
        std::string out;
        c.Check(SkinTest::UnzipAll(zip, i, &out, 65536), "UnzipItemToMemory");
        // In small pieces, abandoned midway now and then.
        char piece[7];
        for (int calls = 0; calls < 200; ++calls) {
            ZipResult p = UnzipItemToMemory(zip, i, piece, sizeof(piece));
            c.Check(p, "UnzipItemToMemory(piece)");
            if (p != ZIP_MORE) break;
        }
        if (toFiles) {
            c.Check(UnzipItemToFile(zip, i, (L"out" + std::to_wstring(i) + L".bin").c_str()), "UnzipItemToFile");
            HANDLE file = CreateFileW((folder + L"handle.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                      nullptr);
            c.Check(UnzipItemToHandle(zip, i, file), "UnzipItemToHandle");
            CloseHandle(file);
        }
    }
    int index;
    c.Check(FindZipItem(zip, L"missing.txt", true, &index, &info), "FindZipItem(missing)");
    c.Check(GetZipItem(zip, count + 1000, &info), "GetZipItem(out of range)");
}

void Exercise(const std::string& bytes, const std::string& label, Counter& c, const std::wstring& folder,
              bool toFiles, bool viaFile)
{
    c.NextInput(label);
    GuardedCopy guarded(bytes);
    ZipArchiveHandle zip = OpenZipMemory(guarded.Data(), guarded.Size(), "pw");
    c.Check(GetLastZipResult(), "OpenZipMemory");
    if (zip) {
        SetZipBaseFolder(zip, folder.c_str());
        ExerciseOpen(zip, c, folder, toFiles);
        c.Check(CloseZip(zip), "CloseZip");
    }
    if (viaFile) {
        std::wstring path = folder + L"input.zip";
        ASSERT_TRUE(TestSupport::WriteFileBytes(path, bytes));
        zip = OpenZipFile(path.c_str(), "pw");
        c.Check(GetLastZipResult(), "OpenZipFile");
        if (zip) {
            SetZipBaseFolder(zip, folder.c_str());
            ExerciseOpen(zip, c, folder, false);
            c.Check(CloseZip(zip), "CloseZip");
        }
    }
}

void SetField(std::string& s, size_t at, int width, uint32_t value)
{
    for (int b = 0; b < width && at + b < s.size(); ++b) s[at + b] = static_cast<char>(value >> (8 * b));
}

uint32_t GetField(const std::string& s, size_t at, int width)
{
    uint32_t v = 0;
    for (int b = 0; b < width; ++b) v |= static_cast<uint32_t>(static_cast<unsigned char>(s[at + b])) << (8 * b);
    return v;
}

// A real archive written by Debian's zip, when the fixtures are there.
std::string RealArchive()
{
    std::string bytes;
    TestSupport::ReadFileBytes(TestSupport::TestDataFolder() + L"skin\\hostile.zip", &bytes);
    return bytes;
}

} // namespace

TEST(ZipRobustness, TruncatedAtEveryLength)
{
    TestSupport::TempFolder temp;
    Counter c;
    ZipTest::Layout layout;
    std::string base = BaseArchive(&layout);
    Exercise(base, "intact", c, temp.Path(), true, true);
    for (size_t n = 0; n < base.size(); ++n)
        Exercise(base.substr(0, n), "first " + std::to_string(n) + " bytes", c, temp.Path(), n % 4 == 0, n % 16 == 0);
    // Cut from the front: the end record survives, every offset now points wrong.
    for (size_t n = 1; n < base.size(); n += 5)
        Exercise(base.substr(n), "without first " + std::to_string(n), c, temp.Path(), n % 20 == 1, false);
    std::string real = RealArchive();
    for (size_t n = 0; n < real.size(); ++n)
        Exercise(real.substr(0, n), "real, first " + std::to_string(n), c, temp.Path(), n % 4 == 0, false);
    RecordProperty("inputs", c.Inputs());
    RecordProperty("calls", c.Calls());
    std::printf("truncations: %d archives, %d calls\n", c.Inputs(), c.Calls());
}

TEST(ZipRobustness, OneBitFlippedAtEveryByte)
{
    TestSupport::TempFolder temp;
    Counter c;
    std::string base = BaseArchive(nullptr);
    for (size_t at = 0; at < base.size(); ++at) {
        std::string bad = base;
        bad[at] ^= static_cast<char>(1 << (at * 3 % 8));
        Exercise(bad, "bit flip at " + std::to_string(at), c, temp.Path(), at % 4 == 0, at % 32 == 0);
    }
    std::string real = RealArchive();
    for (size_t at = 0; at < real.size(); ++at) {
        std::string bad = real;
        bad[at] ^= static_cast<char>(0x80 >> (at % 8));
        Exercise(bad, "real, bit flip at " + std::to_string(at), c, temp.Path(), at % 4 == 0, false);
    }
    std::printf("bit flips: %d archives, %d calls\n", c.Inputs(), c.Calls());
}

TEST(ZipRobustness, HeaderFieldsSetToHostileValues)
{
    TestSupport::TempFolder temp;
    Counter c;
    ZipTest::Layout layout;
    std::string base = BaseArchive(&layout);
    uint32_t size = static_cast<uint32_t>(base.size());
    auto mutate = [&](size_t header, const ZipTest::Field& f) {
        uint32_t original = GetField(base, header + f.offset, f.width);
        uint32_t max = f.width == 2 ? 0xffffu : 0xffffffffu;
        for (uint32_t value : {0u, 1u, max, max - 1, size, size + 1, 0x7fffffffu & max, original - 1, original + 1,
                               original * 2}) {
            std::string bad = base;
            SetField(bad, header + f.offset, f.width, value);
            Exercise(bad, std::string(f.what) + " = " + std::to_string(value), c, temp.Path(), value == 0, false);
        }
    };
    for (size_t i = 0; i < layout.local.size(); ++i) {
        for (const auto& f : ZipTest::kLocalFields) mutate(layout.local[i], f);
        for (const auto& f : ZipTest::kCentralFields) mutate(layout.central[i], f);
    }
    for (const auto& f : ZipTest::kEndFields) mutate(layout.end, f);
    std::printf("header fields: %d archives, %d calls\n", c.Inputs(), c.Calls());
}

TEST(ZipRobustness, LocalHeaderOffsetSlidAcrossTheEnd)
{
    // A local header said to start in the archive's last bytes (or past them)
    // cannot hold even its fixed part: the archive is damaged, and nothing may
    // be read beyond its end to find that out.
    TestSupport::TempFolder temp;
    ZipTest::Layout layout;
    std::string base = BaseArchive(&layout);
    uint32_t size = static_cast<uint32_t>(base.size());
    std::wstring path = temp.Path() + L"input.zip";
    for (size_t i = 0; i < layout.central.size(); ++i) {
        for (uint32_t offset = size - 40; offset <= size + 1; ++offset) {
            std::string bad = base;
            SetField(bad, layout.central[i] + 42, 4, offset);
            std::string label = "item " + std::to_string(i) + ", local header at size - " +
                                std::to_string(static_cast<int>(size) - static_cast<int>(offset));
            GuardedCopy guarded(bad);
            ZipCloser memory(OpenZipMemory(guarded.Data(), guarded.Size(), "pw"));
            ASSERT_NE(nullptr, memory.zip) << label;
            ASSERT_TRUE(TestSupport::WriteFileBytes(path, bad));
            ZipCloser file(OpenZipFile(path.c_str(), "pw"));
            ASSERT_NE(nullptr, file.zip) << label;
            for (ZipArchiveHandle zip : {memory.zip, file.zip}) {
                const char* source = zip == memory.zip ? " (memory)" : " (file)";
                ZipEntryInfo entry;
                EXPECT_EQ(ZIP_CORRUPT, GetZipItem(zip, static_cast<int>(i), &entry)) << label << source;
                std::string out;
                EXPECT_EQ(ZIP_CORRUPT, SkinTest::UnzipAll(zip, static_cast<int>(i), &out)) << label << source;
            }
        }
    }
}

TEST(ZipRobustness, RandomDamage)
{
    TestSupport::TempFolder temp;
    Counter c;
    std::string base = BaseArchive(nullptr);
    uint32_t seed = 2024;
    auto next = [&seed]() {
        seed = seed * 1103515245 + 12345;
        return seed >> 8;
    };
    for (int round = 0; round < 600; ++round) {
        std::string bad = base;
        int hits = 1 + next() % 6;
        for (int h = 0; h < hits; ++h) bad[next() % bad.size()] = static_cast<char>(next());
        if (round % 3 == 0) bad.resize(next() % bad.size()); // and cut short
        Exercise(bad, "random damage round " + std::to_string(round), c, temp.Path(), round % 5 == 0, false);
    }
    std::printf("random damage: %d archives, %d calls\n", c.Inputs(), c.Calls());
}

// ---------------------------------------------------------------------------------
// Documents.

namespace {

const std::set<std::wstring>& KnownMessages()
{
    static const std::set<std::wstring> known = {
        L"Expected start tag",           L"Error parsing element name",     L"Expected start-tag closing",
        L"Expected end-tag start",       L"Unmatched closing tag",          L"Error while parsing attributes",
        L"Expected attribute value",     L"Error while parsing attribute string",
        L"Missing byte-order mark",      L"Elements nested too deeply",
    };
    return known;
}

const char kSkin[] =
    "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<!-- main window -->\r\n"
    "<Window size=\"640,480\" caption=\"0,0,0,36\" roundcorner=\"4,4\">\r\n"
    "  <Font id=\"0\" name=\"\xe5\xbe\xae\xe8\xbd\xaf\xe9\x9b\x85\xe9\xbb\x91\" size=\"12\" bold=\"true\"/>\r\n"
    "  <VerticalLayout bkcolor=\"#FFFFFFFF\">\r\n"
    "    <Label name=\"title\" text=\"Tom &amp; Jerry &lt;3 &quot;x&quot;\" textcolor=\"#FF000000\">caption</Label>\r\n"
    "    <Button name=\"ok\" normalimage=\"file='btn.png' source='0,0,96,36'\" />\r\n"
    "    <Option group=\"g\" selected=\"true\"/><?pi?>\r\n"
    "  </VerticalLayout>\r\n"
    "</Window>\r\n";

int g_visited = 0;

// Touches every byte a client could read.
void Walk(const CXmlNode& node, int depth)
{
    ASSERT_LT(depth, 2000);
    for (CXmlNode n = node; n.IsValid(); n = n.GetSibling()) {
        ++g_visited;
        g_visited += static_cast<int>(wcslen(n.GetName()) + wcslen(n.GetValue())) & 1;
        int count = n.GetAttributeCount();
        ASSERT_LE(count, CXmlNode::MAX_ATTRIBUTES);
        for (int i = 0; i < count; ++i) {
            g_visited += static_cast<int>(wcslen(n.GetAttributeName(i)) + wcslen(n.GetAttributeValue(i))) & 1;
            wchar_t buffer[8];
            n.GetAttributeValue(i, buffer, 8);
            n.HasAttribute(n.GetAttributeName(i));
        }
        n.GetAttributeValue(L"name");
        n.GetChild(L"Button");
        n.GetParent();
        Walk(n.GetChild(), depth + 1);
    }
}

int g_documents = 0;

void Check(const std::string& bytes, XmlEncoding encoding, const std::string& label)
{
    ++g_documents;
    GuardedCopy guarded(bytes);
    guarded.Protect();
    CXmlDocument doc;
    bool ok = doc.LoadFromBytes(guarded.Data(), guarded.Size(), encoding);
    if (ok) {
        Walk(doc.GetRoot(), 0);
    } else {
        EXPECT_TRUE(KnownMessages().count(doc.GetErrorMessage())) << label << ": " << TestSupport::ToUtf8(doc.GetErrorMessage());
        EXPECT_LT(wcslen(doc.GetErrorLocation()), 50u);
        EXPECT_FALSE(doc.GetRoot().IsValid());
    }
}

std::string Utf16(const std::string& utf8, bool bigEndian)
{
    std::wstring wide = TestSupport::FromUtf8(utf8);
    std::string out = bigEndian ? "\xfe\xff" : "\xff\xfe";
    for (wchar_t ch : wide) {
        char lo = static_cast<char>(ch & 0xff), hi = static_cast<char>(ch >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

} // namespace

TEST(XmlRobustness, TruncatedAndSubstitutedDocuments)
{
    std::string skin(kSkin);
    for (size_t n = 0; n <= skin.size(); ++n) {
        Check(skin.substr(0, n), XmlEncoding::Utf8, "utf-8 first " + std::to_string(n));
        if (n % 3 == 0) Check(skin.substr(0, n), XmlEncoding::Ansi, "ansi first " + std::to_string(n));
    }
    std::string wide = Utf16(skin.substr(3), false), big = Utf16(skin.substr(3), true);
    for (size_t n = 0; n <= wide.size(); n += 1) Check(wide.substr(0, n), XmlEncoding::Unicode, "utf-16 first " + std::to_string(n));
    for (size_t n = 0; n <= big.size(); n += 3) Check(big.substr(0, n), XmlEncoding::Unicode, "utf-16be first " + std::to_string(n));
    // Every markup character in every place.
    const char specials[] = {'<', '>', '/', '"', '\'', '=', '&', '!', '?', ' ', '\0', ';', '-'};
    for (size_t at = 0; at < skin.size(); ++at) {
        for (char ch : specials) {
            std::string bad = skin;
            bad[at] = ch;
            Check(bad, XmlEncoding::Utf8, "'" + std::string(1, ch) + "' at " + std::to_string(at));
        }
    }
    std::printf("documents: %d, elements visited: %d\n", g_documents, g_visited);
}

TEST(XmlRobustness, BitFlipsAndOddShapes)
{
    std::string skin(kSkin);
    for (size_t at = 0; at < skin.size(); ++at) {
        std::string bad = skin;
        bad[at] ^= static_cast<char>(1 << (at % 8));
        Check(bad, XmlEncoding::Utf8, "bit flip at " + std::to_string(at));
        Check(bad, XmlEncoding::Ansi, "ansi bit flip at " + std::to_string(at));
        Check(Utf16(bad, at % 2 == 0), XmlEncoding::Unicode, "utf-16 bit flip at " + std::to_string(at));
    }
    const char* shapes[] = {
        "<", "<<<<", "</", "</A>", "<A/></A>", "<A>&", "<A>&amp", "<A x=\"&", "<A x=\"&quot", "<!", "<!-", "<?", "<?x",
        "<A><!-- -", "<A x=\"1\" x=\"2\" x=\"3\"/>", "<A =\"1\"/>", "<A\"/>", "<A/ >", "< A / >", "<A\x01/>",
        "\xff\xfe", "\xef\xbb", "<A>\xc3</A>", "<A x=\"\xe4\xb8\"/>", "<A></A><B></B></A>", "   ", "<A>\r\n\t</A>  x",
    };
    for (const char* shape : shapes) {
        Check(shape, XmlEncoding::Utf8, shape);
        Check(shape, XmlEncoding::Ansi, shape);
        Check(shape, XmlEncoding::Unicode, shape);
    }
    // Nesting deeper than any skin: refused, not a stack overflow.
    std::string deep;
    for (int i = 0; i < 200000; ++i) deep += "<a>";
    Check(deep, XmlEncoding::Utf8, "200000 open elements");
    CXmlDocument doc;
    std::string ok;
    for (int i = 0; i < 900; ++i) ok += "<a>";
    for (int i = 0; i < 900; ++i) ok += "</a>";
    EXPECT_TRUE(doc.LoadFromBytes(reinterpret_cast<const BYTE*>(ok.data()), static_cast<DWORD>(ok.size())));
    EXPECT_FALSE(doc.LoadFromBytes(reinterpret_cast<const BYTE*>(deep.data()), static_cast<DWORD>(deep.size())));
    EXPECT_STREQ(L"Elements nested too deeply", doc.GetErrorMessage());
    // Many attributes and many siblings.
    std::string wide = "<A";
    for (int i = 0; i < 300; ++i) wide += " a" + std::to_string(i) + "=\"&amp;" + std::to_string(i) + "\"";
    wide += ">";
    for (int i = 0; i < 5000; ++i) wide += "<b x=\"1\"/>";
    Check(wide + "</A>", XmlEncoding::Utf8, "wide document");
    std::printf("documents: %d, elements visited: %d\n", g_documents, g_visited);
}
