// The log file: exact bytes of entries (code page 936, CR LF), appending,
// sharing, and entries that cannot be written.
#include "common/Log.h"

#include "common/Folders.h"
#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <regex>
#include <string>

using CommonTest::FileSize;
using CommonTest::LogBytesFrom;
using CommonTest::ToNarrow;
using CommonTest::UniqueToken;
using SkinUI::CUiString;

namespace {

// The file's line that carries the token, with its line end(s) as stored.
std::string EntryWith(const std::string& bytes, const std::string& token)
{
    size_t at = bytes.find(token);
    if (at == std::string::npos) return std::string();
    size_t begin = bytes.rfind("\r\n[", at);
    begin = begin == std::string::npos ? 0 : begin + 2;
    size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos) return bytes.substr(begin);
    return bytes.substr(begin, end + 2 - begin);
}

const std::regex kStamp(R"(^\[(\d{4})-(\d{2})-(\d{2}) (\d{2}):(\d{2}):(\d{2})\] - )");

} // namespace

TEST(CommonLog, PathIsInTheLogFolderWhichExistsAfterwards)
{
    CUiString path = GetLogFilePath();
    EXPECT_EQ(std::wstring(GetLogFolder().GetData()) + L"\\ll.log", path.GetData());
    EXPECT_TRUE(PathIsDirectoryW(GetLogFolder()));
}

TEST(CommonLog, ChineseEntryIsStoredInCodePage936WithStampAndCrLf)
{
    long long before = FileSize(GetLogFilePath().GetData());
    std::wstring token = UniqueToken(L"gbk");
    SYSTEMTIME now;
    GetLocalTime(&now);
    WriteLog(CUiString((L"安装完成 ok " + token).c_str()));

    std::string entry = EntryWith(LogBytesFrom(before), ToNarrow(token));
    ASSERT_FALSE(entry.empty());
    std::smatch stamp;
    ASSERT_TRUE(std::regex_search(entry, stamp, kStamp)) << entry;
    EXPECT_EQ(now.wYear, std::stoi(stamp[1]));
    EXPECT_EQ(now.wMonth, std::stoi(stamp[2]));
    EXPECT_EQ(now.wDay, std::stoi(stamp[3]));
    int seconds = std::stoi(stamp[4]) * 3600 + std::stoi(stamp[5]) * 60 + std::stoi(stamp[6]);
    int expected = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    EXPECT_LE(std::abs(seconds - expected), 2);

    // 安装完成 in GBK, then the token and CR LF; no UTF-8 anywhere.
    std::string body = entry.substr(stamp.length());
    EXPECT_EQ(std::string("\xB0\xB2\xD7\xB0\xCD\xEA\xB3\xC9 ok ") + ToNarrow(token) + "\r\n", body);
}

TEST(CommonLog, MessageEndingInLineFeedLeavesAnEmptyLine)
{
    long long before = FileSize(GetLogFilePath().GetData());
    std::wstring token = UniqueToken(L"lf");
    int count = LogFormat(L"%I64d,  %I64d %s\n", 12345678901ll, 98765432109ll, token.c_str());
    EXPECT_EQ(static_cast<int>(token.size()) + 27, count);
    std::string bytes = LogBytesFrom(before);
    size_t at = bytes.find("12345678901,  98765432109 " + ToNarrow(token) + "\r\n\r\n");
    EXPECT_NE(std::string::npos, at) << bytes;
}

TEST(CommonLog, PercentSignsInAMessageAreCopiedAsTheyAre)
{
    long long before = FileSize(GetLogFilePath().GetData());
    std::wstring token = UniqueToken(L"pct");
    WriteLog(CUiString((L"100% done %s %d " + token).c_str()));
    std::string entry = EntryWith(LogBytesFrom(before), ToNarrow(token));
    EXPECT_NE(std::string::npos, entry.find("] - 100% done %s %d " + ToNarrow(token) + "\r\n")) << entry;
}

TEST(CommonLog, EntriesAppendAndEarlierContentStays)
{
    CUiString path = GetLogFilePath();
    std::wstring first = UniqueToken(L"first");
    WriteLog(CUiString(first.c_str()));
    std::string earlier;
    ASSERT_TRUE(TestSupport::ReadFileBytes(path.GetData(), &earlier));
    std::wstring second = UniqueToken(L"second");
    WriteLog(CUiString(second.c_str()));
    std::string later;
    ASSERT_TRUE(TestSupport::ReadFileBytes(path.GetData(), &later));
    ASSERT_GT(later.size(), earlier.size());
    EXPECT_EQ(earlier, later.substr(0, earlier.size()));
    size_t a = later.find(ToNarrow(first));
    size_t b = later.find(ToNarrow(second));
    ASSERT_NE(std::string::npos, a);
    ASSERT_NE(std::string::npos, b);
    EXPECT_LT(a, b);
}

TEST(CommonLog, ReadersAndWritersSharingTheFileDoNotBlockEntries)
{
    CUiString path = GetLogFilePath();
    WriteLog(CUiString(L"make sure the file exists"));
    HANDLE other = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    long long before = FileSize(path.GetData());
    std::wstring token = UniqueToken(L"shared");
    WriteLog(CUiString(token.c_str()));
    CloseHandle(other);
    EXPECT_FALSE(EntryWith(LogBytesFrom(before), ToNarrow(token)).empty());
}

TEST(CommonLog, EntriesThatCannotBeWrittenAreDroppedWhole)
{
    CUiString path = GetLogFilePath();
    // Thai is not in code page 936: the whole entry goes, not half a line.
    long long before = FileSize(path.GetData());
    std::wstring token = UniqueToken(L"thai");
    WriteLog(CUiString((token + L" \x0E01\x0E02 tail").c_str()));
    std::string after = LogBytesFrom(before);
    EXPECT_EQ(std::string::npos, after.find(ToNarrow(token)));

    // And the next entry is whole again, on a line of its own.
    std::wstring next = UniqueToken(L"next");
    WriteLog(CUiString(next.c_str()));
    std::string entry = EntryWith(LogBytesFrom(before), ToNarrow(next));
    EXPECT_TRUE(std::regex_search(entry, kStamp)) << entry;
}
