// The zip reader against archives built here byte by byte, where every field is known.
#include <gtest/gtest.h>

#include "SkinTestUtil.h"
#include "ZipBuilder.h"
#include "support/TestSupport.h"
#include "ui/core/UiZip.h"

using namespace SkinUI;
using SkinTest::GuardedCopy;
using SkinTest::UnzipAll;
using SkinTest::ZipCloser;

namespace {

std::string Text(size_t n, char seed = 'a')
{
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>(seed + i % 26);
    return s;
}

// Letters that deflate cannot squeeze much.
std::string Noise(size_t n, uint32_t seed = 1)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525 + 1013904223;
        s += static_cast<char>('a' + (seed >> 27));
    }
    return s;
}

ZipTest::Item MakeItem(const std::string& name, const std::string& data, bool deflate = false)
{
    ZipTest::Item item;
    item.name = name;
    item.data = data;
    item.deflate = deflate;
    return item;
}

std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    TestSupport::ReadFileBytes(path, &bytes);
    return bytes;
}

} // namespace

TEST(ZipResultText, EveryCodeHasItsText)
{
    struct { ZipResult code; const wchar_t* text; } table[] = {
        {0x00000000, L"Success"},
        {0x00000100, L"Culdn't duplicate handle"},
        {0x00000200, L"Couldn't create/open file"},
        {0x00000300, L"Failed to allocate memory"},
        {0x00000400, L"Error writing to file"},
        {0x00000500, L"File not found in the zipfile"},
        {0x00000600, L"Still more data to unzip"},
        {0x00000700, L"Zipfile is corrupt or not a zipfile"},
        {0x00000800, L"Error reading file"},
        {0x00001000, L"Correct password required"},
        {0x00010000, L"Caller: faulty arguments"},
        {0x00020000, L"Caller: can only get memory of a memory zipfile"},
        {0x00030000, L"Caller: not enough space allocated for memory zipfile"},
        {0x00040000, L"Caller: there was a previous error"},
        {0x00050000, L"Caller: additions to the zip have already been ended"},
        {0x00060000, L"Zip-bug: the anticipated size turned out wrong"},
        {0x00070000, L"Caller: the file had already been partially unzipped"},
        {0x00080000, L"Caller: mixing creation and opening of zip"},
        {0x01000000, L"Zip-bug: internal initialisation not completed"},
        {0x02000000, L"Zip-bug: trying to seek the unseekable"},
        {0x04000000, L"Zip-bug: tried to change mind, but not allowed"},
        {0x05000000, L"Zip-bug: an internal error during flation"},
        {0x00000900, L"unknown zip result code"},
        {0x00001100, L"unknown zip result code"},
    };
    for (const auto& row : table) {
        wchar_t buffer[100];
        unsigned int n = FormatZipResult(row.code, buffer, 100);
        EXPECT_STREQ(row.text, buffer) << std::hex << row.code;
        EXPECT_EQ(wcslen(row.text), n);
    }
}

TEST(ZipResultText, CutsToTheBufferAndReportsTheFullLength)
{
    wchar_t buffer[8];
    wmemset(buffer, L'#', 8);
    EXPECT_EQ(35u, FormatZipResult(ZIP_CORRUPT, buffer, 8));
    EXPECT_STREQ(L"Zipfile", buffer);
    EXPECT_EQ(7u, FormatZipResult(ZIP_OK, nullptr, 0));
    buffer[0] = L'#';
    EXPECT_EQ(7u, FormatZipResult(ZIP_OK, buffer, 0)); // no room: nothing written
    EXPECT_EQ(L'#', buffer[0]);
    EXPECT_EQ(7u, FormatZipResult(ZIP_OK, buffer, 1));
    EXPECT_EQ(L'\0', buffer[0]);
}

TEST(ZipResultText, CodeOneStandsForTheLastResult)
{
    EXPECT_EQ(nullptr, OpenZipMemory("not a zip at all, not even close", 32, nullptr));
    EXPECT_EQ(ZIP_CORRUPT, GetLastZipResult());
    wchar_t buffer[64];
    FormatZipResult(ZIP_LAST_RESULT, buffer, 64);
    EXPECT_STREQ(L"Zipfile is corrupt or not a zipfile", buffer);
    // Formatting is not an archive operation: the last result stays.
    EXPECT_EQ(ZIP_CORRUPT, GetLastZipResult());
}

