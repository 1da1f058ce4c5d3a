// ExtractArchive through 7zCore.dll on an archive made by Debian's 7z: the
// files arrive intact and every progress report is logged.
#include "common/ExtractArchive.h"

#include "common/Log.h"
#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

using TestSupport::TempFolder;

TEST(CommonExtract, FilesArriveAndProgressIsLogged)
{
    std::wstring fixtures = TestSupport::TestDataFolder() + L"common\\";
    std::string expectedA, expectedB;
    ASSERT_TRUE(TestSupport::ReadFileBytes(fixtures + L"source\\a.txt", &expectedA));
    ASSERT_TRUE(TestSupport::ReadFileBytes(fixtures + L"source\\nested\\b.bin", &expectedB));

    TempFolder temp;
    std::wstring dest = temp.Path() + L"out";
    CreateDirectoryW(dest.c_str(), nullptr);
    long long before = CommonTest::FileSize(GetLogFilePath().GetData());
    ASSERT_TRUE(ExtractArchive((fixtures + L"sample.7z").c_str(), dest.c_str()));

    std::string a, b;
    ASSERT_TRUE(TestSupport::ReadFileBytes(dest + L"\\a.txt", &a));
    ASSERT_TRUE(TestSupport::ReadFileBytes(dest + L"\\nested\\b.bin", &b));
    EXPECT_EQ(expectedA, a);
    EXPECT_EQ(expectedB, b);

    // "done total" entries, each followed by an empty line; the last has
    // done equal to total, the size of everything unpacked.
    std::string log = CommonTest::LogBytesFrom(before);
    std::string total = std::to_string(expectedA.size() + expectedB.size());
    EXPECT_NE(std::string::npos, log.find("] - " + total + " " + total + "\r\n\r\n")) << log;
}

TEST(CommonExtract, MissingOrDamagedArchivesFail)
{
    TempFolder temp;
    std::wstring dest = temp.Path() + L"out";
    CreateDirectoryW(dest.c_str(), nullptr);
    EXPECT_FALSE(ExtractArchive((temp.Path() + L"none.7z").c_str(), dest.c_str()));
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"bad.7z", "7z\xBC\xAF\x27\x1C garbage"));
    EXPECT_FALSE(ExtractArchive((temp.Path() + L"bad.7z").c_str(), dest.c_str()));
}
