// The installer's side of the install-folder entry: a folder it made is
// remembered and listed, a folder the user already had never is.
#include "KeInstall/InstallFinish.h"
#include "KeInstall/InstallSettings.h"
#include "7zCore/UnzipCore7z.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace TestSupport;

TEST(InstallFolderRecord, OnlyAFolderTheInstallerMadeIsListed)
{
    struct Case {
        const char* name;
        bool existsBefore;          // the install folder was there before the product folder was made
        bool madeAtStartUp;         // ... because the settings made it as the default folder
        bool expectListed;
    } cases[] = {
        {"made for the product folder", false, false, true},
        {"the default folder made at start-up", true, true, true},
        {"the user's existing folder", true, false, false},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        InstallSettings& settings = GetInstallSettings();
        settings.installFolder = (temp.Path() + L"Apps").c_str();
        settings.createdInstallFolder = c.madeAtStartUp ? settings.installFolder.GetData() : L"C:\\elsewhere";
        if (c.existsBefore) CreateDirectoryW(settings.installFolder, nullptr);
        settings.NoteInstallFolderBeforeCreating();
        CreateDirectoryW(settings.installFolder, nullptr);
        CreateDirectoryW(settings.ProductFolder(), nullptr);

        settings.StoreExtracted({{InstalledEntry::kFile, L"DUDavov.exe"}});
        settings.StoreResult(UNZIP_OK);
        settings.createdLinks.clear();
        FinishOperations operations;
        operations.createLink = [](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int,
                                   const wchar_t*) { return true; };
        operations.createStartMenu = [](const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*,
                                        const wchar_t*) {};
        std::wstring elsewhere = temp.Path() + L"shell";
        operations.desktopFolder = [&] { return SkinUI::CUiString(elsewhere.c_str()); };
        operations.programsFolder = [&] { return SkinUI::CUiString(elsewhere.c_str()); };
        operations.registerEntry = [](const wchar_t*) {};
        ASSERT_TRUE(FinishInstall(settings, operations)) << c.name;

        CInstalledFiles list;
        std::wstring listPath = std::wstring(settings.ProductFolder().GetData()) + L"\\" KE_INSTALLED_FILES_NAME;
        ASSERT_EQ(INSTALLED_LIST_OK, list.Load(listPath.c_str())) << c.name;
        bool listed = false;
        for (const InstalledEntry& entry : list.Entries())
            if (entry.kind == InstalledEntry::kInstallFolder) listed = entry.path == settings.installFolder.GetData();
        EXPECT_EQ(c.expectListed, listed) << c.name;
        settings.createdInstallFolder.clear();
        settings.StoreResult(kInstallPending);
    }
}
