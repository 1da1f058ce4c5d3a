// Shell links read back through the shell, the start-menu group's path
// limits, and the taskbar helpers with the shell call watched (the taskbar
// verbs exist only on real Windows shells).
#include "common/Shortcuts.h"

#include "common/ComPtr.h"
#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

using CommonTest::ShellExecuteSpy;
using CommonTest::StreamCapture;
using TestSupport::FileExists;
using TestSupport::TempFolder;

namespace {

class ComScope : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

struct LinkFields {
    std::wstring target, workingDir, description, icon;
    int iconIndex = -1;
};

bool ReadLink(const std::wstring& path, LinkFields* fields)
{
    CKEComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid())))
        return false;
    CKEComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) return false;
    if (FAILED(file->Load(path.c_str(), STGM_READ))) return false;
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    fields->target = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    fields->workingDir = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    fields->description = text;
    text[0] = 0;
    link->GetIconLocation(text, MAX_PATH, &fields->iconIndex);
    fields->icon = text;
    return true;
}

std::wstring ShortForm(const std::wstring& path)
{
    wchar_t text[MAX_PATH] = {};
    DWORD n = GetShortPathNameW(path.c_str(), text, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(text) : path;
}

} // namespace

using CommonShortcuts = ComScope;

TEST_F(CommonShortcuts, LinkHoldsTargetFolderDescriptionAndShortIconPath)
{
    TempFolder temp;
    std::wstring product = temp.Path() + L"Long Product Folder";
    CreateDirectoryW(product.c_str(), nullptr);
    std::wstring exe = product + L"\\DUDavov.exe";
    ASSERT_TRUE(TestSupport::WriteFileBytes(exe, "MZ"));
    std::wstring link = temp.Path() + L"Velkaro.lnk";
    std::wstring description = L"位置: Velkaro(" + product + L")";

    ASSERT_TRUE(CreateShellLink(exe.c_str(), product.c_str(), description.c_str(), exe.c_str(), 3, link.c_str()));
    LinkFields fields;
    ASSERT_TRUE(ReadLink(link, &fields));
    EXPECT_EQ(exe, fields.target);
    EXPECT_EQ(product, fields.workingDir);
    EXPECT_EQ(description, fields.description);
    EXPECT_EQ(ShortForm(exe), fields.icon);
    EXPECT_EQ(3, fields.iconIndex);

    // Saving again over the same file replaces it.
    ASSERT_TRUE(CreateShellLink(exe.c_str(), temp.Path().c_str(), L"second", exe.c_str(), 0, link.c_str()));
    ASSERT_TRUE(ReadLink(link, &fields));
    EXPECT_EQ(L"second", fields.description);
    EXPECT_EQ(0, fields.iconIndex);
}

TEST_F(CommonShortcuts, IconWithoutAShortFormKeepsItsLongForm)
{
    TempFolder temp;
    std::wstring missingIcon = temp.Path() + L"no such folder\\icon file.ico";
    std::wstring link = temp.Path() + L"x.lnk";
    ASSERT_TRUE(CreateShellLink(L"C:\\windows\\notepad.exe", L"C:\\", L"d", missingIcon.c_str(), 0, link.c_str()));
    LinkFields fields;
    ASSERT_TRUE(ReadLink(link, &fields));
    EXPECT_EQ(missingIcon, fields.icon);
}

TEST_F(CommonShortcuts, SaveIntoAMissingFolderFails)
{
    TempFolder temp;
    std::wstring link = temp.Path() + L"missing\\x.lnk";
    StreamCapture out(stdout);
    EXPECT_FALSE(CreateShellLink(L"C:\\windows\\notepad.exe", L"C:\\", L"d", L"C:\\windows\\notepad.exe", 0,
                                 link.c_str()));
    EXPECT_FALSE(FileExists(link));
    // The creation result is traced in hexadecimal: S_OK is "0".
    EXPECT_EQ("0\n", out.Text());
}