TEST(ZipHandle, NullAndForeignHandlesAreRejectedEverywhere)
{
    ZipEntryInfo entry;
    int index = 5;
    char buffer[4];
    ZipArchiveRecord foreign = {2, nullptr};
    for (ZipArchiveHandle h : {static_cast<ZipArchiveHandle>(nullptr), &foreign}) {
        ZipResult expected = h ? ZIP_MIXED_MODE : ZIP_ARGS;
        EXPECT_EQ(expected, GetZipItem(h, 0, &entry));
        EXPECT_EQ(expected, FindZipItem(h, L"x", true, &index, &entry));
        EXPECT_EQ(expected, UnzipItemToMemory(h, 0, buffer, 4));
        EXPECT_EQ(expected, UnzipItemToFile(h, 0, L"x"));
        EXPECT_EQ(expected, UnzipItemToHandle(h, 0, GetStdHandle(STD_OUTPUT_HANDLE)));
        EXPECT_EQ(expected, SetZipBaseFolder(h, L"C:\\"));
        EXPECT_EQ(expected, CloseZip(h));
        EXPECT_EQ(expected, GetLastZipResult());
    }
    EXPECT_EQ(2u, foreign.kind); // a foreign record is left alone
}

TEST(ZipOpen, RejectsWhatIsNotAnArchive)
{
    std::string zip = ZipTest::Build({MakeItem("a.txt", "abc")});
    EXPECT_EQ(nullptr, OpenZipMemory(nullptr, 10, nullptr));
    EXPECT_EQ(ZIP_ARGS, GetLastZipResult());
    EXPECT_EQ(nullptr, OpenZipMemory(zip.data(), 0, nullptr));
    EXPECT_EQ(ZIP_CORRUPT, GetLastZipResult());
    EXPECT_EQ(nullptr, OpenZipMemory(zip.data(), 21, nullptr));
    EXPECT_EQ(ZIP_CORRUPT, GetLastZipResult());
    EXPECT_EQ(nullptr, OpenZipFile(L"Z:\\no\\such\\archive.zip", nullptr));
    EXPECT_EQ(ZIP_CREATE_FILE, GetLastZipResult());
    EXPECT_EQ(nullptr, OpenZipHandle(INVALID_HANDLE_VALUE, nullptr));
    EXPECT_EQ(ZIP_ARGS, GetLastZipResult());

    // An empty archive (end record only) is valid and holds nothing.
    std::string empty = ZipTest::Build({});
    ZipCloser zip0(OpenZipMemory(empty.data(), static_cast<DWORD>(empty.size()), nullptr));
    ASSERT_NE(nullptr, zip0.zip);
    ZipEntryInfo entry;
    EXPECT_EQ(ZIP_OK, GetZipItem(zip0.zip, -1, &entry));
    EXPECT_EQ(0, entry.index);
}

TEST(ZipOpen, CommentHoldingASignatureDoesNotHideTheArchive)
{
    std::string comment("fake end PK\x05\x06", 13);
    comment += std::string(20, '\0');
    std::string zip = ZipTest::Build({MakeItem("a.txt", "abc"), MakeItem("b.txt", "de")}, nullptr, "", comment);
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    ZipEntryInfo entry;
    GetZipItem(z.zip, -1, &entry);
    EXPECT_EQ(2, entry.index);
}

TEST(ZipOpen, ArchiveBehindAPrefixOrAtAFilePosition)
{
    std::vector<ZipTest::Item> items = {MakeItem("one.txt", Text(300), true), MakeItem("two.txt", Text(50))};
    // A self-extracting stub in front: offsets inside stay relative to the archive.
    std::string stub(1000, 'S');
    std::string prefixed = ZipTest::Build(items, nullptr, stub);
    {
        ZipCloser z(OpenZipMemory(prefixed.data(), static_cast<DWORD>(prefixed.size()), nullptr));
        ASSERT_NE(nullptr, z.zip);
        std::string data;
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 0, &data));
        EXPECT_EQ(Text(300), data);
    }
    // An archive that starts at the handle's current position; the caller may close
    // its handle at once because the reader keeps its own.
    TestSupport::TempFolder temp;
    std::wstring path = temp.Path() + L"embedded.bin";
    std::string plain = ZipTest::Build(items);
    ASSERT_TRUE(TestSupport::WriteFileBytes(path, "HEADER" + plain));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFilePointer(file, 6, nullptr, FILE_BEGIN);
    ZipArchiveHandle zip = OpenZipHandle(file, nullptr);
    CloseHandle(file);
    ASSERT_NE(nullptr, zip);
    std::string data;
    EXPECT_EQ(ZIP_OK, UnzipAll(zip, 1, &data));
    EXPECT_EQ(Text(50), data);
    EXPECT_EQ(ZIP_OK, CloseZip(zip));
}

