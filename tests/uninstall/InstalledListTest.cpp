// The list's install-folder entry: written and read back, refused where it
// could name anything but a folder on a drive.
#include "common/InstalledFiles.h"

#include <gtest/gtest.h>

#include <string>

TEST(InstalledListInstallFolder, ReadsBackAndRefusesWhatIsNoFolderOnADrive)
{
    struct Case {
        std::wstring path;
        bool accepted;
    } cases[] = {
        {L"C:\\Program Files (x86)\\Norvantix", true},
        {L"D:\\软件", true},
        {L"C:\\", false},
        {L"C:", false},
        {L"Norvantix", false},
        {L"\\\\server\\share\\Norvantix", false},
        {L"C:\\Apps\\..\\Windows", false},
        {L"C:\\Apps\\", false},
    };
    for (const Case& c : cases) {
        CInstalledFiles written;
        written.Add(InstalledEntry::kFile, L"DUDavov.exe");
        written.Add(InstalledEntry::kInstallFolder, c.path);
        std::string bytes;
        EXPECT_EQ(c.accepted, written.Serialize(&bytes));
        if (!c.accepted) continue;
        CInstalledFiles read;
        ASSERT_EQ(INSTALLED_LIST_OK, read.Parse(bytes));
        ASSERT_EQ(2u, read.Entries().size());
        EXPECT_EQ(InstalledEntry::kInstallFolder, read.Entries()[1].kind);
        EXPECT_EQ(c.path, read.Entries()[1].path);
    }
}
