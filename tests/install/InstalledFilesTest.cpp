// The installed-files list: what is written reads back the same, a damaged
// or cut-off file never reads as a shorter list, and no entry may point
// outside its place.
#include "common/InstalledFiles.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace TestSupport;

namespace {

std::vector<InstalledEntry> Sample()
{
    return {{InstalledEntry::kFolder, L"bin"},
            {InstalledEntry::kFile, L"bin\\DUDavov.exe"},
            {InstalledEntry::kFolder, L"媒体\\视频 样本"},
            {InstalledEntry::kFile, L"媒体\\视频 样本\\示例.bin"},
            {InstalledEntry::kFile, L"emoji\\🎬 film.txt"},
            {InstalledEntry::kLink, L"C:\\Users\\Public\\Desktop\\Velkaro.lnk"},
            {InstalledEntry::kLink, L"C:\\ProgramData\\开始\\Velkaro\\卸载Velkaro.lnk"},
            {InstalledEntry::kFile, L"uninstall.lst"}};
}

std::string SampleBytes()
{
    CInstalledFiles list;
    for (const InstalledEntry& e : Sample()) list.Add(e.kind, e.path);
    std::string bytes;
    EXPECT_TRUE(list.Serialize(&bytes));
    return bytes;
}

unsigned long Crc32(const std::string& bytes)
{
    unsigned long crc = 0xFFFFFFFFUL;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320UL : 0);
    }
    return crc ^ 0xFFFFFFFFUL;
}

// A well-formed file around the given header and entry lines.
std::string Sealed(const std::string& header, const std::vector<std::string>& lines)
{
    std::string text = header + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    char trailer[40];
    snprintf(trailer, sizeof(trailer), "END %u %08lX\r\n", static_cast<unsigned>(lines.size()), Crc32(text));
    return text + trailer;
}

} // namespace

TEST(InstalledFiles, RoundTripThroughTheFile)
{
    TempFolder temp;
    std::wstring path = temp.Path() + L"uninstall.lst";
    CInstalledFiles written;
    for (const InstalledEntry& e : Sample()) written.Add(e.kind, e.path);
    ASSERT_TRUE(WriteFileBytes(path, "an older list"));
    ASSERT_TRUE(written.Save(path.c_str()));
    EXPECT_FALSE(FileExists(path + L".new"));

    CInstalledFiles read;
    ASSERT_EQ(INSTALLED_LIST_OK, read.Load(path.c_str()));
    EXPECT_TRUE(Sample() == read.Entries());
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(path, &bytes));
    EXPECT_EQ(0u, bytes.find("Velkaro installed files 1\r\nD bin\r\nF bin\\DUDavov.exe\r\n"));
    EXPECT_EQ(INSTALLED_LIST_MISSING, read.Load((temp.Path() + L"none.lst").c_str()));
    EXPECT_TRUE(read.Entries().empty());

    CInstalledFiles empty;
    ASSERT_TRUE(empty.Save(path.c_str()));
    EXPECT_EQ(INSTALLED_LIST_OK, read.Load(path.c_str()));
    EXPECT_TRUE(read.Entries().empty());
}

TEST(InstalledFiles, EveryCutAndEveryChangedByteIsDamage)
{
    std::string bytes = SampleBytes();
    CInstalledFiles list;
    ASSERT_EQ(INSTALLED_LIST_OK, list.Parse(bytes));
    for (size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_NE(INSTALLED_LIST_OK, list.Parse(bytes.substr(0, length))) << "cut at " << length;
        EXPECT_TRUE(list.Entries().empty());
    }
    for (size_t at = 0; at < bytes.size(); ++at) {
        for (unsigned char flip : {0x01, 0x20, 0x80}) {
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ flip);
            EXPECT_NE(INSTALLED_LIST_OK, list.Parse(damaged)) << "byte " << at << " ^ " << int(flip);
            EXPECT_TRUE(list.Entries().empty());
        }
    }
    EXPECT_EQ(INSTALLED_LIST_DAMAGED, list.Parse(bytes + "F extra\r\n"));
    // A line dropped along with a recomputed checksum still has the wrong count.
    std::string text = bytes.substr(0, bytes.rfind("END "));
    text = text.substr(0, text.rfind("F uninstall.lst"));
    char trailer[40];
    snprintf(trailer, sizeof(trailer), "END 8 %08lX\r\n", Crc32(text));
    EXPECT_EQ(INSTALLED_LIST_DAMAGED, list.Parse(text + trailer));
}