TEST(ZipItems, CountAndIndexRange)
{
    std::string zip = ZipTest::Build({MakeItem("a.txt", "abc"), MakeItem("b/c.txt", "de", true)});
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    ZipEntryInfo entry;
    memset(&entry, 0x55, sizeof(entry));
    EXPECT_EQ(ZIP_OK, GetZipItem(z.zip, -1, &entry));
    EXPECT_EQ(2, entry.index);
    EXPECT_STREQ(L"", entry.name);
    EXPECT_EQ(0u, entry.attributes);
    EXPECT_EQ(0u, entry.uncompressedSize);
    EXPECT_EQ(0u, entry.modificationTime.dwLowDateTime);

    EXPECT_EQ(ZIP_ARGS, GetZipItem(z.zip, -2, &entry));
    EXPECT_EQ(ZIP_ARGS, GetZipItem(z.zip, 2, &entry));
    EXPECT_EQ(ZIP_ARGS, GetZipItem(z.zip, 0, nullptr));
    EXPECT_EQ(ZIP_OK, GetZipItem(z.zip, 1, &entry));
    EXPECT_EQ(1, entry.index);
    EXPECT_STREQ(L"b/c.txt", entry.name);
    EXPECT_EQ(2u, entry.uncompressedSize);
    // Asking again (served from the cache) and going back to an earlier item.
    EXPECT_EQ(ZIP_OK, GetZipItem(z.zip, 1, &entry));
    EXPECT_STREQ(L"b/c.txt", entry.name);
    EXPECT_EQ(ZIP_OK, GetZipItem(z.zip, 0, &entry));
    EXPECT_STREQ(L"a.txt", entry.name);
    EXPECT_EQ(3u, entry.compressedSize);
}

TEST(ZipItems, FindFoldsAsciiCaseOnlyWhenAsked)
{
    std::string longName(255, 'n'), tooLong(256, 'n');
    std::string zip = ZipTest::Build({MakeItem("Images/BTN.png", "png"), MakeItem("\xc3\x84rger.txt", "umlaut"),
                                      MakeItem(longName, "long"), MakeItem(tooLong, "too long")});
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    int index = -7;
    ZipEntryInfo entry;
    EXPECT_EQ(ZIP_OK, FindZipItem(z.zip, L"images/btn.PNG", true, &index, &entry));
    EXPECT_EQ(0, index);
    EXPECT_EQ(0, entry.index);
    EXPECT_STREQ(L"Images/BTN.png", entry.name);
    EXPECT_EQ(ZIP_NOT_FOUND, FindZipItem(z.zip, L"images/btn.PNG", false, &index, &entry));
    EXPECT_EQ(-1, index);
    EXPECT_EQ(-1, entry.index);
    EXPECT_EQ(ZIP_OK, FindZipItem(z.zip, L"Images/BTN.png", false, &index, &entry));
    // Only a-z fold: a non-ASCII capital does not match its small letter.
    EXPECT_EQ(ZIP_OK, FindZipItem(z.zip, L"\u00c4RGER.TXT", true, &index, &entry));
    EXPECT_EQ(1, index);
    EXPECT_EQ(ZIP_NOT_FOUND, FindZipItem(z.zip, L"\u00e4rger.txt", true, &index, &entry));
    // Separators are not translated here; that is the skin loader's job.
    EXPECT_EQ(ZIP_NOT_FOUND, FindZipItem(z.zip, L"Images\\BTN.png", true, &index, &entry));
    // Names of 256 bytes or more are never found.
    EXPECT_EQ(ZIP_OK, FindZipItem(z.zip, std::wstring(255, L'n').c_str(), false, &index, &entry));
    EXPECT_EQ(2, index);
    EXPECT_EQ(ZIP_NOT_FOUND, FindZipItem(z.zip, std::wstring(256, L'n').c_str(), false, &index, &entry));
    EXPECT_EQ(ZIP_NOT_FOUND, FindZipItem(z.zip, L"", true, &index, nullptr));
    EXPECT_EQ(ZIP_ARGS, FindZipItem(z.zip, nullptr, true, &index, &entry));
}

