// Taking an installation away over a real folder: only what the list names
// goes, what the user added stays with its folders, a list that cannot be
// trusted removes nothing, and the entry goes last.
#include "Uninstall/Removal.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace TestSupport;

namespace {

// An installation in a temporary folder: <temp>\Apps\Norvantix with the
// product's files, a desktop and a start-menu group beside it.
struct Installation {
    TempFolder temp;
    std::wstring apps = temp.Path() + L"Apps";
    std::wstring product = apps + L"\\Norvantix";
    std::wstring desktop = temp.Path() + L"Desktop";
    std::wstring group = temp.Path() + L"Programs\\Velkaro";
    // The support library's per-user data: never on the list.
    std::wstring userData = temp.Path() + L"Local\\Norvantix\\data\\user.ini";
    CInstalledFiles list;
    int entryRemovals = 0;
    // What the disk looked like when the entry was removed.
    bool productFilesGoneAtEntryRemoval = false;

    Installation()
    {
        for (const std::wstring& folder : {apps, product, product + L"\\bin", product + L"\\媒体",
                                           product + L"\\媒体\\样本 1", desktop, temp.Path() + L"Programs", group,
                                           temp.Path() + L"Local", temp.Path() + L"Local\\Norvantix",
                                           temp.Path() + L"Local\\Norvantix\\data"})
            CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* file : {L"DUDavov.exe", L"DEZeRodurav.exe", L"bin\\core.dll", L"媒体\\样本 1\\a.bin"}) {
            WriteFileBytes(product + L"\\" + file, "x");
            list.Add(InstalledEntry::kFile, file);
        }
        list.Add(InstalledEntry::kFolder, L"bin");
        list.Add(InstalledEntry::kFolder, L"媒体");
        list.Add(InstalledEntry::kFolder, L"媒体\\样本 1");
        for (const std::wstring& link : {desktop + L"\\Velkaro.lnk", group + L"\\Velkaro.lnk", group + L"\\卸载Velkaro.lnk"}) {
            WriteFileBytes(link, "link");
            list.Add(InstalledEntry::kLink, link);
        }
        list.Add(InstalledEntry::kFile, KE_INSTALLED_FILES_NAME);
        WriteFileBytes(userData, "settings");
    }

    void Save() { ASSERT_TRUE(list.Save((product + L"\\" KE_INSTALLED_FILES_NAME).c_str())); }

    RemovalOperations Operations()
    {
        RemovalOperations operations;
        operations.removeEntry = [this] {
            ++entryRemovals;
            productFilesGoneAtEntryRemoval = !FileExists(product + L"\\DUDavov.exe")
                && !FileExists(product + L"\\DEZeRodurav.exe") && !FileExists(product + L"\\" KE_INSTALLED_FILES_NAME);
            return true;
        };
        return operations;
    }

    // Every path of the installation and around it that exists now.
    std::vector<std::wstring> Existing() const
    {
        std::vector<std::wstring> found;
        for (const std::wstring& path : AllPaths())
            if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) found.push_back(path);
        return found;
    }

    std::vector<std::wstring> AllPaths() const
    {
        return {apps, product, product + L"\\DUDavov.exe", product + L"\\DEZeRodurav.exe", product + L"\\bin",
                product + L"\\bin\\core.dll", product + L"\\媒体", product + L"\\媒体\\样本 1",
                product + L"\\媒体\\样本 1\\a.bin", product + L"\\" KE_INSTALLED_FILES_NAME, desktop,
                desktop + L"\\Velkaro.lnk", group, group + L"\\Velkaro.lnk", group + L"\\卸载Velkaro.lnk", userData,
                product + L"\\notes.txt", product + L"\\媒体\\mine.mp4"};
    }
};

// A well-formed list around the given entry lines, for entries the writer refuses.
std::string Sealed(const std::vector<std::string>& lines, const char* version = "1")
{
    std::string text = std::string("Velkaro installed files ") + version + "\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    unsigned long crc = 0xFFFFFFFFUL;
    for (unsigned char byte : text) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320UL : 0);
    }
    char trailer[40];
    snprintf(trailer, sizeof(trailer), "END %u %08lX\r\n", static_cast<unsigned>(lines.size()), crc ^ 0xFFFFFFFFUL);
    return text + trailer;
}

