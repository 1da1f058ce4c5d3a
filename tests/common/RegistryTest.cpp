// KEReg2 on a scratch key of the current user. The machine-wide uninstall
// entry itself is written and read back by check_registry.sh (one writer).
#include "common/Registry.h"

#include "CommonTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using SkinUI::CUiString;

namespace {

class CommonRegistryKey : public testing::Test {
protected:
    void SetUp() override { path = L"Software\\VelkaroTest\\" + CommonTest::UniqueToken(L"reg"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }
    std::wstring path;
};

} // namespace

TEST_F(CommonRegistryKey, StringsRoundTripWithExactlyOneTerminator)
{
    KEReg2 reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.CreateKey(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS));
    EXPECT_EQ(path, reg.GetKeyPath().GetData());
    const wchar_t* text = L"C:\\Program Files (x86)\\安装 ok";
    ASSERT_EQ(ERROR_SUCCESS, reg.SetString(L"Name", text));

    CUiString back;
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryString(L"Name", &back));
    EXPECT_STREQ(text, back.GetData());

    std::vector<wchar_t> raw(64, L'#');
    DWORD bytes = static_cast<DWORD>(raw.size() * sizeof(wchar_t));
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryRaw(L"Name", raw.data(), &bytes));
    size_t length = wcslen(text);
    EXPECT_EQ((length + 1) * sizeof(wchar_t), bytes);
    EXPECT_EQ(L'\0', raw[length]);
    EXPECT_NE(L'\0', raw[length - 1]);

    // Empty text is one terminator.
    ASSERT_EQ(ERROR_SUCCESS, reg.SetString(L"Empty", L""));
    bytes = static_cast<DWORD>(raw.size() * sizeof(wchar_t));
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryRaw(L"Empty", raw.data(), &bytes));
    EXPECT_EQ(sizeof(wchar_t), bytes);
}

TEST_F(CommonRegistryKey, StringsLongerThanTheBufferFailAndLeaveTheOutputAlone)
{
    KEReg2 reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.CreateKey(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS));
    std::wstring fits(255, L'a');  // 255 units + terminator = 512 bytes
    std::wstring tooLong(256, L'b');
    ASSERT_EQ(ERROR_SUCCESS, reg.SetString(L"Fits", fits.c_str()));
    ASSERT_EQ(ERROR_SUCCESS, reg.SetString(L"Long", tooLong.c_str()));
    CUiString out(L"unchanged");
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryString(L"Fits", &out));
    EXPECT_EQ(fits, out.GetData());
    out = L"unchanged";
    EXPECT_EQ(ERROR_MORE_DATA, reg.QueryString(L"Long", &out));
    EXPECT_STREQ(L"unchanged", out.GetData());
}

TEST_F(CommonRegistryKey, DwordsBinaryAndDeletion)
{
    KEReg2 reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.CreateKey(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, reg.SetDword(L"Count", 0xDEADBEEF));
    DWORD value = 0;
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryDword(L"Count", &value));
    EXPECT_EQ(0xDEADBEEFu, value);

    const unsigned char blob[] = {0, 1, 2, 0xFF, 0, 0x80};
    ASSERT_EQ(ERROR_SUCCESS, reg.SetBinary(L"Blob", blob, sizeof(blob)));
    unsigned char back[16] = {};
    DWORD size = sizeof(back);
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryRaw(L"Blob", back, &size));
    ASSERT_EQ(sizeof(blob), size);
    EXPECT_EQ(0, memcmp(blob, back, sizeof(blob)));
    DWORD type = 0;
    RegQueryValueExW(reg.GetKey(), L"Blob", nullptr, &type, nullptr, nullptr);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);

    // A value that is too big for a DWORD: failure, output untouched.
    value = 7;
    EXPECT_NE(ERROR_SUCCESS, reg.QueryDword(L"Blob", &value));
    EXPECT_EQ(7u, value);

    EXPECT_EQ(ERROR_SUCCESS, reg.DeleteValue(L"Count"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.QueryDword(L"Count", &value));
    EXPECT_EQ(7u, value);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.DeleteValue(L"Count"));
}

