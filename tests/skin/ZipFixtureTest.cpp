// The zip reader against archives written by Debian's Info-ZIP zip and by 7-Zip
// (made at test time by make-fixtures.sh): every item read back byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "SkinTestUtil.h"
#include "support/TestSupport.h"
#include "ui/core/UiZip.h"

using namespace SkinUI;
using SkinTest::UnzipAll;
using SkinTest::ZipCloser;

namespace {

const char* const kPassword = "Secret pass";
const uint32_t kTreeTime = 1614834368; // 2021-03-04 05:06:08 UTC, set on every file of the tree

std::wstring Fixtures() { return TestSupport::TestDataFolder() + L"skin\\"; }

std::wstring Native(const std::wstring& name)
{
    std::wstring out = name;
    for (auto& c : out)
        if (c == L'/') c = L'\\';
    return out;
}

std::string Expected(const std::wstring& name)
{
    std::string bytes;
    EXPECT_TRUE(TestSupport::ReadFileBytes(Fixtures() + L"expect\\" + Native(name), &bytes))
        << TestSupport::ToUtf8(name);
    return bytes;
}

bool IsDirectory(const ZipEntryInfo& e) { return (e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

struct Fixture {
    const wchar_t* file;
    const char* password;
};

// What every archive of the tree must hold.
const wchar_t* const kFiles[] = {
    L"hello.txt", L"empty.txt", L"readonly.txt", L"Images/BTN.png", L"layout/main.xml",
    L"layout/\u65e5\u672c\u8a9e.xml", L"data/random.bin", L"data/mixed.bin",
};
const wchar_t* const kFolders[] = {L"Images/", L"layout/", L"data/", L"emptydir/"};


// Every item of an open archive matches the tree; returns how many files were read.
int CheckEveryItem(ZipArchiveHandle zip, DWORD piece)
{
    ZipEntryInfo info;
    EXPECT_EQ(ZIP_OK, GetZipItem(zip, -1, &info));
    int files = 0;
    for (int i = 0; i < info.index; ++i) {
        ZipEntryInfo entry;
        EXPECT_EQ(ZIP_OK, GetZipItem(zip, i, &entry));
        if (IsDirectory(entry)) continue;
        std::string data;
        EXPECT_EQ(ZIP_OK, UnzipAll(zip, i, &data, piece)) << TestSupport::ToUtf8(entry.name);
        EXPECT_EQ(entry.uncompressedSize, data.size());
        EXPECT_TRUE(data == Expected(entry.name)) << TestSupport::ToUtf8(entry.name);
        ++files;
    }
    return files;
}

void ReadsBackFromMemoryFileAndHandle(const Fixture& f)
{
    std::wstring path = Fixtures() + f.file;
    std::string bytes;
    ASSERT_TRUE(TestSupport::ReadFileBytes(path, &bytes)) << "fixture missing: run make-fixtures.sh";
    const char* password = f.password;

    SkinTest::GuardedCopy guarded(bytes);
    ZipCloser memory(OpenZipMemory(guarded.Data(), guarded.Size(), password));
    ASSERT_NE(nullptr, memory.zip);
    EXPECT_EQ(8, CheckEveryItem(memory.zip, 65536));
    EXPECT_EQ(8, CheckEveryItem(memory.zip, 1000)); // in pieces

    ZipCloser file(OpenZipFile(path.c_str(), password));
    ASSERT_NE(nullptr, file.zip);
    EXPECT_EQ(8, CheckEveryItem(file.zip, 16384));

    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    ZipCloser handle(OpenZipHandle(h, password));
    CloseHandle(h);
    ASSERT_NE(nullptr, handle.zip);
    EXPECT_EQ(8, CheckEveryItem(handle.zip, 4096));
}

void NamesFoldersAttributesAndTimes(const Fixture& f)
{
    std::wstring path = Fixtures() + f.file;
    ZipCloser zip(OpenZipFile(path.c_str(), f.password));
    ASSERT_NE(nullptr, zip.zip);
    for (const wchar_t* name : kFiles) {
        int index = -1;
        ZipEntryInfo entry;
        ASSERT_EQ(ZIP_OK, FindZipItem(zip.zip, name, false, &index, &entry)) << TestSupport::ToUtf8(name);
        EXPECT_STREQ(name, entry.name);
        EXPECT_FALSE(IsDirectory(entry));
        bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
        EXPECT_EQ(wcscmp(name, L"readonly.txt") == 0, readOnly) << TestSupport::ToUtf8(name);
        long long delta = static_cast<long long>(SkinTest::Ticks(entry.modificationTime)) -
                          static_cast<long long>(SkinTest::Ticks(SkinTest::UnixToFileTime(kTreeTime)));
        EXPECT_LE(llabs(delta), 20000000LL) << TestSupport::ToUtf8(name); // within the 2 s of a DOS time
    }
    for (const wchar_t* name : kFolders) {
        int index = -1;
        ZipEntryInfo entry;
        ASSERT_EQ(ZIP_OK, FindZipItem(zip.zip, name, false, &index, &entry)) << TestSupport::ToUtf8(name);
        EXPECT_TRUE(IsDirectory(entry));
    }
    int index = -1;
    EXPECT_EQ(ZIP_OK, FindZipItem(zip.zip, L"IMAGES/btn.png", true, &index, nullptr));
    EXPECT_EQ(ZIP_NOT_FOUND, FindZipItem(zip.zip, L"IMAGES/btn.png", false, &index, nullptr));
}

void UnzipsToFilesUnderTheBaseFolder(const Fixture& f)
{
    std::wstring path = Fixtures() + f.file;
    TestSupport::TempFolder temp;
    ZipCloser zip(OpenZipFile(path.c_str(), f.password));
    ASSERT_NE(nullptr, zip.zip);
    ASSERT_EQ(ZIP_OK, SetZipBaseFolder(zip.zip, temp.Path().c_str()));
    ZipEntryInfo info;
    GetZipItem(zip.zip, -1, &info);
    for (int i = 0; i < info.index; ++i) {
        ZipEntryInfo entry;
        ASSERT_EQ(ZIP_OK, GetZipItem(zip.zip, i, &entry));
        EXPECT_EQ(ZIP_OK, UnzipItemToFile(zip.zip, i, entry.name)) << TestSupport::ToUtf8(entry.name);
    }
    for (const wchar_t* name : kFiles) {
        std::string bytes;
        ASSERT_TRUE(TestSupport::ReadFileBytes(temp.Path() + Native(name), &bytes)) << TestSupport::ToUtf8(name);
        EXPECT_TRUE(bytes == Expected(name)) << TestSupport::ToUtf8(name);
    }
    DWORD attributes = GetFileAttributesW((temp.Path() + L"emptydir").c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(GetFileAttributesW((temp.Path() + L"readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW((temp.Path() + L"hello.txt").c_str(), GetFileExInfoStandard, &data));
    long long delta = static_cast<long long>(SkinTest::Ticks(data.ftLastWriteTime)) -
                      static_cast<long long>(SkinTest::Ticks(SkinTest::UnixToFileTime(kTreeTime)));
    EXPECT_LE(llabs(delta), 20000000LL);
}

void WrongPasswordIsReported(const Fixture& f)
{
    std::wstring path = Fixtures() + f.file;
    for (const char* wrong : {"secret pass", "", static_cast<const char*>(nullptr)}) {
        ZipCloser zip(OpenZipFile(path.c_str(), wrong));
        ASSERT_NE(nullptr, zip.zip);
        for (const wchar_t* name : kFiles) {
            int index = -1;
            ZipEntryInfo entry;
            ASSERT_EQ(ZIP_OK, FindZipItem(zip.zip, name, false, &index, &entry));
            if (entry.uncompressedSize == 0) continue;
            std::string data;
            EXPECT_EQ(ZIP_PASSWORD, UnzipAll(zip.zip, index, &data)) << TestSupport::ToUtf8(name);
            EXPECT_EQ(ZIP_PASSWORD, GetLastZipResult());
        }
    }
}

} // namespace

// One suite per archive, so a failure names the tool that wrote it.
#define REAL_ARCHIVE_TESTS(Suite, file, password)                                              \
    TEST(Suite, EveryItemReadsBackFromMemoryFileAndHandle)                                    \
    {                                                                                         \
        ReadsBackFromMemoryFileAndHandle({file, password});                                   \
    }                                                                                         \
    TEST(Suite, NamesFoldersAttributesAndTimes) { NamesFoldersAttributesAndTimes({file, password}); } \
    TEST(Suite, UnzipsToFilesUnderTheBaseFolder) { UnzipsToFilesUnderTheBaseFolder({file, password}); }

REAL_ARCHIVE_TESTS(InfoZipStored, L"stored.zip", nullptr)
REAL_ARCHIVE_TESTS(InfoZipDeflated, L"deflated.zip", nullptr)
REAL_ARCHIVE_TESTS(InfoZipPassword, L"password.zip", kPassword)
REAL_ARCHIVE_TESTS(SevenZipDeflated, L"seven.zip", nullptr)
REAL_ARCHIVE_TESTS(SevenZipStored, L"seven-stored.zip", nullptr)
REAL_ARCHIVE_TESTS(SevenZipPassword, L"seven-password.zip", kPassword)

TEST(InfoZipPassword, WrongPasswordIsReported) { WrongPasswordIsReported({L"password.zip", kPassword}); }
TEST(SevenZipPassword, WrongPasswordIsReported) { WrongPasswordIsReported({L"seven-password.zip", kPassword}); }

TEST(HostileArchive, NamesThatClimbOrCarryADriveStayInsideTheTarget)
{
    TestSupport::TempFolder temp;
    std::wstring base = temp.Path() + L"target\\";
    CreateDirectoryW(base.c_str(), nullptr);
    ZipCloser zip(OpenZipFile((Fixtures() + L"hostile.zip").c_str(), nullptr));
    ASSERT_NE(nullptr, zip.zip);
    SetZipBaseFolder(zip.zip, base.c_str());
    const wchar_t* expected[] = {L"evil.txt", L"drive.txt", L"nested.txt"};
    for (int i = 0; i < 3; ++i) {
        ZipEntryInfo entry;
        ASSERT_EQ(ZIP_OK, GetZipItem(zip.zip, i, &entry));
        EXPECT_STREQ(expected[i], entry.name);
        EXPECT_EQ(ZIP_OK, UnzipItemToFile(zip.zip, i, entry.name));
        std::string bytes;
        EXPECT_TRUE(TestSupport::ReadFileBytes(base + expected[i], &bytes));
        EXPECT_EQ(Expected(expected[i]), bytes);
        EXPECT_FALSE(TestSupport::FileExists(temp.Path() + expected[i]));
    }
    // The stored (unsafe) names are still what a lookup matches.
    int index = -1;
    EXPECT_EQ(ZIP_OK, FindZipItem(zip.zip, L"..\\evil.txt", false, &index, nullptr));
    EXPECT_EQ(0, index);
}