TEST(ZipNames, ClimbsDrivesAndRootsAreCutFromTheFront)
{
    struct { const wchar_t* in; const wchar_t* out; } table[] = {
        {L"..\\..\\x.txt", L"x.txt"},
        {L"C:\\x.txt", L"x.txt"},
        {L"C:x.txt", L"x.txt"},
        {L"/etc/passwd", L"etc/passwd"},
        {L"\\\\server\\share\\f", L"server\\share\\f"},
        {L"../x.txt", L"x.txt"},
        {L"..", L""},
        {L"a\\..\\..\\nested.txt", L"nested.txt"},
        {L"a/b/../c.txt", L"c.txt"},
        {L"ok/../..\\../x", L"x"},
        {L"C:\\..\\/..\\x", L"x"},
        {L"dir/..hidden/x", L"dir/..hidden/x"},
        {L"x..y/z..", L"x..y/z.."},
        {L"plain/name.txt", L"plain/name.txt"},
        {L"", L""},
    };
    for (const auto& row : table) {
        wchar_t name[MAX_PATH];
        wcscpy(name, row.in);
        SanitiseZipName(name);
        EXPECT_STREQ(row.out, name) << TestSupport::ToUtf8(row.in);
    }
}

TEST(ZipNames, EntriesAreDescribedWithSafeNames)
{
    std::string zip = ZipTest::Build({MakeItem("../../up.txt", "1"), MakeItem("C:/drive.txt", "2"),
                                      MakeItem("/root.txt", "3"), MakeItem("\xe6\x97\xa5\xe6\x9c\xac.txt", "4")});
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    const wchar_t* expected[] = {L"up.txt", L"drive.txt", L"root.txt", L"\u65e5\u672c.txt"};
    for (int i = 0; i < 4; ++i) {
        ZipEntryInfo entry;
        ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, i, &entry));
        EXPECT_STREQ(expected[i], entry.name);
    }
    // Lookup uses the stored name, not the cleaned one.
    int index;
    EXPECT_EQ(ZIP_OK, FindZipItem(z.zip, L"../../up.txt", false, &index, nullptr));
    EXPECT_EQ(0, index);
}

TEST(ZipEntry, AttributesFollowTheHostSystem)
{
    auto item = [](const char* name, uint8_t host, uint32_t external) {
        ZipTest::Item it = MakeItem(name, "");
        it.host = host;
        it.external = external;
        return it;
    };
    std::string zip = ZipTest::Build({
        item("fat.txt", 0, 0x27),          // read-only, hidden, system, archive
        item("fatdir/", 0, 0x10),
        item("ntfs.txt", 11, 0x01),
        item("vfat.txt", 14, 0x22),
        item("ro.txt", 3, 0x81240000),     // -r--r--r--
        item("rw.txt", 3, 0x81a40000),     // -rw-r--r--
        item("unixdir/", 3, 0x41ed0010),   // drwxr-xr-x
        item("mac.txt", 7, 0x04),
    });
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    DWORD expected[] = {
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE,
        FILE_ATTRIBUTE_DIRECTORY,
        FILE_ATTRIBUTE_READONLY,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE,
        FILE_ATTRIBUTE_ARCHIVE,
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE,
        FILE_ATTRIBUTE_SYSTEM,
    };
    for (int i = 0; i < 8; ++i) {
        ZipEntryInfo entry;
        ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, i, &entry));
        EXPECT_EQ(expected[i], entry.attributes) << i;
    }
}

