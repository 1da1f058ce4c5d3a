// Why a run failed, how it stops when asked to, and what it leaves behind:
// nothing of its own, everything that was there before.
#include "Extractor.h"
#include "UnzipCore7z.h"

#include "ExtractTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

using namespace TestSupport;
using namespace ExtractTest;

namespace {

typedef unsigned long long u64;

// Relative path -> contents ("<dir>" for folders).
typedef std::map<std::wstring, std::string> Listing;

void List(const std::wstring& root, const std::wstring& relative, Listing* out)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*out)[relative + name] = "<dir>";
            List(root, relative + name + L"\\", out);
        } else {
            ReadFileBytes(root + relative + name, &(*out)[relative + name]);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

Listing List(const std::wstring& root)
{
    Listing listing;
    List(root, L"", &listing);
    return listing;
}

struct Outcome {
    int result = -1;
    std::vector<std::pair<std::wstring, bool>> items;
    std::vector<std::pair<u64, u64>> reports;
};

Outcome Unzip(const std::wstring& archive, const std::wstring& dest, const std::atomic<bool>* cancel = nullptr,
          std::function<void(u64, u64)> extra = nullptr)
{
    Outcome run;
    run.result = UnzipCore7zEx(
        Ansi(archive).c_str(), Ansi(NoSlash(dest)).c_str(),
        [&run, extra](u64 done, u64 total) {
            run.reports.emplace_back(done, total);
            if (extra) extra(done, total);
        },
        cancel, [&run](const wchar_t* relative, bool folder) { run.items.emplace_back(relative, folder); });
    return run;
}

} // namespace

TEST(ExtractOutcome, EachFailureHasItsReasonAndLeavesOnlyWhatWasThere)
{
    struct Case {
        const wchar_t* archive;
        int expected;
    } cases[] = {
        {L"missing.7z", UNZIP_ARCHIVE_MISSING},
        {L"zero.7z", UNZIP_ARCHIVE_CORRUPT},
        {L"truncated.7z", UNZIP_ARCHIVE_CORRUPT},
        {L"corrupt.7z", UNZIP_ARCHIVE_CORRUPT},
        {L"dotdot.7z", UNZIP_UNSAFE_ENTRY},
        {L"drive.7z", UNZIP_UNSAFE_ENTRY},
        {L"link-out.7z", UNZIP_UNSAFE_ENTRY},
        {L"lzma2.7z", UNZIP_OK},
    };
    for (const Case& c : cases) {
        TempFolder dest;
        ASSERT_TRUE(WriteFileBytes(dest.Path() + L"keep.txt", "mine"));
        Outcome run = Unzip(Fixture(c.archive), dest.Path());
        EXPECT_EQ(c.expected, run.result) << ToUtf8(c.archive);
        Listing after = List(dest.Path());
        if (c.expected != UNZIP_OK) {
            // The corrupt archive fails part-way, after files were written: they are gone again.
            EXPECT_EQ((Listing{{L"keep.txt", "mine"}}), after) << ToUtf8(c.archive);
            EXPECT_TRUE(run.items.empty()) << ToUtf8(c.archive);
        } else {
            EXPECT_EQ("mine", after[L"keep.txt"]);
            EXPECT_GT(after.size(), 15u);
        }
    }
}

TEST(ExtractOutcome, UnwritableDestinationsAreReportedAsSuch)
{
    TempFolder outer;
    ASSERT_TRUE(WriteFileBytes(outer.Path() + L"plain", "x"));
    // A file where the destination folder should be, and a folder where a file of the archive belongs.
    EXPECT_EQ(UNZIP_FOLDER_NOT_WRITABLE, Unzip(Fixture(L"lzma2.7z"), outer.Path() + L"plain").result);
    EXPECT_EQ(UNZIP_FOLDER_NOT_WRITABLE, Unzip(Fixture(L"lzma2.7z"), outer.Path() + L"plain\\below").result);
    TempFolder dest;
    ASSERT_TRUE(CreateDirectoryW((dest.Path() + L"readme.txt").c_str(), nullptr));
    EXPECT_EQ(UNZIP_FOLDER_NOT_WRITABLE, Unzip(Fixture(L"lzma2.7z"), dest.Path()).result);
    EXPECT_EQ((Listing{{L"readme.txt", "<dir>"}}), List(dest.Path()));
    EXPECT_EQ(UNZIP_FOLDER_NOT_WRITABLE,
              UnzipCore7zEx(Ansi(Fixture(L"lzma2.7z")).c_str(), "", UnzipProgress(), nullptr, UnzipItemCallback()));
    EXPECT_EQ(UNZIP_ARCHIVE_MISSING, UnzipCore7zEx(nullptr, "C:\\x", UnzipProgress(), nullptr, UnzipItemCallback()));
}