TEST(InstalledFiles, UnsafeOrUnknownEntriesRefuseTheWholeList)
{
    struct Case {
        std::string line;
        InstalledListResult expected;
    } cases[] = {
        {"F bin\\a.dll", INSTALLED_LIST_OK},
        {"F C:\\Windows\\system32\\a.dll", INSTALLED_LIST_UNSAFE_PATH},
        {"F \\Windows\\a.dll", INSTALLED_LIST_UNSAFE_PATH},
        {"F ..\\outside.txt", INSTALLED_LIST_UNSAFE_PATH},
        {"F bin\\..\\..\\outside.txt", INSTALLED_LIST_UNSAFE_PATH},
        {"F bin/../../outside.txt", INSTALLED_LIST_UNSAFE_PATH},
        {"F .. \\outside.txt", INSTALLED_LIST_UNSAFE_PATH},
        {"F \\\\server\\share\\a", INSTALLED_LIST_UNSAFE_PATH},
        {"F a:stream", INSTALLED_LIST_UNSAFE_PATH},
        {"F bin\\\\a.dll", INSTALLED_LIST_UNSAFE_PATH},
        {"D bin\\", INSTALLED_LIST_UNSAFE_PATH},
        {"L C:\\Users\\Public\\Desktop\\Velkaro.lnk", INSTALLED_LIST_OK},
        {"L Velkaro.lnk", INSTALLED_LIST_UNSAFE_PATH},
        {"L C:\\Users\\..\\Windows\\x.lnk", INSTALLED_LIST_UNSAFE_PATH},
        {"L C:\\Windows\\notepad.exe", INSTALLED_LIST_UNSAFE_PATH},
        {"L \\\\server\\share\\x.lnk", INSTALLED_LIST_UNSAFE_PATH},
        {"X bin\\a.dll", INSTALLED_LIST_DAMAGED},
        {"F", INSTALLED_LIST_DAMAGED},
        {std::string("F bin\\a\xff.dll"), INSTALLED_LIST_DAMAGED},
    };
    for (const Case& c : cases) {
        CInstalledFiles list;
        EXPECT_EQ(c.expected, list.Parse(Sealed("Velkaro installed files 1", {"F first.txt", c.line}))) << c.line;
        EXPECT_EQ(c.expected == INSTALLED_LIST_OK ? 2u : 0u, list.Entries().size()) << c.line;
    }
    CInstalledFiles list;
    EXPECT_EQ(INSTALLED_LIST_NEWER, list.Parse(Sealed("Velkaro installed files 2", {"F a"})));
    EXPECT_EQ(INSTALLED_LIST_DAMAGED, list.Parse(Sealed("Something else 1", {"F a"})));
}

TEST(InstalledFiles, WriterRefusesWhatTheReaderWouldRefuse)
{
    TempFolder temp;
    std::wstring path = temp.Path() + L"uninstall.lst";
    ASSERT_TRUE(WriteFileBytes(path, "kept"));
    for (const InstalledEntry& bad : std::vector<InstalledEntry>{{InstalledEntry::kFile, L"..\\x"},
                                                                   {InstalledEntry::kFolder, L""},
                                                                   {InstalledEntry::kLink, L"relative.lnk"},
                                                                   {InstalledEntry::kFile, L"lone \xD800 surrogate"}}) {
        CInstalledFiles list;
        list.Add(InstalledEntry::kFile, L"good.txt");
        list.Add(bad.kind, bad.path);
        EXPECT_FALSE(list.Save(path.c_str())) << ToUtf8(bad.path);
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(path, &bytes));
        EXPECT_EQ("kept", bytes);
    }
}