TEST(ZipEntry, DosTimeIsLocalAndTheUnixTimeBlockOverridesIt)
{
    ZipTest::Item dosOnly = MakeItem("dos.txt", "x");
    ZipTest::Item modOnly = MakeItem("mod.txt", "x");
    modOnly.unixTime = true;
    modOnly.unixTimes = {1000000000};
    ZipTest::Item all = MakeItem("all.txt", "x");
    all.unixTime = true;
    all.unixTimeFlags = 7;
    all.unixTimes = {1600000000, 1500000000, 1400000000};
    ZipTest::Item accessOnly = MakeItem("access.txt", "x");
    accessOnly.unixTime = true;
    accessOnly.unixTimeFlags = 2;
    accessOnly.unixTimes = {1234567890};
    ZipTest::Item cut = MakeItem("cut.txt", "x"); // claims three times, holds one
    cut.unixTime = true;
    cut.unixTimeFlags = 7;
    cut.unixTimes = {1111111111};
    std::string zip = ZipTest::Build({dosOnly, modOnly, all, accessOnly, cut});
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);

    // 2021-03-04 05:05:08 local time.
    SYSTEMTIME st = {2021, 3, 0, 4, 5, 5, 8, 0};
    FILETIME local, dos;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &dos);
    using SkinTest::Ticks;
    using SkinTest::UnixToFileTime;

    ZipEntryInfo e;
    ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, 0, &e));
    EXPECT_EQ(Ticks(dos), Ticks(e.modificationTime));
    EXPECT_EQ(Ticks(dos), Ticks(e.accessTime));
    EXPECT_EQ(Ticks(dos), Ticks(e.creationTime));
    ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, 1, &e));
    EXPECT_EQ(Ticks(UnixToFileTime(1000000000)), Ticks(e.modificationTime));
    EXPECT_EQ(Ticks(dos), Ticks(e.accessTime));
    EXPECT_EQ(Ticks(dos), Ticks(e.creationTime));
    ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, 2, &e));
    EXPECT_EQ(Ticks(UnixToFileTime(1600000000)), Ticks(e.modificationTime));
    EXPECT_EQ(Ticks(UnixToFileTime(1500000000)), Ticks(e.accessTime));
    EXPECT_EQ(Ticks(UnixToFileTime(1400000000)), Ticks(e.creationTime));
    ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, 3, &e));
    EXPECT_EQ(Ticks(dos), Ticks(e.modificationTime));
    EXPECT_EQ(Ticks(UnixToFileTime(1234567890)), Ticks(e.accessTime));
    ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, 4, &e));
    EXPECT_EQ(Ticks(UnixToFileTime(1111111111)), Ticks(e.modificationTime));
    EXPECT_EQ(Ticks(dos), Ticks(e.accessTime)); // the block ends before the other two
}

TEST(ZipUnzip, PiecewiseIntoASmallBuffer)
{
    std::string hundred = Text(100);
    for (bool deflate : {false, true}) {
        std::string zip = ZipTest::Build({MakeItem("h.txt", hundred, deflate), MakeItem("o.txt", "other")});
        ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
        ASSERT_NE(nullptr, z.zip);
        char buffer[40];
        std::string joined;
        DWORD written = 0;
        EXPECT_EQ(ZIP_MORE, UnzipItemToMemory(z.zip, 0, buffer, 40, &written));
        joined.append(buffer, written);
        EXPECT_EQ(ZIP_MORE, UnzipItemToMemory(z.zip, 0, buffer, 40, &written));
        joined.append(buffer, written);
        EXPECT_EQ(ZIP_OK, UnzipItemToMemory(z.zip, 0, buffer, 40, &written));
        joined.append(buffer, written);
        EXPECT_EQ(20u, written);
        EXPECT_EQ(hundred, joined);
        // Finished items start afresh: reading the same skin file twice works.
        EXPECT_EQ(ZIP_MORE, UnzipItemToMemory(z.zip, 0, buffer, 40, &written));
        EXPECT_EQ(hundred.substr(0, 40), std::string(buffer, written));
        // Switching items midway abandons the first; coming back restarts it.
        std::string other;
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 1, &other));
        EXPECT_EQ("other", other);
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 0, &other, 7));
        EXPECT_EQ(hundred, other);
        // An exact-size buffer finishes in one call.
        char exact[100];
        EXPECT_EQ(ZIP_OK, UnzipItemToMemory(z.zip, 0, exact, 100, &written));
        EXPECT_EQ(hundred, std::string(exact, written));
        EXPECT_EQ(ZIP_ARGS, UnzipItemToMemory(z.zip, 2, exact, 100));
        EXPECT_EQ(ZIP_ARGS, UnzipItemToMemory(z.zip, -1, exact, 100));
        EXPECT_EQ(ZIP_ARGS, UnzipItemToMemory(z.zip, 0, nullptr, 100));
    }
}

TEST(ZipUnzip, LargeItemsCrossTheInternalChunks)
{
    std::string big;
    uint32_t seed = 7;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1664525 + 1013904223;
        big += static_cast<char>(i % 3 ? 'a' + (seed >> 28) : seed >> 24);
    }
    std::string zip = ZipTest::Build({MakeItem("big.bin", big, true), MakeItem("big0.bin", big)});
    GuardedCopy guarded(zip);
    ZipCloser z(OpenZipMemory(guarded.Data(), guarded.Size(), nullptr));
    ASSERT_NE(nullptr, z.zip);
    for (int i = 0; i < 2; ++i) {
        for (DWORD piece : {3u, 4093u, 16384u, 200000u}) {
            std::string out;
            EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, i, &out, piece));
            EXPECT_TRUE(out == big) << i << " " << piece;
        }
    }
}