TEST_F(CommonShortcuts, StartMenuGroupWithAnOverlongNameMakesNothing)
{
    wchar_t programs[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE));
    std::wstring name(MAX_PATH - wcslen(programs) - 2, L'n');  // the folder fits, its links do not
    std::wstring group = std::wstring(programs) + L"\\" + name;
    CreateStartMenuShortcuts(L"C:\\a\\DUDavov.exe", L"C:\\a\\DEZeRodurav.exe", L"C:\\a", name.c_str(), L"d");
    bool folderMade = FileExists(group);
    EXPECT_FALSE(FileExists(group + L"\\" + name + L".lnk"));
    if (folderMade) RemoveDirectoryW(group.c_str());

    std::wstring tooLong(MAX_PATH, L'm');
    CreateStartMenuShortcuts(L"C:\\a\\DUDavov.exe", L"C:\\a\\DEZeRodurav.exe", L"C:\\a", tooLong.c_str(), L"d");
    // Neither the full name nor any cut of it became a folder.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((std::wstring(programs) + L"\\mmmm*").c_str(), &data);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST_F(CommonShortcuts, StartMenuLinksCarryTheirOwnProgramsIcons)
{
    // A group of this test's own name: the product's real group belongs to
    // check_links.sh.
    TempFolder temp;
    std::wstring product = temp.Path() + L"Long Product Folder";
    CreateDirectoryW(product.c_str(), nullptr);
    std::wstring exe = product + L"\\DUDavov.exe", uninstaller = product + L"\\DEZeRodurav.exe";
    ASSERT_TRUE(TestSupport::WriteFileBytes(exe, "MZ"));
    ASSERT_TRUE(TestSupport::WriteFileBytes(uninstaller, "MZ"));
    ASSERT_NE(ShortForm(exe), ShortForm(uninstaller));
    std::wstring name = CommonTest::UniqueToken(L"VelkaroMenu");
    CreateStartMenuShortcuts(exe.c_str(), uninstaller.c_str(), product.c_str(), name.c_str(), L"d");

    wchar_t programs[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE));
    std::wstring group = std::wstring(programs) + L"\\" + name;
    std::wstring productLink = group + L"\\" + name + L".lnk", uninstallLink = group + L"\\卸载" + name + L".lnk";
    LinkFields productFields, uninstallFields;
    EXPECT_TRUE(ReadLink(productLink, &productFields));
    EXPECT_TRUE(ReadLink(uninstallLink, &uninstallFields));
    DeleteFileW(productLink.c_str());
    DeleteFileW(uninstallLink.c_str());
    RemoveDirectoryW(group.c_str());

    EXPECT_EQ(exe, productFields.target);
    EXPECT_EQ(ShortForm(exe), productFields.icon);
    EXPECT_EQ(uninstaller, uninstallFields.target);
    EXPECT_EQ(ShortForm(uninstaller), uninstallFields.icon);
    EXPECT_EQ(0, uninstallFields.iconIndex);
}

TEST_F(CommonShortcuts, PinAndUnpinUseTheShellVerbsHidden)
{
    {
        ShellExecuteSpy spy(42);
        EXPECT_TRUE(PinToTaskbar(L"C:\\p\\app.lnk"));
        EXPECT_EQ(L"taskbarpin", spy.verb);
        EXPECT_EQ(L"C:\\p\\app.lnk", spy.file);
        EXPECT_EQ(SW_HIDE, spy.show);
        EXPECT_FALSE(spy.hadParameters || spy.hadDirectory || spy.hadOwner);
        EXPECT_TRUE(UnpinFromTaskbar(L"C:\\p\\app.lnk"));
        EXPECT_EQ(L"taskbarunpin", spy.verb);
    }
    {
        ShellExecuteSpy spy(32);  // 32 and below are failures
        EXPECT_FALSE(PinToTaskbar(L"C:\\p\\app.lnk"));
        EXPECT_FALSE(UnpinFromTaskbar(L"C:\\p\\app.lnk"));
    }
    // Wine's shell has no taskbar verbs: a clean false, nothing else.
    TempFolder temp;
    std::wstring file = temp.Path() + L"app.txt";
    ASSERT_TRUE(TestSupport::WriteFileBytes(file, "x"));
    EXPECT_FALSE(PinToTaskbar(file.c_str()));
    EXPECT_FALSE(UnpinFromTaskbar(file.c_str()));
}

