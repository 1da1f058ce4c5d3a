// The converter's progress file: only the last block of lines counts.
#include "common/ConverterProgress.h"

#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using TestSupport::TempFolder;
using TestSupport::WriteFileBytes;

namespace {

std::string Block(long long outTimeMs, long long totalSize, const char* state)
{
    return "frame=120\nfps=30.0\nbitrate=1000.0kbits/s\ntotal_size=" + std::to_string(totalSize)
        + "\nout_time_us=" + std::to_string(outTimeMs * 1000) + "\nout_time_ms=" + std::to_string(outTimeMs)
        + "\nout_time=00:00:01.000000\ndup_frames=0\ndrop_frames=0\nspeed=1.5x\nprogress=" + state + "\n";
}

ConverterProgress ReadText(const std::string& text)
{
    TempFolder temp;
    std::wstring path = temp.Path() + L"progress.txt";
    EXPECT_TRUE(WriteFileBytes(path, text));
    return ReadConverterProgress(path.c_str());
}

} // namespace

TEST(CommonConverterProgress, LastBlockOfALongFileWins)
{
    std::string text;
    for (int i = 1; i <= 20; ++i) text += Block(i * 1000, i * 50000, "continue");
    ASSERT_GT(text.size(), 230u);
    ConverterProgress p = ReadText(text);
    EXPECT_FALSE(p.ended);
    EXPECT_EQ(20000, p.outTimeMs);
    EXPECT_EQ(1000000, p.totalSize);

    text += Block(21000, 1050000, "end");
    p = ReadText(text);
    EXPECT_TRUE(p.ended);
    EXPECT_EQ(21000, p.outTimeMs);
    EXPECT_EQ(1050000, p.totalSize);

    // Values past 2^32 come through whole.
    std::string big;
    for (int i = 1; i <= 3; ++i) big += Block(i * 1000, i * 50000, "continue");
    p = ReadText(big + Block(9000000000ll, 8000000000ll, "end"));
    EXPECT_TRUE(p.ended);
    EXPECT_EQ(9000000000ll, p.outTimeMs);
    EXPECT_EQ(8000000000ll, p.totalSize);
}

TEST(CommonConverterProgress, EndWithoutASizeIsNotAnEnd)
{
    std::string text = std::string(300, '#') + "\n" + Block(5000, 0, "end");
    ConverterProgress p = ReadText(text);
    EXPECT_FALSE(p.ended);
    EXPECT_EQ(5000, p.outTimeMs);
    EXPECT_EQ(0, p.totalSize);
}

TEST(CommonConverterProgress, ShortOrMissingFilesGiveZero)
{
    ConverterProgress p = ReadText(Block(5000, 70000, "end").substr(0, 229));
    EXPECT_FALSE(p.ended);
    EXPECT_EQ(0, p.outTimeMs);
    EXPECT_EQ(0, p.totalSize);

    p = ReadText("");
    EXPECT_EQ(0, p.outTimeMs);

    p = ReadConverterProgress(L"C:\\no\\such\\progress.txt");
    EXPECT_FALSE(p.ended);
    EXPECT_EQ(0, p.totalSize);
    p = ReadConverterProgress(nullptr);
    EXPECT_EQ(0, p.totalSize);
}

TEST(CommonConverterProgress, ReadsWhileTheConverterStillWrites)
{
    TempFolder temp;
    std::wstring path = temp.Path() + L"live.txt";
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    std::string text = Block(1000, 10, "continue") + Block(2000, 20, "continue");
    DWORD written = 0;
    WriteFile(writer, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ConverterProgress p = ReadConverterProgress(path.c_str());
    CloseHandle(writer);
    EXPECT_EQ(2000, p.outTimeMs);
    EXPECT_EQ(20, p.totalSize);
}