TEST(ZipUnzip, TraditionalEncryption)
{
    ZipTest::Item stored = MakeItem("s.txt", Text(77));
    stored.password = "pa55";
    ZipTest::Item deflated = MakeItem("d.txt", Text(500), true);
    deflated.password = "pa55";
    ZipTest::Item described = MakeItem("t.txt", Text(64), true); // check byte from the DOS time
    described.password = "pa55";
    described.descriptor = true;
    ZipTest::Item open = MakeItem("open.txt", "no secret");
    std::string zip = ZipTest::Build({stored, deflated, described, open});

    {
        ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), "pa55"));
        ASSERT_NE(nullptr, z.zip);
        std::string out;
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 0, &out, 10));
        EXPECT_EQ(Text(77), out);
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 1, &out, 33));
        EXPECT_EQ(Text(500), out);
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 2, &out));
        EXPECT_EQ(Text(64), out);
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 3, &out));
        EXPECT_EQ("no secret", out);
        ZipEntryInfo entry;
        EXPECT_EQ(ZIP_OK, GetZipItem(z.zip, 0, &entry));
        EXPECT_EQ(77u + 12u, entry.compressedSize);
    }
    for (const char* wrong : {"pa56", "", static_cast<const char*>(nullptr)}) {
        ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), wrong));
        ASSERT_NE(nullptr, z.zip);
        std::string out;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(ZIP_PASSWORD, UnzipAll(z.zip, i, &out)) << i;
            EXPECT_EQ(ZIP_PASSWORD, GetLastZipResult());
        }
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 3, &out)); // unencrypted items still read
    }
}

TEST(ZipUnzip, WrongPasswordsThatPassTheCheckByteAreStillWrongPasswords)
{
    // About one wrong password in 256 gets through the one-byte check; what it
    // then decrypts is noise, and that too means the password is wrong, not
    // that the archive is damaged.
    ZipTest::Item stored = MakeItem("s.txt", Noise(300, 7));
    ZipTest::Item deflated = MakeItem("d.txt", Noise(2000, 8), true);
    ZipTest::Item described = MakeItem("t.txt", Noise(500, 9), true);
    described.descriptor = true;
    std::vector<ZipTest::Item> items = {stored, deflated, described};
    std::vector<uint8_t> checks;
    for (ZipTest::Item& item : items) {
        item.password = "right";
        checks.push_back(static_cast<uint8_t>(item.descriptor ? item.dosTime >> 8 : ZipTest::Crc32(item.data) >> 24));
    }
    ZipTest::Layout layout;
    std::string zip = ZipTest::Build(items, &layout);

    TestSupport::TempFolder temp;
    int passedCheck[3] = {};
    int wrongResults = 0;
    for (int n = 0; n < 3000; ++n) {
        std::string wrong = "wrong" + std::to_string(n);
        ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), wrong.c_str()));
        ASSERT_NE(nullptr, z.zip);
        SetZipBaseFolder(z.zip, temp.Path().c_str());
        for (int i = 0; i < 3; ++i) {
            std::string header = zip.substr(layout.local[i] + 30 + items[i].name.size(), 12);
            bool passes = ZipTest::DecryptedCheckByte(header, wrong) == checks[i];
            passedCheck[i] += passes ? 1 : 0;
            std::string out;
            ZipResult r = UnzipAll(z.zip, i, &out, 97);
            // Through a file as well, for those that get past the check.
            ZipResult toFile = passes ? UnzipItemToFile(z.zip, i, L"out.txt") : ZIP_PASSWORD;
            if ((r != ZIP_PASSWORD || toFile != ZIP_PASSWORD) && ++wrongResults <= 5) {
                ADD_FAILURE() << "password \"" << wrong << "\", item " << i << (passes ? " (passes the check byte)" : "")
                              << ": 0x" << std::hex << r << " in memory, 0x" << toFile << " to a file";
            }
        }
    }
    EXPECT_EQ(0, wrongResults);
    EXPECT_FALSE(TestSupport::FileExists(temp.Path() + L"out.txt"));
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(passedCheck[i], 0) << "no wrong password got past item " << i << "'s check: nothing is tested";
}

