// The resource location (folder or archive), loading skin files through it, and
// the skin's alias table.
#include <gtest/gtest.h>

#include <string>

#include "SkinTestUtil.h"
#include "ZipBuilder.h"
#include "support/TestSupport.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"
#include "ui/core/XmlMarkup.h"

using namespace SkinUI;

namespace {

const DWORD kLimit = 4096 * 1024;

// A document of exactly `size` bytes: <A> padding </A>.
std::string DocumentOfSize(size_t size)
{
    std::string doc = "<A>";
    doc += std::string(size - 7, ' ');
    return doc + "</A>";
}

ZipTest::Item MakeResourceItem(const std::string& name, const std::string& data, bool deflate = true)
{
    ZipTest::Item item;
    item.name = name;
    item.data = data;
    item.deflate = deflate;
    return item;
}

// Each test starts from a location with nothing configured.
class SkinLocation : public testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset()
    {
        CUiResourceLocation::Shutdown();
        CUiResourceLocation::SetSkinFolder(L"");
        CUiSkinAlias::Destroy();
    }
    // Built once per test; the location keeps pointing at it, so it must live as long.
    std::string m_archive;
};

std::string Message(const CXmlDocument& doc) { return TestSupport::ToUtf8(doc.GetErrorMessage()); }

} // namespace

TEST_F(SkinLocation, InstancesAndFolder)
{
    HINSTANCE self = GetModuleHandleW(nullptr);
    CUiResourceLocation::SetInstance(self);
    CUiResourceLocation::SetResourceInstance(nullptr);
    EXPECT_EQ(self, CUiResourceLocation::GetInstance());
    EXPECT_EQ(self, CUiResourceLocation::GetResourceInstance());
    HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
    CUiResourceLocation::SetResourceInstance(other);
    EXPECT_EQ(other, CUiResourceLocation::GetResourceInstance());
    CUiResourceLocation::SetResourceInstance(nullptr);

    CUiResourceLocation::SetSkinFolder(L"C:\\skin");
    EXPECT_STREQ(L"C:\\skin\\", CUiResourceLocation::GetSkinFolder());
    CUiResourceLocation::SetSkinFolder(L"C:/skin/");
    EXPECT_STREQ(L"C:/skin/", CUiResourceLocation::GetSkinFolder());
    CUiResourceLocation::SetSkinFolder(L"");
    EXPECT_STREQ(L"", CUiResourceLocation::GetSkinFolder());
    CUiResourceLocation::SetSkinKind(CUiResourceLocation::KIND_ARCHIVE_RESOURCE);
    EXPECT_EQ(4, CUiResourceLocation::GetSkinKind());
}

TEST_F(SkinLocation, FilesFromAFolderWithTheirFailureMessages)
{
    TestSupport::TempFolder temp;
    CUiResourceLocation::SetSkinFolder(temp.Path().c_str());
    CreateDirectoryW((temp.Path() + L"sub").c_str(), nullptr);
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"sub\\main.xml", "\xef\xbb\xbf<Window a=\"1\"/>"));
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"empty.xml", ""));
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"exact.xml", DocumentOfSize(kLimit)));
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"over.xml", DocumentOfSize(kLimit + 1)));
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"broken.xml", "<Window>"));

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(L"sub\\main.xml"));
    EXPECT_STREQ(L"1", doc.GetRoot().GetAttributeValue(L"a"));
    EXPECT_FALSE(doc.LoadFromFile(L"missing.xml"));
    EXPECT_EQ("Error opening file", Message(doc));
    EXPECT_STREQ(L"", doc.GetErrorLocation());
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
    EXPECT_EQ("File is empty", Message(doc));
    EXPECT_TRUE(doc.LoadFromFile(L"exact.xml"));
    EXPECT_STREQ(L"A", doc.GetRoot().GetName());
    EXPECT_FALSE(doc.LoadFromFile(L"over.xml"));
    EXPECT_EQ("File too large", Message(doc));
    EXPECT_TRUE(doc.LoadFromFile(L"broken.xml")); // an unclosed root is accepted
}

