// The hand-over to the temporary copy: its command line reads back exactly,
// the product folder test is not fooled by a look-alike name, and the
// script that deletes the copy waits until the file is free.
#include "Uninstall/UninstallLaunch.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

using namespace TestSupport;

TEST(UninstallLaunch, TheCopysCommandLineReadsBackUnchanged)
{
    struct Case {
        std::wstring exe, folder;
        unsigned long long handle;
    } cases[] = {
        {L"C:\\Temp\\DEZeRodurav-1.exe", L"C:\\Program Files (x86)\\Norvantix\\Norvantix", 0x1F4},
        {L"C:\\用户 临时\\DEZeRodurav-2.exe", L"D:\\软件\\Norvantix", 4},
        // A trailing backslash before the closing quote must not swallow it.
        {L"C:\\Temp\\x.exe", L"E:\\odd folder\\", 0xFFFFFFFFFFFFULL},
        {L"C:\\Temp\\x.exe", L"E:\\a \"quoted\" name", 12},
    };
    for (const Case& c : cases) {
        UninstallCommand command = ParseUninstallCommand(BuildCopyCommandLine(c.exe, c.folder, c.handle).c_str());
        EXPECT_TRUE(command.isTemporaryCopy) << ToUtf8(c.folder);
        EXPECT_EQ(c.folder, command.productFolder);
        EXPECT_EQ(c.handle, command.waitHandle);
    }
}

TEST(UninstallLaunch, OtherCommandLinesStartTheOriginal)
{
    struct Case {
        const wchar_t* line;
        const wchar_t* folder;
        bool isCopy;
    } cases[] = {
        {L"", L"", false},
        {L"\"C:\\P\\DEZeRodurav.exe\"", L"", false},
        {L"DEZeRodurav.exe /S /quiet", L"", false},
        {L"DEZeRodurav.exe /copy", L"", false},
        {L"DEZeRodurav.exe /copy 12x", L"", false},
        {L"DEZeRodurav.exe /product \"D:\\A B\"", L"D:\\A B", false},
        {L"DEZeRodurav.exe /PRODUCT D:\\A /Copy 7", L"D:\\A", true},
    };
    for (const Case& c : cases) {
        UninstallCommand command = ParseUninstallCommand(c.line);
        EXPECT_EQ(c.isCopy, command.isTemporaryCopy) << ToUtf8(c.line);
        EXPECT_EQ(std::wstring(c.folder), command.productFolder) << ToUtf8(c.line);
    }
}

TEST(UninstallLaunch, InsideTheProductFolderMeansBelowIt)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
        bool inside;
    } cases[] = {
        {L"C:\\Apps\\Norvantix", L"C:\\Apps\\Norvantix", true},
        {L"c:\\apps\\norvantix\\", L"C:\\Apps\\Norvantix", true},
        {L"C:/Apps/Norvantix/bin", L"C:\\Apps\\Norvantix", true},
        {L"C:\\Apps\\Norvantix2", L"C:\\Apps\\Norvantix", false},
        {L"C:\\Apps", L"C:\\Apps\\Norvantix", false},
        {L"C:\\Users\\me\\Temp", L"C:\\Apps\\Norvantix", false},
        {L"C:\\Apps", L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.inside, IsInsideFolder(c.path, c.folder)) << ToUtf8(c.path) << " in " << ToUtf8(c.folder);
}

TEST(UninstallLaunch, TheDeletionWaitsForTheFileToBeFreeAndLeavesNothing)
{
    TempFolder temp;
    // A name the script must not split or mangle.
    std::wstring file = temp.Path() + L"删除 probe (1).exe";
    ASSERT_TRUE(WriteFileBytes(file, "MZ"));
    // Held without sharing, as a running program holds its file on Windows.
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(StartDeletion(file));
    auto gone = [&] { return !FileExists(file) && !FileExists(file + L".cmd"); };
    auto waitUntil = [](const std::function<bool()>& done, DWORD ms) {
        for (DWORD start = GetTickCount(); !done();) {
            if (GetTickCount() - start > ms) return false;
            Sleep(50);
        }
        return true;
    };
    EXPECT_FALSE(waitUntil([&] { return !FileExists(file); }, 1500)) << "deleted while in use";
    CloseHandle(held);
    EXPECT_TRUE(waitUntil(gone, 15000)) << "file " << FileExists(file) << ", script " << FileExists(file + L".cmd");
}