TEST_F(CommonShortcuts, PinShortcutGoesThroughATemporaryLinkThatIsRemoved)
{
    wchar_t tempFolder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempFolder);
    std::wstring name = CommonTest::UniqueToken(L"pin");
    std::wstring tempLink = std::wstring(tempFolder) + name + L".lnk";
    {
        ShellExecuteSpy spy(42);
        StreamCapture err(stderr);
        EXPECT_TRUE(PinShortcutToTaskbar(L"C:\\windows\\notepad.exe", L"C:\\windows", L"d", name.c_str(), 0));
        EXPECT_EQ(1, spy.calls);
        EXPECT_EQ(L"TaskbarPin", spy.verb);
        EXPECT_EQ(tempLink, spy.file);
        EXPECT_EQ(SW_SHOW, spy.show);
        EXPECT_EQ("", err.Text());
    }
    EXPECT_FALSE(FileExists(tempLink));
    {
        ShellExecuteSpy spy(2);
        StreamCapture err(stderr);
        EXPECT_TRUE(PinShortcutToTaskbar(L"C:\\windows\\notepad.exe", L"C:\\windows", L"d", name.c_str(), 0));
        // 无法将快捷方式固定到任务栏！ in GBK.
        EXPECT_EQ("\xCE\xDE\xB7\xA8\xBD\xAB\xBF\xEC\xBD\xDD\xB7\xBD\xCA\xBD\xB9\xCC\xB6\xA8\xB5\xBD\xC8\xCE\xCE\xF1"
                  "\xC0\xB8\xA3\xA1\n",
                  err.Text());
    }
    EXPECT_FALSE(FileExists(tempLink));
}

TEST_F(CommonShortcuts, OverlongTaskbarNamesAreRefusedWithAMessage)
{
    std::wstring name(MAX_PATH, L'q');
    ShellExecuteSpy spy(42);
    {
        StreamCapture err(stderr);
        EXPECT_FALSE(PinShortcutToTaskbar(L"C:\\windows\\notepad.exe", L"C:\\", L"d", name.c_str(), 0));
        // 指定的可执行文件路径或图标名称太长！
        EXPECT_EQ("\xD6\xB8\xB6\xA8\xB5\xC4\xBF\xC9\xD6\xB4\xD0\xD0\xCE\xC4\xBC\xFE\xC2\xB7\xBE\xB6\xBB\xF2\xCD\xBC"
                  "\xB1\xEA\xC3\xFB\xB3\xC6\xCC\xAB\xB3\xA4\xA3\xA1\n",
                  err.Text());
    }
    {
        StreamCapture err(stderr);
        EXPECT_FALSE(UnpinTaskbarShortcutByName(name.c_str()));
        // 指定的图标名称太长！
        EXPECT_EQ("\xD6\xB8\xB6\xA8\xB5\xC4\xCD\xBC\xB1\xEA\xC3\xFB\xB3\xC6\xCC\xAB\xB3\xA4\xA3\xA1", err.Text());
    }
    EXPECT_EQ(0, spy.calls);
}

TEST_F(CommonShortcuts, UnpinByNameTargetsTheUsersPinnedTaskbarFolder)
{
    wchar_t roaming[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)));
    {
        ShellExecuteSpy spy(33);
        EXPECT_TRUE(UnpinTaskbarShortcutByName(L"Velkaro"));
        EXPECT_EQ(L"TaskbarUnPin", spy.verb);
        EXPECT_EQ(std::wstring(roaming) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar\\"
                                          L"Velkaro.lnk",
                  spy.file);
        EXPECT_EQ(SW_SHOW, spy.show);
    }
    {
        ShellExecuteSpy spy(0);
        StreamCapture err(stderr);
        EXPECT_FALSE(UnpinTaskbarShortcutByName(L"Velkaro"));
        // 无法删除指定的图标！
        EXPECT_EQ("\xCE\xDE\xB7\xA8\xC9\xBE\xB3\xFD\xD6\xB8\xB6\xA8\xB5\xC4\xCD\xBC\xB1\xEA\xA3\xA1", err.Text());
    }
}