TEST_F(CommonRegistryKey, ReopeningAndClosing)
{
    {
        KEReg2 reg;
        ASSERT_EQ(ERROR_SUCCESS, reg.CreateKey(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS));
        ASSERT_EQ(ERROR_SUCCESS, reg.SetString(L"A", L"first"));
        // Creating an existing key opens it; its values stay.
        ASSERT_EQ(ERROR_SUCCESS, reg.CreateKey(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS));
        CUiString out;
        ASSERT_EQ(ERROR_SUCCESS, reg.QueryString(L"A", &out));
        EXPECT_STREQ(L"first", out.GetData());
        reg.CloseKey();
        EXPECT_EQ(nullptr, reg.GetKey());
        reg.CloseKey();  // twice is harmless
    }
    KEReg2 reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.OpenKeyForWrite(HKEY_CURRENT_USER, path.c_str()));
    EXPECT_EQ(ERROR_SUCCESS, reg.SetString(L"B", L"second"));
    EXPECT_NE(ERROR_SUCCESS, reg.OpenKeyForWrite(HKEY_CURRENT_USER, (path + L"\\missing").c_str()));
    EXPECT_EQ(nullptr, reg.GetKey());
}

TEST_F(CommonRegistryKey, UninstallStringIsTheQuotedUninstallerPath)
{
    // The machine's real entry belongs to check_registry.sh; here the process's
    // HKEY_LOCAL_MACHINE is this test's scratch key while the entry is written.
    HKEY scratch = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &scratch, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch));
    RegisterUninstallEntry(L"C:\\Program Files (x86)\\Norvantix\\Norvantix");
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);

    KEReg2 reg;
    ASSERT_EQ(ERROR_SUCCESS, reg.CreateKey(scratch, GetUninstallEntryKeyPath(), KEY_READ));
    RegCloseKey(scratch);
    CUiString value;
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryString(L"UninstallString", &value));
    // Unquoted, the program list would start C:\Program.exe with the rest as arguments.
    EXPECT_STREQ(L"\"C:\\Program Files (x86)\\Norvantix\\Norvantix\\DEZeRodurav.exe\"", value.GetData());
    ASSERT_EQ(ERROR_SUCCESS, reg.QueryString(L"DisplayIcon", &value));
    EXPECT_STREQ(L"C:\\Program Files (x86)\\Norvantix\\Norvantix\\DUDavov.exe", value.GetData());
}

TEST(CommonRegistry, OperationsWithoutAKeyReturnTheSystemError)
{
    KEReg2 reg;
    CUiString out(L"same");
    DWORD value = 3;
    DWORD size = sizeof(value);
    EXPECT_NE(ERROR_SUCCESS, reg.SetString(L"X", L"y"));
    EXPECT_NE(ERROR_SUCCESS, reg.SetDword(L"X", 1));
    EXPECT_NE(ERROR_SUCCESS, reg.SetBinary(L"X", "ab", 2));
    EXPECT_NE(ERROR_SUCCESS, reg.QueryString(L"X", &out));
    EXPECT_NE(ERROR_SUCCESS, reg.QueryDword(L"X", &value));
    EXPECT_NE(ERROR_SUCCESS, reg.QueryRaw(L"X", &value, &size));
    EXPECT_NE(ERROR_SUCCESS, reg.DeleteValue(L"X"));
    EXPECT_STREQ(L"same", out.GetData());
    EXPECT_EQ(3u, value);
}

TEST(CommonRegistry, UninstallEntryPathFollowsTheView)
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::wstring path = GetUninstallEntryKeyPath().GetData();
    const std::wstring entry = L"\\{9231853D-F1E3-4F7E-BDDF-8D9AF6D07462}";
    if (wow64)
        EXPECT_EQ(L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall" + entry, path);
    else
        EXPECT_EQ(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall" + entry, path);
}