TEST_F(SkinLocation, FilesFromAnArchiveInMemory)
{
    ZipTest::Layout layout;
    m_archive = ZipTest::Build({MakeResourceItem("Skin/Main.xml", "<Window caption=\"0,0,0,30\"><Button/></Window>"),
                                MakeResourceItem("Images/BTN.png", "not really a png"),
                                MakeResourceItem("empty.xml", ""),
                                MakeResourceItem("exact.xml", DocumentOfSize(kLimit)),
                                MakeResourceItem("over.xml", DocumentOfSize(kLimit + 1)),
                                MakeResourceItem("bad.xml", "<A>" + std::string(500, 'q') + "</A>", false)},
                               &layout);
    m_archive[layout.local[5] + 30 + 7 + 100] ^= 1; // bad.xml: a changed byte that only the CRC sees
    CUiResourceLocation::SetSkinArchiveInMemory(m_archive.data(), static_cast<DWORD>(m_archive.size()), nullptr);
    EXPECT_STREQ(L"membuffer", CUiResourceLocation::GetArchiveName());
    EXPECT_TRUE(CUiResourceLocation::IsArchiveKeptOpen());
    ASSERT_NE(nullptr, CUiResourceLocation::GetOpenArchive());

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(L"skin\\main.XML")); // backslashes and any case
    EXPECT_STREQ(L"Window", doc.GetRoot().GetName());
    ASSERT_TRUE(doc.LoadFromFile(L"Skin/Main.xml")); // the same item twice in a row
    EXPECT_STREQ(L"Button", doc.GetRoot().GetChild().GetName());
    EXPECT_FALSE(doc.LoadFromFile(L"nothere.xml"));
    EXPECT_EQ("Could not find ziped file", Message(doc));
    EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
    EXPECT_EQ("File is empty", Message(doc));
    EXPECT_TRUE(doc.LoadFromFile(L"exact.xml"));
    EXPECT_FALSE(doc.LoadFromFile(L"over.xml"));
    EXPECT_EQ("File too large", Message(doc));
    EXPECT_FALSE(doc.LoadFromFile(L"bad.xml"));
    EXPECT_EQ("Could not unzip file", Message(doc));

    CUiByteBuffer bytes;
    EXPECT_EQ(SKIN_READ_OK, CUiResourceLocation::ReadSkinFile(L"images\\btn.png", kLimit, &bytes));
    EXPECT_EQ("not really a png", std::string(reinterpret_cast<char*>(bytes.GetData()), bytes.GetSize()));
}

TEST_F(SkinLocation, TheFirstMemoryArchiveStaysInForce)
{
    m_archive = ZipTest::Build({MakeResourceItem("a.xml", "<First/>")});
    std::string second = ZipTest::Build({MakeResourceItem("a.xml", "<Second/>")});
    CUiResourceLocation::SetSkinArchiveInMemory(m_archive.data(), static_cast<DWORD>(m_archive.size()), nullptr);
    ZipArchiveHandle first = CUiResourceLocation::GetOpenArchive();
    CUiResourceLocation::SetSkinArchiveInMemory(second.data(), static_cast<DWORD>(second.size()), L"pw");
    EXPECT_EQ(first, CUiResourceLocation::GetOpenArchive());
    EXPECT_STREQ(L"", CUiResourceLocation::GetArchivePassword());
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(L"a.xml"));
    EXPECT_STREQ(L"First", doc.GetRoot().GetName());
}

TEST_F(SkinLocation, ArchiveFilesOpenedPerReadOrKept)
{
    TestSupport::TempFolder temp;
    ZipTest::Item secret = MakeResourceItem("Layout/win.xml", "<Win/>");
    secret.password = "\xe9t\xe9"; // "été" in code page 1252
    std::wstring archive = temp.Path() + L"skin.zip";
    ASSERT_TRUE(TestSupport::WriteFileBytes(archive, ZipTest::Build({secret})));
    CUiResourceLocation::SetSkinFolder(temp.Path().c_str());
    CXmlDocument doc;

    CUiResourceLocation::SetSkinArchive(L"missing.zip", false, nullptr);
    EXPECT_FALSE(doc.LoadFromFile(L"layout\\win.xml"));
    EXPECT_EQ("Error opening zip file", Message(doc));

    // Opened for each read: the file is not held between reads.
    bool ansi1252 = GetACP() == 1252;
    CUiResourceLocation::SetSkinArchive(L"skin.zip", false, ansi1252 ? L"\u00e9t\u00e9" : L"wrong");
    EXPECT_EQ(nullptr, CUiResourceLocation::GetOpenArchive());
    EXPECT_EQ(ansi1252, doc.LoadFromFile(L"layout\\win.xml"));
    if (!ansi1252) {
        EXPECT_EQ("Could not unzip file", Message(doc));
    }
    HANDLE exclusive = CreateFileW(archive.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, exclusive);
    CloseHandle(exclusive);

    // Repeating the name and flag changes nothing, not even the password.
    CUiResourceLocation::SetSkinArchive(L"skin.zip", false, L"other");
    EXPECT_STREQ(ansi1252 ? L"\u00e9t\u00e9" : L"wrong", CUiResourceLocation::GetArchivePassword());

    // Kept open: opened once, now.
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"plain.zip",
                                            ZipTest::Build({MakeResourceItem("p.xml", "<Plain/>")})));
    CUiResourceLocation::SetSkinArchive(L"plain.zip", true, L"");
    ASSERT_NE(nullptr, CUiResourceLocation::GetOpenArchive());
    ASSERT_TRUE(doc.LoadFromFile(L"p.xml"));
    EXPECT_STREQ(L"Plain", doc.GetRoot().GetName());
    CUiResourceLocation::Shutdown();
    EXPECT_EQ(nullptr, CUiResourceLocation::GetOpenArchive());
    EXPECT_STREQ(L"", CUiResourceLocation::GetArchiveName());
}

