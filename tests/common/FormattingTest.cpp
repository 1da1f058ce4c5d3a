// Size and duration texts and their parsing.
#include "common/Formatting.h"

#include <gtest/gtest.h>

TEST(CommonFormatting, SizesSwitchUnitAtEachPowerOfTwo)
{
    EXPECT_STREQ(L"0.0KB", FormatSize(0).GetData());
    EXPECT_STREQ(L"1.5KB", FormatSize(1536).GetData());
    EXPECT_STREQ(L"1024.0KB", FormatSize(0xFFFFF).GetData());
    EXPECT_STREQ(L"1.0MB", FormatSize(0x100000).GetData());
    EXPECT_STREQ(L"1.5MB", FormatSize(0x180000).GetData());
    // MB and GB divide a truncated count: 0x3FFFFFFF is 1048575 KB, 1024.0MB.
    EXPECT_STREQ(L"1024.0MB", FormatSize(0x3FFFFFFF).GetData());
    EXPECT_STREQ(L"1.0GB", FormatSize(1ull << 30).GetData());
    EXPECT_STREQ(L"2.5GB", FormatSize(5ull << 29).GetData());
    EXPECT_STREQ(L"16384.0GB", FormatSize(1ull << 44).GetData());
}

TEST(CommonFormatting, ShortSizesSwitchOnlyAboveEachPower)
{
    EXPECT_STREQ(L"1.5 KB", FormatSizeShort(1536).GetData());
    EXPECT_STREQ(L"1024.0 KB", FormatSizeShort(1048576.0).GetData());  // exactly 2^20 stays in KB
    EXPECT_STREQ(L"1.0 MB", FormatSizeShort(1048577.0).GetData());
    EXPECT_STREQ(L"1024.0 MB", FormatSizeShort(1073741824.0).GetData());
    EXPECT_STREQ(L"3.0 GB", FormatSizeShort(3221225472.0).GetData());
    EXPECT_STREQ(L"0.0 KB", FormatSizeShort(0).GetData());
}

TEST(CommonFormatting, Durations)
{
    EXPECT_STREQ(L"00:00:00.000", FormatDuration(0).GetData());
    EXPECT_STREQ(L"01:01:01.500", FormatDuration(3661.5).GetData());
    EXPECT_STREQ(L"00:02:05.250", FormatDuration(125.25).GetData());
    EXPECT_STREQ(L"100:00:00.000", FormatDuration(360000).GetData());
    // Negative durations read as zero, whether above or below one hour.
    EXPECT_STREQ(L"00:00:00.000", FormatDuration(-5).GetData());
    EXPECT_STREQ(L"00:00:00.000", FormatDuration(-7200.5).GetData());

    EXPECT_STREQ(L"01:01:01", FormatHms(3661).GetData());
    EXPECT_STREQ(L"00:00:59", FormatHms(59).GetData());
    EXPECT_STREQ(L"27:46:40", FormatHms(100000).GetData());
}

TEST(CommonFormatting, ParsingDurations)
{
    EXPECT_EQ(3723004, ParseDurationMs(L"1:2:3.4"));
    EXPECT_EQ(3723000, ParseDurationMs(L"01:02:03"));
    EXPECT_EQ(3600000, ParseDurationMs(L"1"));
    EXPECT_EQ(0, ParseDurationMs(L"garbage"));
    EXPECT_EQ(0, ParseDurationMs(nullptr));
    // Long recordings do not wrap around at 2^31 milliseconds.
    EXPECT_EQ(1000ll * 3600000ll, ParseDurationMs(L"1000:00:00.0"));

    EXPECT_EQ(3661, ParseHmsSeconds(L"01:01:01"));
    EXPECT_EQ(45296, ParseHmsSeconds(L"12:34:56"));
    EXPECT_EQ(5 * 3600 + 30 * 60, ParseHmsSeconds(L"5:30"));
    EXPECT_EQ(7 * 3600, ParseHmsSeconds(L"7"));
    EXPECT_EQ(3 * 3600 + 4, ParseHmsSeconds(L"3:x:4"));
    EXPECT_EQ(0, ParseHmsSeconds(L""));
    EXPECT_EQ(0, ParseHmsSeconds(nullptr));
}
