// Base64 without line breaks and MD5, against known values.
#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <string>

TEST(CommonEncoding, Base64KnownValuesAndRoundTrips)
{
    std::string text;
    ASSERT_TRUE(Base64Encode("hello", &text));
    EXPECT_EQ("aGVsbG8=", text);
    ASSERT_TRUE(Base64Encode("ab", &text));
    EXPECT_EQ("YWI=", text);
    ASSERT_TRUE(Base64Encode("abc", &text));
    EXPECT_EQ("YWJj", text);
    ASSERT_TRUE(Base64Encode("", &text));
    EXPECT_EQ("", text);

    std::string bytes;
    ASSERT_TRUE(Base64Decode("aGVsbG8=", &bytes));
    EXPECT_EQ("hello", bytes);

    // Binary data of many lengths, long enough that a line-breaking encoder
    // would have broken it.
    for (size_t length : {1u, 2u, 3u, 4u, 47u, 48u, 49u, 1000u, 70000u}) {
        std::string data(length, '\0');
        for (size_t i = 0; i < length; ++i) data[i] = static_cast<char>((i * 131 + 7) & 0xFF);
        ASSERT_TRUE(Base64Encode(data, &text)) << length;
        EXPECT_EQ(std::string::npos, text.find('\n')) << length;
        EXPECT_EQ((length + 2) / 3 * 4, text.size());
        std::string back;
        ASSERT_TRUE(Base64Decode(text, &back)) << length;
        EXPECT_EQ(data, back) << length;
    }
}

TEST(CommonEncoding, Base64DecodeRejectsWhatIsNotBase64)
{
    std::string bytes = "untouched";
    EXPECT_FALSE(Base64Decode("", &bytes));
    EXPECT_FALSE(Base64Decode("!!!!", &bytes));
    EXPECT_EQ("untouched", bytes);
    EXPECT_FALSE(Base64Decode("aGVsbG8=", nullptr));
}

TEST(CommonEncoding, Md5OfKnownStrings)
{
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Md5Hex(""));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Md5Hex("abc"));
    EXPECT_EQ("9e107d9d372bb6826bd81d3542a419d6", Md5Hex("The quick brown fox jumps over the lazy dog"));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"));
    EXPECT_EQ("93b885adfe0da089cdf634904fd59f71", Md5Hex(std::string(1, '\0')));
}
