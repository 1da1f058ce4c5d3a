// Text conversions, platform checks, shell opening and its error texts, DPI,
// GUID text, adapter address and clock conversions.
#include "common/DateTime.h"
#include "common/Display.h"
#include "common/Identity.h"
#include "common/Log.h"
#include "common/ShellOpen.h"
#include "common/SystemInfo.h"
#include "common/TextConvert.h"

#include "CommonTestUtil.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

using CommonTest::FileSize;
using CommonTest::LogBytesFrom;
using CommonTest::ShellExecuteSpy;
using SkinUI::CUiString;

TEST(CommonText, WideToAnsiReplacesWhatTheCodePageLacksOneForOne)
{
    // Thai, Devanagari and an emoji half are in no Western or Chinese ANSI code page.
    const wchar_t* path = L"C:\\Install\\\x0E01\x0E02\x0915-x";
    std::string ansi = WideToAnsi(path);
    ASSERT_EQ(wcslen(path), ansi.size());
    EXPECT_EQ("C:\\Install\\", ansi.substr(0, 11));
    EXPECT_EQ("-x", ansi.substr(14));
    CPINFO info;
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    for (size_t i = 11; i < 14; ++i) EXPECT_EQ(static_cast<char>(info.DefaultChar[0]), ansi[i]);

    EXPECT_EQ("plain ascii", WideToAnsi(L"plain ascii"));
    EXPECT_EQ("", WideToAnsi(L""));
    EXPECT_EQ("", WideToAnsi(nullptr));
}

TEST(CommonText, Utf8AndAnsiRoundTrips)
{
    const wchar_t* chinese = L"安装目录 Café";
    std::string utf8 = WideToUtf8(chinese);
    EXPECT_EQ("\xE5\xAE\x89\xE8\xA3\x85\xE7\x9B\xAE\xE5\xBD\x95 Caf\xC3\xA9", utf8);
    EXPECT_STREQ(chinese, Utf8ToWide(utf8.c_str()).GetData());

    std::string ansi = WideToAnsi(L"Name 123");
    EXPECT_STREQ(L"Name 123", AnsiToWide(ansi.c_str()).GetData());
    EXPECT_EQ("Name 123", AnsiToUtf8(ansi.c_str()));
    EXPECT_EQ("Name 123", Utf8ToAnsi("Name 123"));
    // Through ANSI, what the code page lacks is lost the same way as above.
    EXPECT_EQ(WideToAnsi(L"\x0E01"), Utf8ToAnsi("\xE0\xB8\x81"));
    EXPECT_TRUE(Utf8ToWide(nullptr).IsEmpty());
    EXPECT_TRUE(Utf8ToWide("").IsEmpty());
}

TEST(CommonPlatform, Wow64AndArchitectureAgreeWithTheSystem)
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    EXPECT_EQ(wow64 != FALSE, IsWow64());
    SYSTEM_INFO native;
    GetNativeSystemInfo(&native);
    EXPECT_EQ(native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64, IsNative64BitOs());
    // A 32-bit process under WOW64 always sits on a 64-bit system.
    if (IsWow64()) {
        EXPECT_TRUE(IsNative64BitOs());
    }
}

TEST(CommonPlatform, WindowsVersionMatchesExactly)
{
    typedef LONG(WINAPI * RtlGetVersionFn)(OSVERSIONINFOW*);
    RtlGetVersionFn getVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll"), "RtlGetVersion")));
    ASSERT_NE(nullptr, getVersion);
    OSVERSIONINFOW real = {};
    real.dwOSVersionInfoSize = sizeof(real);
    getVersion(&real);
    EXPECT_TRUE(IsWindowsVersion(real.dwMajorVersion, real.dwMinorVersion));
    EXPECT_FALSE(IsWindowsVersion(real.dwMajorVersion + 1, real.dwMinorVersion));
    EXPECT_FALSE(IsWindowsVersion(real.dwMajorVersion, real.dwMinorVersion + 1));
    EXPECT_EQ(real.dwMajorVersion == 10 && real.dwMinorVersion == 0, IsWindows10());
}

TEST(CommonShell, OpenUsesTheOpenVerbShownWithoutOwner)
{
    {
        ShellExecuteSpy spy(42);
        EXPECT_EQ(42, OpenWithShell(L"https://example.invalid/agreement.html"));
        EXPECT_EQ(L"open", spy.verb);
        EXPECT_EQ(L"https://example.invalid/agreement.html", spy.file);
        EXPECT_EQ(SW_SHOW, spy.show);
        EXPECT_FALSE(spy.hadOwner || spy.hadParameters || spy.hadDirectory);
    }
    // The real shell on a file that does not exist: a failure value.
    EXPECT_LE(OpenWithShell(L"C:\\no\\such\\file.txt"), 32);
}

