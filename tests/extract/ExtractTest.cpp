// 7zCore.dll against archives made by Debian's 7z at test time
// (make-fixtures.py), compared file by file with the tree they were made from.
#include "UnzipCore7z.h"

#include "ExtractTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace TestSupport;
using namespace ExtractTest;

namespace {

typedef unsigned long long u64;

std::wstring FromAnsi(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

struct Reports {
    std::vector<std::pair<u64, u64>> calls;
    UnzipProgress Callback()
    {
        return [this](u64 done, u64 total) { calls.emplace_back(done, total); };
    }
};

bool Unzip(const std::wstring& archive, const std::wstring& dest, Reports* reports)
{
    return UnzipCore7z(Ansi(archive).c_str(), Ansi(NoSlash(dest)).c_str(), reports->Callback());
}

// Every run: a fixed total, done never going back, at most ~200 reports.
void ExpectSaneReports(const Reports& reports)
{
    ASSERT_LE(reports.calls.size(), 201u);
    for (size_t i = 0; i < reports.calls.size(); ++i) {
        EXPECT_EQ(reports.calls[0].second, reports.calls[i].second) << "total changed at report " << i;
        EXPECT_LE(reports.calls[i].first, reports.calls[i].second);
        if (i > 0) {
            EXPECT_GE(reports.calls[i].first, reports.calls[i - 1].first) << "done went back at " << i;
        }
    }
}

// A successful run ends with done == total, and only its last report has it.
void ExpectFinished(const Reports& reports, u64 total)
{
    ExpectSaneReports(reports);
    ASSERT_FALSE(reports.calls.empty());
    EXPECT_EQ(std::make_pair(total, total), reports.calls.back());
    for (size_t i = 0; i + 1 < reports.calls.size(); ++i)
        EXPECT_LT(reports.calls[i].first, reports.calls[i].second) << "early completion at " << i;
}

// A failed run never claims completion.
void ExpectUnfinished(const Reports& reports)
{
    ExpectSaneReports(reports);
    for (const auto& call : reports.calls) EXPECT_LT(call.first, call.second);
}

struct Item {
    bool folder;
    std::string bytes;
    FILETIME written;
    DWORD attributes;
};
typedef std::map<std::wstring, Item> Tree;

void ListTree(const std::wstring& root, const std::wstring& relative, Tree* tree)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        Item item = {};
        item.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.written = data.ftLastWriteTime;
        item.attributes = data.dwFileAttributes;
        if (item.folder) ListTree(root, relative + name + L"\\", tree);
        else ReadFileBytes(root + relative + name, &item.bytes);
        (*tree)[relative + name] = item;
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

Tree ListTree(const std::wstring& root)
{
    Tree tree;
    ListTree(root, L"", &tree);
    return tree;
}

u64 Ticks(const FILETIME& ft) { return (u64(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

u64 SizeOf(const Tree& tree)
{
    u64 total = 0;
    for (const auto& item : tree) total += item.second.bytes.size();
    return total;
}

class ExtractMethod : public testing::TestWithParam<const wchar_t*> {};

} // namespace

TEST_P(ExtractMethod, MatchesTheSourceTree)
{
    TempFolder dest;
    Reports reports;
    std::wstring archive = Fixture((std::wstring(GetParam()) + L".7z").c_str());
    ASSERT_TRUE(Unzip(archive, dest.Path(), &reports));

    Tree source = ListTree(Fixture(L"src\\"));
    Tree result = ListTree(dest.Path());
    ASSERT_GT(source.size(), 15u);
    ASSERT_EQ(source.size(), result.size());
    for (const auto& item : source) {
        auto found = result.find(item.first);
        ASSERT_TRUE(found != result.end()) << ToUtf8(item.first);
        EXPECT_EQ(item.second.folder, found->second.folder) << ToUtf8(item.first);
        EXPECT_TRUE(item.second.bytes == found->second.bytes) << ToUtf8(item.first);
        if (!item.second.folder) {
            // 7z keeps times to 100 ns; the host file system to 1 ns.
            EXPECT_EQ(Ticks(item.second.written), Ticks(found->second.written)) << ToUtf8(item.first);
        }
    }
    EXPECT_TRUE(result[L"locked\\read-only.txt"].attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(result[L"readme.txt"].attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(result[L"emoji\\🎬 film.txt"].bytes == "outside the basic plane\n");
    ExpectFinished(reports, SizeOf(source));
    EXPECT_EQ(0u, reports.calls.front().first);
    EXPECT_GE(reports.calls.size(), 20u);  // a payload of ~1.5 MB moves in half-percent steps
}

INSTANTIATE_TEST_SUITE_P(Methods, ExtractMethod,
                         testing::Values(L"lzma", L"lzma2", L"bcj_lzma2", L"bcj2", L"ppmd", L"bzip2", L"deflate",
                                         L"nonsolid"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) { return ToUtf8(info.param); });

TEST(Extract, EmptyArchiveReportsZeroOfZeroOnce)
{
    TempFolder dest;
    Reports reports;
    ASSERT_TRUE(Unzip(Fixture(L"empty.7z"), dest.Path(), &reports));
    ASSERT_EQ(1u, reports.calls.size());
    EXPECT_EQ(std::make_pair(0ULL, 0ULL), reports.calls[0]);
    Tree result = ListTree(dest.Path());
    EXPECT_EQ(3u, result.size());
    EXPECT_TRUE(result[L"folder\\inner"].folder);
    EXPECT_FALSE(result[L"nothing.txt"].folder);
}

TEST(Extract, BrokenArchivesFailAndLeaveOtherFilesAlone)
{
    for (const wchar_t* name : {L"zero.7z", L"truncated.7z", L"corrupt.7z", L"missing.7z"}) {
        TempFolder dest;
        ASSERT_TRUE(WriteFileBytes(dest.Path() + L"keep.txt", "mine"));
        Reports reports;
        EXPECT_FALSE(Unzip(Fixture(name), dest.Path(), &reports)) << ToUtf8(name);
        ExpectUnfinished(reports);
        std::string kept;
        EXPECT_TRUE(ReadFileBytes(dest.Path() + L"keep.txt", &kept));
        EXPECT_EQ("mine", kept);
        // A file cut short by bad data is removed, not left half-written.
        Tree result = ListTree(dest.Path());
        for (const auto& item : result) {
            if (item.second.folder || item.first == L"keep.txt") continue;
            std::string original;
            ASSERT_TRUE(ReadFileBytes(Fixture(L"src\\") + item.first, &original)) << ToUtf8(item.first);
            EXPECT_TRUE(original == item.second.bytes) << ToUtf8(item.first);
        }
    }
}

TEST(Extract, HostileNamesWriteNothing)
{
    for (const wchar_t* name : {L"dotdot.7z", L"drive.7z", L"link-out.7z"}) {
        TempFolder outer;
        std::wstring dest = outer.Path() + L"dest\\";
        ASSERT_TRUE(CreateDirectoryW(dest.c_str(), nullptr));
        Reports reports;
        EXPECT_FALSE(Unzip(Fixture(name), dest, &reports)) << ToUtf8(name);
        EXPECT_TRUE(reports.calls.empty());
        EXPECT_TRUE(ListTree(dest).empty()) << ToUtf8(name);
        EXPECT_EQ(1u, ListTree(outer.Path()).size()) << ToUtf8(name);
    }
    // The same archive before its names were altered is fine.
    TempFolder dest;
    Reports reports;
    EXPECT_TRUE(Unzip(Fixture(L"hostile-plain.7z"), dest.Path(), &reports));
    EXPECT_TRUE(FileExists(dest.Path() + L"zz\\escape.txt"));
}

TEST(Extract, LinkInsideTheFolderIsMade)
{
    TempFolder dest;
    Reports reports;
    ASSERT_TRUE(Unzip(Fixture(L"link-in.7z"), dest.Path(), &reports));
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(dest.Path() + L"sub\\inside", &bytes));
    EXPECT_EQ("inside\n", bytes);
}

TEST(Extract, OverwritesFilesIncludingReadOnlyOnes)
{
    TempFolder dest;
    Reports first, second;
    ASSERT_TRUE(Unzip(Fixture(L"lzma2.7z"), dest.Path(), &first));
    ASSERT_TRUE(WriteFileBytes(dest.Path() + L"readme.txt", "stale"));
    ASSERT_TRUE(WriteFileBytes(dest.Path() + L"extra.txt", "not in the archive"));
    ASSERT_TRUE(Unzip(Fixture(L"lzma2.7z"), dest.Path(), &second));
    std::string original, now, extra;
    ReadFileBytes(Fixture(L"src\\readme.txt"), &original);
    ReadFileBytes(dest.Path() + L"readme.txt", &now);
    EXPECT_TRUE(original == now);
    EXPECT_TRUE(ReadFileBytes(dest.Path() + L"extra.txt", &extra));
    EXPECT_EQ("not in the archive", extra);
    EXPECT_EQ(first.calls.back(), second.calls.back());
}

TEST(Extract, FileInUseFailsPromptly)
{
    TempFolder dest;
    Reports first, second;
    ASSERT_TRUE(Unzip(Fixture(L"lzma2.7z"), dest.Path(), &first));
    HANDLE busy = CreateFileW((dest.Path() + L"media\\clip.mp4").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, busy);
    DWORD start = GetTickCount();
    EXPECT_FALSE(Unzip(Fixture(L"lzma2.7z"), dest.Path(), &second));
    EXPECT_LT(GetTickCount() - start, 10000u);
    ExpectUnfinished(second);
    CloseHandle(busy);
    std::string original, now;
    ReadFileBytes(Fixture(L"src\\media\\clip.mp4"), &original);
    ReadFileBytes(dest.Path() + L"media\\clip.mp4", &now);
    EXPECT_TRUE(original == now);
}

TEST(Extract, FailedReinstallKeepsEveryFileItDidNotOpen)
{
    // A reinstall over an installation that stops at a file in use: whatever
    // the order of the items, the files finished before it (and those after
    // it) are still whole. Each file in turn is the one in use.
    TempFolder dest;
    Reports first;
    ASSERT_TRUE(Unzip(Fixture(L"lzma2.7z"), dest.Path(), &first));
    Tree installed = ListTree(dest.Path());
    int lockedFiles = 0;
    for (const auto& busyItem : installed) {
        if (busyItem.second.folder) continue;
        ++lockedFiles;
        HANDLE busy = CreateFileW((dest.Path() + busyItem.first).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, busy) << ToUtf8(busyItem.first);
        Reports second;
        EXPECT_FALSE(Unzip(Fixture(L"lzma2.7z"), dest.Path(), &second)) << ToUtf8(busyItem.first);
        CloseHandle(busy);
        Tree after = ListTree(dest.Path());
        for (const auto& item : installed) {
            auto found = after.find(item.first);
            ASSERT_TRUE(found != after.end()) << ToUtf8(item.first) << " is gone after a failure at "
                                              << ToUtf8(busyItem.first);
            EXPECT_TRUE(item.second.bytes == found->second.bytes)
                << ToUtf8(item.first) << " changed after a failure at " << ToUtf8(busyItem.first);
        }
    }
    EXPECT_GT(lockedFiles, 10);
}

TEST(Extract, FolderWhereAFileBelongsFailsAndIsLeftAlone)
{
    TempFolder dest;
    ASSERT_TRUE(CreateDirectoryW((dest.Path() + L"readme.txt").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dest.Path() + L"readme.txt\\inside.txt", "mine"));
    Reports reports;
    EXPECT_FALSE(Unzip(Fixture(L"lzma2.7z"), dest.Path(), &reports));
    ExpectUnfinished(reports);
    std::string kept;
    EXPECT_TRUE(ReadFileBytes(dest.Path() + L"readme.txt\\inside.txt", &kept));
    EXPECT_EQ("mine", kept);
}

TEST(Extract, DestinationOutsideTheAnsiCodePageWorksThroughItsShortName)
{
    TempFolder outer;
    std::wstring dest = outer.Path() + L"目标 ü क ẞ";
    ASSERT_TRUE(CreateDirectoryW(dest.c_str(), nullptr));
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(dest.c_str(), shortPath, MAX_PATH));
    ASSERT_NE(dest, FromAnsi(Ansi(dest))) << "the folder name fits the ANSI code page: nothing is tested";
    ASSERT_EQ(std::wstring(shortPath), FromAnsi(Ansi(shortPath))) << "the short name is not ANSI either";
    Reports reports;
    ASSERT_TRUE(UnzipCore7z(Ansi(Fixture(L"lzma2.7z")).c_str(), Ansi(shortPath).c_str(), reports.Callback()));
    EXPECT_TRUE(FileExists(dest + L"\\媒体\\视频 样本\\示例.bin"));
}

TEST(Extract, MissingDestinationIsCreatedAndAFileInItsPlaceRefused)
{
    TempFolder outer;
    Reports made, refused;
    EXPECT_TRUE(Unzip(Fixture(L"empty.7z"), outer.Path() + L"new\\deeper", &made));
    EXPECT_TRUE(FileExists(outer.Path() + L"new\\deeper\\nothing.txt"));
    ASSERT_TRUE(WriteFileBytes(outer.Path() + L"plain", "x"));
    EXPECT_FALSE(Unzip(Fixture(L"empty.7z"), outer.Path() + L"plain", &refused));
    EXPECT_FALSE(UnzipCore7z(nullptr, "C:\\x", UnzipProgress()));
    EXPECT_FALSE(UnzipCore7z(Ansi(Fixture(L"empty.7z")).c_str(), "", UnzipProgress()));
}
