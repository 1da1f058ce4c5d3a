// The profile record as the system's private-profile functions store it,
// and the process-wide profile object.
#include "common/UserProfile.h"

#include "common/Encoding.h"
#include "common/Folders.h"
#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

using TestSupport::TempFolder;

namespace {

KEUserProfileRecord SampleRecord()
{
    KEUserProfileRecord record;
    memset(&record, 0, sizeof(record));
    record.counter = 0x0102030405060708ll;
    strcpy(record.userData, "user data \xB0\xB2");
    record.useCount = 77;
    strcpy(record.identifier, "0123456789abcdef0123456789abcdef");
    return record;
}

// The stored text of the key: hexadecimal bytes followed by a checksum byte.
std::string StoredText(const std::wstring& file)
{
    std::string bytes;
    TestSupport::ReadFileBytes(file, &bytes);
    size_t at = bytes.find("ke_user_main_key=");
    if (at == std::string::npos) return std::string();
    size_t begin = at + 17;
    size_t end = bytes.find_first_of("\r\n", begin);
    return bytes.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

} // namespace

TEST(CommonUserProfile, RecordIsStoredAsHexWithChecksumAndReadBack)
{
    TempFolder temp;
    std::wstring file = temp.Path() + L"user.ini";
    KEUserProfileRecord record = SampleRecord();
    ASSERT_TRUE(WriteUserProfileRecord(file.c_str(), record));

    std::string text = StoredText(file);
    ASSERT_EQ(2 * 2096u + 2, text.size());
    unsigned sum = 0;
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(&record);
    char hex[3];
    for (size_t i = 0; i < 2096; ++i) {
        snprintf(hex, sizeof(hex), "%02X", raw[i]);
        ASSERT_EQ(std::string(hex), text.substr(2 * i, 2)) << "byte " << i;
        sum += raw[i];
    }
    snprintf(hex, sizeof(hex), "%02X", sum & 0xFF);
    EXPECT_EQ(std::string(hex), text.substr(4192));

    KEUserProfileRecord back;
    ASSERT_TRUE(ReadUserProfileRecord(file.c_str(), &back));
    EXPECT_EQ(0, memcmp(&record, &back, sizeof(record)));
}

TEST(CommonUserProfile, DamagedOrMissingRecordsAreRefused)
{
    TempFolder temp;
    std::wstring file = temp.Path() + L"user.ini";
    KEUserProfileRecord record = SampleRecord();
    KEUserProfileRecord back = SampleRecord();
    EXPECT_FALSE(ReadUserProfileRecord(file.c_str(), &back));

    ASSERT_TRUE(WriteUserProfileRecord(file.c_str(), record));
    std::string bytes;
    ASSERT_TRUE(TestSupport::ReadFileBytes(file, &bytes));
    size_t at = bytes.find("ke_user_main_key=") + 17;
    bytes[at] = bytes[at] == '0' ? '1' : '0';  // first data digit: checksum no longer matches
    ASSERT_TRUE(TestSupport::WriteFileBytes(file, bytes));
    memset(&back, 0x5A, sizeof(back));
    EXPECT_FALSE(ReadUserProfileRecord(file.c_str(), &back));
    EXPECT_EQ(0x5A, reinterpret_cast<unsigned char*>(&back)[0]);

    // A record of another size.
    ASSERT_TRUE(TestSupport::WriteFileBytes(file, "[ke_user_profile]\r\nke_user_main_key=0102030406\r\n"));
    EXPECT_FALSE(ReadUserProfileRecord(file.c_str(), &back));
}

TEST(CommonUserProfile, IdentifierIsTheMd5OfANewGuid)
{
    const std::regex shape("^[0-9a-f]{32}$");
    std::string a = MakeProfileIdentifier();
    std::string b = MakeProfileIdentifier();
    EXPECT_TRUE(std::regex_match(a, shape)) << a;
    EXPECT_TRUE(std::regex_match(b, shape)) << b;
    EXPECT_NE(a, b);
}

TEST(CommonUserProfile, ProfileObjectKeepsItsIdentifierInTheUserFile)
{
    CKEUserProfile& profile = CKEUserProfile::Instance();
    EXPECT_EQ(&profile, &CKEUserProfile::Instance());
    std::string id = profile.GetIdentifier();
    ASSERT_TRUE(std::regex_match(id, std::regex("^[0-9a-f]{32}$"))) << id;

    KEUserProfileRecord stored;
    ASSERT_TRUE(ReadUserProfileRecord(GetUserProfileFile(), &stored));
    EXPECT_EQ(id, stored.identifier);

    profile.SetCounts(3, 9);
    EXPECT_EQ(9, profile.GetUseCount());
    profile.SetCounts(12, 4);
    EXPECT_EQ(12, profile.GetUseCount());
    profile.SetCounter(1234567890123ll);
    profile.SetUserData(std::string(3000, 'u'));
    EXPECT_EQ(2047u, profile.GetUserData().size());
    ASSERT_TRUE(profile.Save());

    profile.Reload();
    EXPECT_EQ(id, profile.GetIdentifier());
    EXPECT_EQ(12, profile.GetUseCount());
    EXPECT_EQ(1234567890123ll, profile.GetCounter());
    ASSERT_TRUE(ReadUserProfileRecord(GetUserProfileFile(), &stored));
    EXPECT_EQ(12, stored.useCount);
}