TEST(CommonShell, ErrorTextsAreLoggedForCodesUpTo32)
{
    struct Case {
        INT_PTR code;
        const char* text;
    } cases[] = {
        {0, "The operating system is out of memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied access to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .exe file is invalid (non-Win32? .exe or error in .exe image)."},
        {26, "A sharing violation occurred."},
        {27, "The file name association is incomplete or invalid."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
        {31, "There is no application associated with the given file name extension."},
        {32, "The specified dynamic-link library was not found."},
        {7, "Unknow error 7"},
        {-4, "Unknow error -4"},
    };
    for (const Case& c : cases) {
        long long before = FileSize(GetLogFilePath().GetData());
        EXPECT_EQ(c.code, ReportShellExecuteError(c.code));
        std::string appended = LogBytesFrom(before);
        EXPECT_NE(std::string::npos, appended.find(std::string("] - ") + c.text + "\r\n")) << c.code;
    }
    long long before = FileSize(GetLogFilePath().GetData());
    EXPECT_EQ(42, ReportShellExecuteError(42));
    EXPECT_EQ(std::string::npos, LogBytesFrom(before).find("error 42"));
}

TEST(CommonDisplay, DpiAndScaleRules)
{
    EXPECT_EQ(96, AverageDpi(96, 96));
    EXPECT_EQ(132, AverageDpi(120, 144));
    EXPECT_EQ(96, AverageDpi(96, 97));  // 96.5 truncates
    EXPECT_DOUBLE_EQ(1.0, ScaleForDpi(96));
    EXPECT_DOUBLE_EQ(1.25, ScaleForDpi(120));
    EXPECT_DOUBLE_EQ(1.5, ScaleForDpi(144));
    EXPECT_DOUBLE_EQ(2.0, ScaleForDpi(192));
    EXPECT_DOUBLE_EQ(1.0, ScaleForDpi(110));
    EXPECT_DOUBLE_EQ(1.25, ScaleForDpi(143));
    EXPECT_DOUBLE_EQ(1.0, ScaleForDpi(72));  // never below 1
    EXPECT_DOUBLE_EQ(1.0, ScaleForDpi(0));

    HDC screen = GetDC(nullptr);
    int x = GetDeviceCaps(screen, LOGPIXELSX), y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(AverageDpi(x, y), GetScreenDpi());
    EXPECT_DOUBLE_EQ(ScaleForDpi(GetScreenDpi()), GetScreenScale());
}

TEST(CommonIdentity, GuidTextShapes)
{
    const std::wregex braces(LR"(^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$)");
    const std::wregex bare(LR"(^[0-9A-F]{32}$)");
    std::set<std::wstring> seen;
    for (int i = 0; i < 20; ++i) {
        std::wstring a = FormatNewGuid(true).GetData();
        std::wstring b = FormatNewGuid(false).GetData();
        EXPECT_TRUE(std::regex_match(a, braces)) << CommonTest::ToNarrow(a);
        EXPECT_TRUE(std::regex_match(b, bare)) << CommonTest::ToNarrow(b);
        seen.insert(a);
        seen.insert(b);
    }
    EXPECT_EQ(40u, seen.size());
}

TEST(CommonIdentity, MacAddressOutputsAreClearedAndOnlyEthernetIsFilled)
{
    CUiString ethernet(L"old"), wireless(L"old"), bluetooth(L"old");
    bool found = GetMacAddress(&ethernet, &wireless, &bluetooth);
    EXPECT_TRUE(wireless.IsEmpty());
    EXPECT_TRUE(bluetooth.IsEmpty());
    if (found) {
        EXPECT_TRUE(std::regex_match(std::wstring(ethernet.GetData()),
                                     std::wregex(LR"(^([0-9A-F]{2}-){5}[0-9A-F]{2}$)")));
    } else {
        EXPECT_TRUE(ethernet.IsEmpty());
    }
    EXPECT_EQ(found, GetMacAddress(nullptr, nullptr, nullptr));
}

TEST(CommonDateTime, LocalRecordsRoundTripThroughSeconds)
{
    SYSTEMTIME record = {};
    record.wYear = 2026;
    record.wMonth = 12;
    record.wDay = 7;
    record.wHour = 4;
    record.wMinute = 5;
    record.wSecond = 9;
    record.wMilliseconds = 500;  // ignored
    long long seconds = DateTimeToTime64(record);
    ASSERT_GT(seconds, 0);
    SYSTEMTIME back = Time64ToDateTime(seconds);
    EXPECT_EQ(2026, back.wYear);
    EXPECT_EQ(12, back.wMonth);
    EXPECT_EQ(7, back.wDay);
    EXPECT_EQ(4, back.wHour);
    EXPECT_EQ(5, back.wMinute);
    EXPECT_EQ(9, back.wSecond);
    EXPECT_EQ(0, back.wMilliseconds);
    EXPECT_EQ(1, back.wDayOfWeek);  // a Monday

    // One day later is 86400 seconds later (no summer-time change in December).
    record.wDay = 8;
    EXPECT_EQ(seconds + 86400, DateTimeToTime64(record));

    SYSTEMTIME bad = Time64ToDateTime(-5);
    EXPECT_EQ(0, bad.wYear);
}

TEST(CommonDateTime, NowIsMillisecondsSince1970)
{
    FILETIME file;
    GetSystemTimeAsFileTime(&file);
    long long fromFileTime =
        static_cast<long long>(((static_cast<unsigned long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime)
                               / 10000ull)
        - 11644473600000ll;
    long long now = NowMilliseconds();
    EXPECT_LE(std::llabs(now - fromFileTime), 1000);
}