TEST(ZipUnzip, DamagedDataIsReportedAsCorrupt)
{
    std::string data = Noise(3000);
    ZipTest::Layout layout;
    std::string good = ZipTest::Build({MakeItem("d.txt", data, true), MakeItem("s.txt", data)}, &layout);
    size_t dataOf0 = layout.local[0] + 30 + 5, dataOf1 = layout.local[1] + 30 + 5;

    std::string flipped = good; // damage inside the deflate stream
    flipped[dataOf0 + 3] ^= 0x5a;
    flipped[dataOf0 + 4] ^= 0xff;
    std::string storedCrc = good; // stored bytes changed: only the CRC can tell
    storedCrc[dataOf1 + 100] ^= 0x01;
    for (const std::string* zip : {&flipped, &storedCrc}) {
        ZipCloser z(OpenZipMemory(zip->data(), static_cast<DWORD>(zip->size()), nullptr));
        ASSERT_NE(nullptr, z.zip);
        std::string out;
        int index = zip == &flipped ? 0 : 1;
        EXPECT_EQ(ZIP_CORRUPT, UnzipAll(z.zip, index, &out));
        EXPECT_EQ(ZIP_OK, UnzipAll(z.zip, 1 - index, &out)); // the other item is fine
    }

    // The central directory promising more than the stream holds, or less.
    for (uint32_t size : {3001u, 2999u, 0xffffffffu}) {
        std::string lying = good;
        size_t at = layout.central[0] + 24;
        for (int b = 0; b < 4; ++b) lying[at + b] = static_cast<char>(size >> (8 * b));
        ZipCloser z(OpenZipMemory(lying.data(), static_cast<DWORD>(lying.size()), nullptr));
        ASSERT_NE(nullptr, z.zip);
        std::string out;
        EXPECT_EQ(ZIP_CORRUPT, UnzipAll(z.zip, 0, &out)) << size;
    }
}