TEST_F(SkinLocation, AnArchiveThatCannotBeOpenedLeavesAClearError)
{
    m_archive = "this is no zip archive, just words long enough to be searched";
    CUiResourceLocation::SetSkinArchiveInMemory(m_archive.data(), static_cast<DWORD>(m_archive.size()), nullptr);
    EXPECT_EQ(nullptr, CUiResourceLocation::GetOpenArchive());
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile(L"a.xml"));
    EXPECT_EQ("Error opening zip file", Message(doc));
}

namespace {
class CountingTexts : public IQueryControlText {
public:
    int calls = 0;
    wchar_t scratch[32];
    const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) override
    {
        ++calls;
        if (wcscmp(id, L"unknown") == 0) return nullptr;
        // A buffer that is reused: the table must keep its own copy.
        swprintf(scratch, 32, L"text of %ls", id);
        return scratch;
    }
};
} // namespace

TEST_F(SkinLocation, AliasTableFromMarkupFirstDefinitionWins)
{
    CUiSkinAlias& alias = CUiSkinAlias::Instance();
    ASSERT_TRUE(alias.Load(L"<Res><Image id=\"logo\" path=\"a.png\"/>"
                           L"<Group><Image id=\"bg\" path=\"b.png\"/><Deeper><Xml id=\"main\" path=\"m.xml\"/></Deeper>"
                           L"</Group><IMAGE id=\"logo\" path=\"second.png\"/><Image id=\"nopath\"/>"
                           L"<Other id=\"x\" path=\"y\"/><Xml ID=\"about\" PATH=\"about.xml\"/></Res>"));
    EXPECT_STREQ(L"a.png", alias.GetImagePath(L"logo"));
    EXPECT_STREQ(L"b.png", alias.GetImagePath(L"bg"));
    EXPECT_EQ(nullptr, alias.GetImagePath(L"nopath"));
    EXPECT_EQ(nullptr, alias.GetImagePath(L"x"));
    EXPECT_EQ(nullptr, alias.GetImagePath(L"main"));
    EXPECT_STREQ(L"m.xml", alias.GetLayoutPath(L"main"));
    EXPECT_STREQ(L"about.xml", alias.GetLayoutPath(L"about"));
    EXPECT_EQ(nullptr, alias.GetLayoutPath(nullptr));
    EXPECT_EQ(2, alias.GetImageAliasCount());
    EXPECT_EQ(2, alias.GetLayoutAliasCount());
    // A second document adds, the first definitions stay.
    ASSERT_TRUE(alias.Load(L"<R><Image id=\"logo\" path=\"third.png\"/><Image id=\"icon\" path=\"i.png\"/></R>"));
    EXPECT_STREQ(L"a.png", alias.GetImagePath(L"logo"));
    EXPECT_STREQ(L"i.png", alias.GetImagePath(L"icon"));
    alias.Release();
    EXPECT_EQ(nullptr, alias.GetImagePath(L"logo"));
    EXPECT_EQ(0, alias.GetLayoutAliasCount());
}

TEST_F(SkinLocation, AliasFileFromTheLocationAndFromAResource)
{
    m_archive = ZipTest::Build({MakeResourceItem("skin.xml", "<Window/>")});
    CUiResourceLocation::SetSkinArchiveInMemory(m_archive.data(), static_cast<DWORD>(m_archive.size()), nullptr);
    CUiSkinAlias& alias = CUiSkinAlias::Instance();
    EXPECT_FALSE(alias.Load(L"res.xml")); // the installer's case: no alias file, nothing changes
    EXPECT_EQ(0, alias.GetImageAliasCount());
    EXPECT_FALSE(alias.Load(nullptr));

    CUiResourceLocation::SetInstance(GetModuleHandleW(nullptr));
    ASSERT_TRUE(alias.Load(MAKEINTRESOURCEW(300), L"SKINXML"));
    EXPECT_STREQ(L"images/from-resource.png", alias.GetImagePath(L"res_logo"));
    EXPECT_FALSE(alias.Load(MAKEINTRESOURCEW(301), L"SKINXML"));
    EXPECT_FALSE(alias.Load(MAKEINTRESOURCEW(300), nullptr));
}

TEST_F(SkinLocation, TextsComeFromTheApplicationAndAreCached)
{
    CUiSkinAlias& alias = CUiSkinAlias::Instance();
    EXPECT_STREQ(L"", alias.GetText(L"greeting"));
    CountingTexts texts;
    alias.SetTextQuery(&texts);
    EXPECT_STREQ(L"text of greeting", alias.GetText(L"greeting"));
    EXPECT_STREQ(L"text of other", alias.GetText(L"other")); // reuses the application's buffer
    EXPECT_STREQ(L"text of greeting", alias.GetText(L"greeting"));
    EXPECT_EQ(2, texts.calls);
    EXPECT_STREQ(L"", alias.GetText(L"unknown"));
    EXPECT_STREQ(L"", alias.GetText(L"unknown"));
    EXPECT_EQ(4, texts.calls); // a null answer is not cached
    EXPECT_STREQ(L"", alias.GetText(nullptr));
    EXPECT_EQ(4, texts.calls);
    alias.ResetTexts();
    alias.GetText(L"greeting");
    EXPECT_EQ(5, texts.calls);
    alias.SetTextQuery(nullptr);
}