TEST(ExtractOutcome, WriteErrorsReadAsFullDiskOrUnwritableFolder)
{
    struct Case {
        DWORD error;
        int expected;
    } cases[] = {
        {ERROR_DISK_FULL, UNZIP_DISK_FULL},
        {ERROR_HANDLE_DISK_FULL, UNZIP_DISK_FULL},
        {ERROR_ACCESS_DENIED, UNZIP_FOLDER_NOT_WRITABLE},
        {ERROR_SHARING_VIOLATION, UNZIP_FOLDER_NOT_WRITABLE},
        {ERROR_WRITE_PROTECT, UNZIP_FOLDER_NOT_WRITABLE},
        {ERROR_OUTOFMEMORY, UNZIP_ERROR},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, SevenZCore::ResultForWriteError(c.error)) << c.error;
}

TEST(ExtractOutcome, SuccessListsEveryPlacedItemOnce)
{
    TempFolder dest;
    Outcome run = Unzip(Fixture(L"lzma2.7z"), dest.Path());
    ASSERT_EQ(UNZIP_OK, run.result);
    Listing after = List(dest.Path());
    std::map<std::wstring, bool> reported;
    for (const auto& item : run.items) EXPECT_TRUE(reported.emplace(item.first, item.second).second) << ToUtf8(item.first);
    ASSERT_EQ(after.size(), reported.size());
    for (const auto& entry : after) {
        auto found = reported.find(entry.first);
        ASSERT_TRUE(found != reported.end()) << ToUtf8(entry.first);
        EXPECT_EQ(entry.second == "<dir>", found->second) << ToUtf8(entry.first);
    }
}

TEST(ExtractOutcome, StopHalfWayRemovesTheRunsFilesAndKeepsTheOldOnes)
{
    Listing source = List(Fixture(L"big-src\\"));
    ASSERT_GT(source.size(), 20u);
    TempFolder dest;
    // Two files of the archive were there before, and one that is not in it.
    ASSERT_TRUE(CreateDirectoryW((dest.Path() + L"big").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dest.Path() + L"big\\part-00.bin", "old first"));
    ASSERT_TRUE(WriteFileBytes(dest.Path() + L"big\\part-23.bin", "old last"));
    ASSERT_TRUE(WriteFileBytes(dest.Path() + L"keep.txt", "mine"));
    Listing before = List(dest.Path());

    std::atomic<bool> cancel(false);
    u64 doneAtCancel = 0, totalAtCancel = 0;
    Outcome run = Unzip(Fixture(L"big.7z"), dest.Path(), &cancel, [&](u64 done, u64 total) {
        if (!cancel && done * 3 >= total) {
            doneAtCancel = done;
            totalAtCancel = total;
            cancel = true;
        }
    });
    EXPECT_EQ(UNZIP_CANCELLED, run.result);
    ASSERT_GT(doneAtCancel, 0u);
    EXPECT_LT(doneAtCancel, totalAtCancel);
    for (const auto& report : run.reports) EXPECT_LT(report.first, report.second);
    EXPECT_TRUE(run.items.empty());

    // Every old file is there, either as it was or replaced whole; nothing else.
    Listing after = List(dest.Path());
    for (const auto& entry : after) {
        auto old = before.find(entry.first);
        ASSERT_TRUE(old != before.end()) << ToUtf8(entry.first) << " was left behind";
        bool replacedWhole = source.count(entry.first) && source[entry.first] == entry.second;
        EXPECT_TRUE(old->second == entry.second || replacedWhole) << ToUtf8(entry.first) << " is damaged";
    }
    EXPECT_EQ(before.size(), after.size());
    EXPECT_EQ("mine", after[L"keep.txt"]);
}