std::string Names(const std::vector<std::wstring>& paths)
{
    std::string text;
    for (const std::wstring& path : paths) text += ToUtf8(path) + "\n";
    return text;
}

} // namespace

TEST(Removal, TakesWhatTheListNamesAndKeepsWhatTheUserAdded)
{
    struct Case {
        const char* name;
        std::vector<std::wstring> userFiles;   // relative to the product folder
        std::vector<std::wstring> survivors;   // relative to the temporary folder
    } cases[] = {
        {"nothing added", {}, {L"Apps", L"Desktop", L"Local\\Norvantix\\data\\user.ini"}},
        {"a file in the product folder",
         {L"notes.txt"},
         {L"Apps", L"Apps\\Norvantix", L"Apps\\Norvantix\\notes.txt", L"Desktop", L"Local\\Norvantix\\data\\user.ini"}},
        {"a file in a listed folder",
         {L"媒体\\mine.mp4"},
         {L"Apps", L"Apps\\Norvantix", L"Apps\\Norvantix\\媒体", L"Apps\\Norvantix\\媒体\\mine.mp4", L"Desktop",
          L"Local\\Norvantix\\data\\user.ini"}},
    };
    for (const Case& c : cases) {
        Installation installation;
        for (const std::wstring& file : c.userFiles) WriteFileBytes(installation.product + L"\\" + file, "mine");
        installation.Save();
        RemovalReport report = RemoveInstallation(installation.product, installation.Operations());
        EXPECT_EQ(REMOVAL_DONE, report.status) << c.name;
        EXPECT_EQ(1, installation.entryRemovals) << c.name;
        std::vector<std::wstring> expected;
        for (const std::wstring& survivor : c.survivors) expected.push_back(installation.temp.Path() + survivor);
        std::vector<std::wstring> existing = installation.Existing();
        std::sort(expected.begin(), expected.end());
        std::sort(existing.begin(), existing.end());
        EXPECT_EQ(Names(expected), Names(existing)) << c.name;
    }
}

TEST(Removal, AListThatCannotBeTrustedRemovesNothing)
{
    // Each case turns the good list's bytes into what is found on disk; false: no file.
    struct Case {
        const char* name;
        std::function<bool(std::string*)> damage;
        RemovalStatus expected;
    } cases[] = {
        {"missing", [](std::string*) { return false; }, REMOVAL_NO_LIST},
        {"garbage", [](std::string* b) { *b = "not a list\r\n"; return true; }, REMOVAL_BAD_LIST},
        {"cut off", [](std::string* b) { b->resize(b->size() - 5); return true; }, REMOVAL_BAD_LIST},
        {"one byte changed", [](std::string* b) { (*b)[30] ^= 0x01; return true; }, REMOVAL_BAD_LIST},
        {"climbs out", [](std::string* b) { *b = Sealed({"F bin\\..\\..\\..\\Desktop\\Velkaro.lnk"}); return true; },
         REMOVAL_BAD_LIST},
        {"reaches another drive", [](std::string* b) { *b = Sealed({"F D:\\data\\film.mp4"}); return true; },
         REMOVAL_BAD_LIST},
        {"newer format", [](std::string* b) { *b = Sealed({"F a"}, "9"); return true; }, REMOVAL_BAD_LIST},
    };
    for (const Case& c : cases) {
        Installation installation;
        installation.Save();
        std::wstring listPath = installation.product + L"\\" KE_INSTALLED_FILES_NAME;
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(listPath, &bytes));
        if (c.damage(&bytes)) WriteFileBytes(listPath, bytes);
        else DeleteFileW(listPath.c_str());
        std::vector<std::wstring> before = installation.Existing();

        RemovalReport report = RemoveInstallation(installation.product, installation.Operations());
        EXPECT_EQ(c.expected, report.status) << c.name;
        EXPECT_EQ(0, installation.entryRemovals) << c.name;
        EXPECT_EQ(Names(before), Names(installation.Existing())) << c.name;
        EXPECT_FALSE(DescribeRemovalFailure(report).empty()) << c.name;
    }
}