TEST(ZipUnzipToFile, WritesTheTreeWithAttributesAndTimes)
{
    TestSupport::TempFolder temp;
    ZipTest::Item dir = MakeItem("sub/", "");
    dir.external = 0x41ed0010;
    ZipTest::Item deep = MakeItem("sub/deeper/still/x.txt", Text(5000), true);
    deep.unixTime = true;
    deep.unixTimes = {1300000000};
    ZipTest::Item ro = MakeItem("ro.txt", "read only");
    ro.external = 0x81240000;
    ZipTest::Item lonely = MakeItem("emptydir/", ""); // a directory known only by its slash
    lonely.external = 0;
    std::string zip = ZipTest::Build({dir, deep, ro, lonely});
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    EXPECT_EQ(ZIP_OK, SetZipBaseFolder(z.zip, temp.Path().substr(0, temp.Path().size() - 1).c_str()));
    for (int i = 0; i < 4; ++i) {
        ZipEntryInfo entry;
        ASSERT_EQ(ZIP_OK, GetZipItem(z.zip, i, &entry));
        EXPECT_EQ(ZIP_OK, UnzipItemToFile(z.zip, i, entry.name)) << i;
    }
    EXPECT_TRUE(GetFileAttributesW((temp.Path() + L"sub").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(GetFileAttributesW((temp.Path() + L"emptydir").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(Text(5000), ReadAll(temp.Path() + L"sub\\deeper\\still\\x.txt"));
    EXPECT_EQ("read only", ReadAll(temp.Path() + L"ro.txt"));
    EXPECT_TRUE(GetFileAttributesW((temp.Path() + L"ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW((temp.Path() + L"sub\\deeper\\still\\x.txt").c_str(), GetFileExInfoStandard,
                                     &data));
    EXPECT_EQ(SkinTest::Ticks(SkinTest::UnixToFileTime(1300000000)), SkinTest::Ticks(data.ftLastWriteTime));
    // Unzipping again replaces the files.
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"sub\\deeper\\still\\x.txt", "changed"));
    EXPECT_EQ(ZIP_OK, UnzipItemToFile(z.zip, 1, L"sub/deeper/still/x.txt"));
    EXPECT_EQ(Text(5000), ReadAll(temp.Path() + L"sub\\deeper\\still\\x.txt"));
    EXPECT_EQ(ZIP_ARGS, UnzipItemToFile(z.zip, 4, L"x"));
    EXPECT_EQ(ZIP_ARGS, UnzipItemToFile(z.zip, 0, nullptr));
}

TEST(ZipUnzipToFile, RelativePathsNeverLeaveTheBaseFolder)
{
    TestSupport::TempFolder temp;
    std::wstring base = temp.Path() + L"base\\";
    CreateDirectoryW(base.c_str(), nullptr);
    std::string zip = ZipTest::Build({MakeItem("x.txt", "payload")});
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    SetZipBaseFolder(z.zip, base.c_str());
    EXPECT_EQ(ZIP_OK, UnzipItemToFile(z.zip, 0, L"..\\..\\escaped.txt"));
    EXPECT_EQ(ZIP_OK, UnzipItemToFile(z.zip, 0, L"in/../../escaped2.txt"));
    EXPECT_FALSE(TestSupport::FileExists(temp.Path() + L"escaped.txt"));
    EXPECT_FALSE(TestSupport::FileExists(temp.Path() + L"escaped2.txt"));
    EXPECT_EQ("payload", ReadAll(base + L"escaped.txt"));
    EXPECT_EQ("payload", ReadAll(base + L"escaped2.txt"));
    // An absolute path is the caller's explicit choice.
    wchar_t full[MAX_PATH];
    GetFullPathNameW((temp.Path() + L"elsewhere\\abs.txt").c_str(), MAX_PATH, full, nullptr);
    std::wstring absolute = full;
    EXPECT_EQ(ZIP_OK, UnzipItemToFile(z.zip, 0, absolute.c_str()));
    EXPECT_EQ("payload", ReadAll(absolute));
}

TEST(ZipUnzipToFile, BaseFolderDefaultsToTheCurrentDirectoryAtOpen)
{
    TestSupport::TempFolder temp;
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(temp.Path().c_str());
    std::string zip = ZipTest::Build({MakeItem("here.txt", "here")});
    ZipArchiveHandle h = OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr);
    SetCurrentDirectoryW(saved);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(ZIP_OK, UnzipItemToFile(h, 0, L"here.txt"));
    CloseZip(h);
    EXPECT_EQ("here", ReadAll(temp.Path() + L"here.txt"));
}

TEST(ZipUnzipToFile, FailuresLeaveTheDiskAsItWas)
{
    TestSupport::TempFolder temp;
    ZipTest::Item secret = MakeItem("secret.txt", Text(200), true);
    secret.password = "right";
    ZipTest::Layout layout;
    std::string zip = ZipTest::Build({secret, MakeItem("bad.txt", Noise(3000), true)}, &layout);
    zip[layout.local[1] + 30 + 7 + 40] ^= 0x33; // damage the second item's stream

    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), "wrong"));
    ASSERT_NE(nullptr, z.zip);
    SetZipBaseFolder(z.zip, temp.Path().c_str());
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"secret.txt", "keep me"));
    EXPECT_EQ(ZIP_PASSWORD, UnzipItemToFile(z.zip, 0, L"secret.txt"));
    EXPECT_EQ("keep me", ReadAll(temp.Path() + L"secret.txt"));
    EXPECT_EQ(ZIP_CORRUPT, UnzipItemToFile(z.zip, 1, L"bad.txt"));
    EXPECT_FALSE(TestSupport::FileExists(temp.Path() + L"bad.txt"));
    // A folder standing where the file should go.
    CreateDirectoryW((temp.Path() + L"taken").c_str(), nullptr);
    std::string fine = ZipTest::Build({MakeItem("taken", "x")});
    ZipCloser z2(OpenZipMemory(fine.data(), static_cast<DWORD>(fine.size()), nullptr));
    SetZipBaseFolder(z2.zip, temp.Path().c_str());
    EXPECT_EQ(ZIP_CREATE_FILE, UnzipItemToFile(z2.zip, 0, L"taken"));
}

TEST(ZipUnzipToFile, IntoACallersHandle)
{
    TestSupport::TempFolder temp;
    std::string zip = ZipTest::Build({MakeItem("a.bin", Text(40000), true), MakeItem("dir/", "")});
    ZipCloser z(OpenZipMemory(zip.data(), static_cast<DWORD>(zip.size()), nullptr));
    ASSERT_NE(nullptr, z.zip);
    std::wstring path = temp.Path() + L"out.bin";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written;
    WriteFile(file, "HDR", 3, &written, nullptr);
    EXPECT_EQ(ZIP_OK, UnzipItemToHandle(z.zip, 0, file));
    EXPECT_EQ(ZIP_OK, UnzipItemToHandle(z.zip, 1, file)); // a directory writes nothing
    EXPECT_TRUE(WriteFile(file, "END", 3, &written, nullptr)); // still the caller's, still open
    CloseHandle(file);
    EXPECT_EQ("HDR" + Text(40000) + "END", ReadAll(path));
    EXPECT_EQ(ZIP_ARGS, UnzipItemToHandle(z.zip, 0, INVALID_HANDLE_VALUE));
}
