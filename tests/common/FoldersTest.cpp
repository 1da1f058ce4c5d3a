// Product folders, folder chains, tree removal and the in-use test.
#include "common/Folders.h"

#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

using TestSupport::FileExists;
using TestSupport::TempFolder;
using TestSupport::WriteFileBytes;

namespace {

std::wstring Special(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TEST(CommonFolders, NamesComposeFromTheSystemFolders)
{
    const std::wstring local = Special(CSIDL_LOCAL_APPDATA);
    const std::wstring roaming = Special(CSIDL_APPDATA);
    ASSERT_FALSE(local.empty());
    ASSERT_FALSE(roaming.empty());

    EXPECT_EQ(local, GetLocalAppDataFolder().GetData());
    EXPECT_EQ(Special(CSIDL_DESKTOPDIRECTORY), GetDesktopFolder().GetData());
    EXPECT_EQ(local + L"\\Norvantix\\data", GetDataFolder().GetData());
    EXPECT_EQ(local + L"\\Norvantix\\data\\images", GetImagesFolder().GetData());
    EXPECT_EQ(local + L"\\Norvantix\\data\\logs", GetLogsFolder().GetData());
    EXPECT_EQ(local + L"\\Norvantix\\data\\Norvantix", GetProductDataFolder().GetData());
    EXPECT_EQ(local + L"\\Norvantix\\data\\Norvantix\\Norvantix.ini", GetSettingsFile().GetData());
    EXPECT_EQ(local + L"\\Norvantix\\data\\Norvantix\\NorvantixPainting.ini", GetPaintingSettingsFile().GetData());
    EXPECT_EQ(local + L"\\Norvantix\\data\\Norvantixlog", GetLogFolder().GetData());
    EXPECT_EQ(roaming + L"\\Norvantix\\data\\tarvekvctr\\data", GetRoamingDataFolder().GetData());
    EXPECT_EQ(roaming + L"\\Norvantix\\data\\tarvekvctr\\data\\user.ini", GetUserProfileFile().GetData());
    EXPECT_EQ(Special(CSIDL_PROGRAM_FILES) + L"\\Norvantix", GetDefaultInstallFolder().GetData());
}

TEST(CommonFolders, DefaultInstallFolderIsThe32BitProgramsFolderUnderWow64)
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::wstring folder = GetDefaultInstallFolder().GetData();
    if (wow64) {
        EXPECT_NE(std::wstring::npos, folder.find(L"(x86)\\Norvantix")) << TestSupport::ToUtf8(folder);
    }
    EXPECT_EQ(0u, folder.rfind(L"C:\\", 0));
}

TEST(CommonFolders, ExeFolderHoldsTheRunningProgram)
{
    std::wstring folder = GetExeFolder().GetData();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(L'\\', folder.back());
    EXPECT_TRUE(FileExists(folder + L"\\common_test.exe"));
}

TEST(CommonFolders, CreateFolderChainWithMixedSeparators)
{
    TempFolder temp;
    std::wstring base = temp.Path();  // ends in "\"
    EXPECT_EQ(0, CreateFolderChain((base + L"a\\b/c").c_str()));
    EXPECT_TRUE(IsFolder(base + L"a"));
    EXPECT_TRUE(IsFolder(base + L"a\\b"));
    EXPECT_TRUE(IsFolder(base + L"a\\b\\c"));

    // Existing folders are kept as they are, content included; a trailing
    // separator names the same chain.
    ASSERT_TRUE(WriteFileBytes(base + L"a\\b\\keep.txt", "kept"));
    EXPECT_EQ(0, CreateFolderChain((base + L"a/b/c/").c_str()));
    EXPECT_EQ(0, CreateFolderChain((base + L"a\\b\\d\\").c_str()));
    EXPECT_TRUE(IsFolder(base + L"a\\b\\d"));
    EXPECT_TRUE(FileExists(base + L"a\\b\\keep.txt"));

    // Chinese and accented names.
    EXPECT_EQ(0, CreateFolderChain((base + L"安装\\Café").c_str()));
    EXPECT_TRUE(IsFolder(base + L"安装\\Café"));
}

TEST(CommonFolders, CreateFolderChainLeavesFilesAndOverlongPathsAlone)
{
    TempFolder temp;
    std::wstring base = temp.Path();
    // A file where a folder should go: nothing below it, the file intact.
    ASSERT_TRUE(WriteFileBytes(base + L"blocker", "data"));
    EXPECT_EQ(0, CreateFolderChain((base + L"blocker\\below").c_str()));
    EXPECT_FALSE(IsFolder(base + L"blocker\\below"));
    std::string bytes;
    ASSERT_TRUE(TestSupport::ReadFileBytes(base + L"blocker", &bytes));
    EXPECT_EQ("data", bytes);

    // Too long for the buffer: nothing is created, not even the first level.
    std::wstring longPath = base + L"first\\" + std::wstring(MAX_PATH, L'x');
    EXPECT_EQ(0, CreateFolderChain(longPath.c_str()));
    EXPECT_FALSE(IsFolder(base + L"first"));

    EXPECT_EQ(0, CreateFolderChain(L""));
    EXPECT_EQ(0, CreateFolderChain(nullptr));
}

TEST(CommonFolders, DeleteFolderTreeRemovesNestedContentButNotReadOnlyFiles)
{
    TempFolder temp;
    std::wstring root = temp.Path() + L"tree";
    CreateFolderChain((root + L"\\one\\two\\three").c_str());
    CreateFolderChain((root + L"\\empty").c_str());
    ASSERT_TRUE(WriteFileBytes(root + L"\\top.txt", "x"));
    ASSERT_TRUE(WriteFileBytes(root + L"\\one\\two\\three\\deep.bin", std::string(5000, '\7')));
    ASSERT_TRUE(WriteFileBytes(root + L"\\one\\no extension", ""));
    EXPECT_TRUE(DeleteFolderTree(root.c_str()));
    EXPECT_FALSE(FileExists(root));

    // A read-only file survives, and so do the folders that hold it.
    CreateFolderChain((root + L"\\keep\\inner").c_str());
    CreateFolderChain((root + L"\\gone").c_str());
    ASSERT_TRUE(WriteFileBytes(root + L"\\keep\\inner\\locked.txt", "ro"));
    ASSERT_TRUE(WriteFileBytes(root + L"\\gone\\f.txt", "rw"));
    SetFileAttributesW((root + L"\\keep\\inner\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteFolderTree((root + L"\\").c_str()));
    EXPECT_TRUE(FileExists(root + L"\\keep\\inner\\locked.txt"));
    EXPECT_FALSE(FileExists(root + L"\\gone"));
    SetFileAttributesW((root + L"\\keep\\inner\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CommonFolders, DeleteFolderTreeRefusesWhatItCannotList)
{
    TempFolder temp;
    EXPECT_FALSE(DeleteFolderTree((temp.Path() + L"missing").c_str()));
    EXPECT_FALSE(DeleteFolderTree(L"C"));
    EXPECT_FALSE(DeleteFolderTree(L""));
    EXPECT_FALSE(DeleteFolderTree(nullptr));
}

TEST(CommonFolders, DeleteFolderTreeRemovesFolderLinksWithoutEmptyingTheirTargets)
{
    TempFolder temp;
    std::wstring outside = temp.Path() + L"outside";
    std::wstring tree = temp.Path() + L"tree";
    CreateFolderChain(outside.c_str());
    CreateFolderChain(tree.c_str());
    ASSERT_TRUE(WriteFileBytes(outside + L"\\precious.txt", "keep me"));
    // Wine 8 answers TRUE without making a link; only a real one is tested.
    if (!CreateSymbolicLinkW((tree + L"\\link").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)
        || !FileExists(tree + L"\\link\\precious.txt")) {
        GTEST_SKIP() << "folder links cannot be made on this system";
    }

    EXPECT_TRUE(DeleteFolderTree(tree.c_str()));
    EXPECT_FALSE(FileExists(tree));
    EXPECT_TRUE(FileExists(outside + L"\\precious.txt"));

    // The link itself given as the tree.
    ASSERT_TRUE(CreateSymbolicLinkW((temp.Path() + L"direct").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY));
    EXPECT_TRUE(DeleteFolderTree((temp.Path() + L"direct").c_str()));
    EXPECT_FALSE(FileExists(temp.Path() + L"direct"));
    EXPECT_TRUE(FileExists(outside + L"\\precious.txt"));
}

TEST(CommonFolders, IsFileInUse)
{
    TempFolder temp;
    std::wstring file = temp.Path() + L"busy.dat";
    EXPECT_TRUE(IsFileInUse(file.c_str()));  // missing
    ASSERT_TRUE(WriteFileBytes(file, "abc"));
    EXPECT_FALSE(IsFileInUse(file.c_str()));
    {
        HANDLE reader = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, reader);
        EXPECT_TRUE(IsFileInUse(file.c_str()));  // even a sharing reader counts
        CloseHandle(reader);
    }
    EXPECT_FALSE(IsFileInUse(file.c_str()));
    // The probe leaves the file as it was.
    std::string bytes;
    ASSERT_TRUE(TestSupport::ReadFileBytes(file, &bytes));
    EXPECT_EQ("abc", bytes);
}