TEST(Removal, TheEntryGoesOnlyOnceTheFilesAreGoneSoARetryFinishes)
{
    Installation installation;
    installation.Save();
    // The product still running: its file cannot be deleted.
    std::wstring busy = installation.product + L"\\bin\\core.dll";
    HANDLE held = CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    RemovalReport first = RemoveInstallation(installation.product, installation.Operations());
    EXPECT_EQ(REMOVAL_INCOMPLETE, first.status);
    ASSERT_EQ(1u, first.failed.size());
    EXPECT_EQ(busy, first.failed[0]);
    EXPECT_EQ(0, installation.entryRemovals);
    // What a retry needs is still there: the uninstaller and its list.
    EXPECT_TRUE(FileExists(installation.product + L"\\DEZeRodurav.exe"));
    EXPECT_TRUE(FileExists(installation.product + L"\\" KE_INSTALLED_FILES_NAME));
    EXPECT_NE(std::wstring::npos, DescribeRemovalFailure(first).find(busy));
    CloseHandle(held);

    RemovalReport second = RemoveInstallation(installation.product, installation.Operations());
    EXPECT_EQ(REMOVAL_DONE, second.status);
    EXPECT_EQ(1, installation.entryRemovals);
    EXPECT_TRUE(installation.productFilesGoneAtEntryRemoval);
    EXPECT_FALSE(FileExists(installation.product));
}

TEST(Removal, AnEntryThatStaysIsReported)
{
    Installation installation;
    installation.Save();
    RemovalOperations operations;
    operations.removeEntry = [] { return false; };
    RemovalReport report = RemoveInstallation(installation.product, operations);
    EXPECT_EQ(REMOVAL_ENTRY_FAILED, report.status);
    EXPECT_FALSE(report.entryRemoved);
    EXPECT_FALSE(DescribeRemovalFailure(report).empty());
}

TEST(Removal, TheInstallFolderGoesOnlyWhenTheInstallerMadeItAndItIsEmpty)
{
    struct Case {
        const char* name;
        bool listed;             // the list says the installer made it
        const wchar_t* listedAs; // null: the folder above the product folder
        bool userFileBeside;     // something else in the install folder
        bool expectRemoved;
    } cases[] = {
        {"made by the installer", true, nullptr, false, true},
        {"the user's own folder", false, nullptr, false, false},
        {"holds something else", true, nullptr, true, false},
        {"listed as another folder", true, L"C:\\Windows", false, false},
    };
    for (const Case& c : cases) {
        Installation installation;
        if (c.listed) installation.list.Add(InstalledEntry::kInstallFolder, c.listedAs ? c.listedAs : installation.apps);
        if (c.userFileBeside) WriteFileBytes(installation.apps + L"\\other.txt", "other");
        installation.Save();
        RemovalReport report = RemoveInstallation(installation.product, installation.Operations());
        EXPECT_EQ(REMOVAL_DONE, report.status) << c.name;
        EXPECT_FALSE(FileExists(installation.product)) << c.name;
        EXPECT_EQ(c.expectRemoved, report.installFolderRemoved) << c.name;
        EXPECT_EQ(!c.expectRemoved, FileExists(installation.apps)) << c.name;
        EXPECT_TRUE(FileExists(installation.userData)) << c.name;
    }
}

TEST(Removal, LinksGoAndTheirGroupWithThemButNeverTheDesktop)
{
    Installation installation;
    installation.Save();
    std::vector<std::pair<std::wstring, bool>> notified;
    RemovalOperations operations = installation.Operations();
    operations.notifyShell = [&](const wchar_t* path, bool isFolder) { notified.emplace_back(path, isFolder); };
    RemovalReport report = RemoveInstallation(installation.product, operations);
    EXPECT_EQ(REMOVAL_DONE, report.status);
    EXPECT_FALSE(FileExists(installation.group));
    EXPECT_TRUE(FileExists(installation.desktop));
    EXPECT_FALSE(FileExists(installation.desktop + L"\\Velkaro.lnk"));
    ASSERT_EQ(4u, notified.size());
    EXPECT_EQ(installation.group, notified.back().first);
    EXPECT_TRUE(notified.back().second);
}

TEST(Removal, AProductFolderThatIsNoFullPathIsRefused)
{
    for (const wchar_t* folder : {L"", L"C:\\", L"Norvantix", L"\\Norvantix", L"C:\\Apps\\..\\Windows"}) {
        int removals = 0;
        RemovalOperations operations;
        operations.removeEntry = [&] { return ++removals > 0; };
        EXPECT_EQ(REMOVAL_BAD_FOLDER, RemoveInstallation(folder, operations).status) << ToUtf8(folder);
        EXPECT_EQ(0, removals);
    }
}
