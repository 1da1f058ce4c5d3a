#include "Uninstall/Removal.h"

#include "KeInstall/ProductConstants.h"
#include "common/Registry.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithBackslashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring ParentOf(const std::wstring& path)
{
    size_t at = path.find_last_of(L"\\/");
    return at == std::wstring::npos ? std::wstring() : path.substr(0, at);
}

std::wstring LastStep(const std::wstring& path)
{
    size_t at = path.find_last_of(L"\\/");
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

bool SameText(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

size_t Depth(const std::wstring& relative)
{
    return static_cast<size_t>(std::count_if(relative.begin(), relative.end(), IsSeparator));
}

bool Gone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool IsFolderLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A listed path is only followed through real folders: a junction or folder
// link on the way (made after the installation) would lead the deletion to
// whatever it points at.
bool PassesOnlyRealFolders(const std::wstring& productFolder, const std::wstring& relative)
{
    std::wstring path = productFolder;
    size_t start = 0;
    for (size_t i = 0; i < relative.size(); ++i) {
        if (relative[i] != L'\\') continue;
        path += L"\\" + relative.substr(start, i - start);
        start = i + 1;
        if (IsFolderLink(GetFileAttributesW(path.c_str()))) return false;
    }
    return true;
}

// Deletes one file; a file that is not there counts as deleted. Read-only
// files from the archive are made writable first, or the call is refused.
bool DeleteListedFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Gone(GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A folder where a file was listed is not ours to empty.
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(path.c_str())) return true;
    return Gone(GetLastError());
}

// Removes a folder only when it is empty; true when it is gone.
bool RemoveEmptyFolder(const std::wstring& path)
{
    if (RemoveDirectoryW(path.c_str())) return true;
    DWORD error = GetLastError();
    return Gone(error) || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

const wchar_t* UninstallerName() { return KE_UNINSTALLER_EXE + 1; }

bool IsKeptForRetry(const std::wstring& relative)
{
    return SameText(relative, KE_INSTALLED_FILES_NAME) || SameText(relative, UninstallerName());
}

void Notify(const RemovalOperations& operations, const std::wstring& path, bool isFolder)
{
    if (operations.notifyShell) operations.notifyShell(path.c_str(), isFolder);
}

} // namespace

RemovalOperations SystemRemovalOperations()
{
    RemovalOperations operations;
    operations.removeEntry = [] {
        // The path the entry was created under, with no view flag either:
        // under WOW64 it names the 32-bit branch itself.
        LONG status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, GetUninstallEntryKeyPath());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    };
    operations.notifyShell = [](const wchar_t* path, bool isFolder) {
        SHChangeNotify(isFolder ? SHCNE_RMDIR : SHCNE_DELETE, SHCNF_PATHW | SHCNF_FLUSH, path, nullptr);
    };
    return operations;
}

InstalledListResult LoadInstalledList(const std::wstring& productFolder, CInstalledFiles* list)
{
    return list->Load((productFolder + L"\\" + KE_INSTALLED_FILES_NAME).c_str());
}

RemovalReport RemoveInstallation(const std::wstring& productFolder, const RemovalOperations& operations)
{
    RemovalReport report;
    if (!CInstalledFiles::IsSafeFullPath(productFolder)) {
        report.status = REMOVAL_BAD_FOLDER;
        return report;
    }
    const std::wstring product = WithBackslashes(productFolder);
    CInstalledFiles list;
    report.listResult = LoadInstalledList(product, &list);
    if (report.listResult != INSTALLED_LIST_OK) {
        report.status = report.listResult == INSTALLED_LIST_MISSING ? REMOVAL_NO_LIST : REMOVAL_BAD_LIST;
        return report;
    }

    std::vector<std::wstring> files, folders, links, keptForRetry;
    std::wstring installFolder;
    for (const InstalledEntry& entry : list.Entries()) {
        std::wstring path = WithBackslashes(entry.path);
        switch (entry.kind) {
        case InstalledEntry::kFile:
            (IsKeptForRetry(path) ? keptForRetry : files).push_back(path);
            // Folders the files sit in were made by the extraction too.
            for (std::wstring parent = ParentOf(path); !parent.empty(); parent = ParentOf(parent))
                folders.push_back(parent);
            break;
        case InstalledEntry::kFolder: folders.push_back(path); break;
        case InstalledEntry::kLink: links.push_back(path); break;
        case InstalledEntry::kInstallFolder: installFolder = path; break;
        }
    }

    auto deleteFiles = [&](const std::vector<std::wstring>& relatives) {
        for (const std::wstring& relative : relatives) {
            std::wstring full = product + L"\\" + relative;
            if (!PassesOnlyRealFolders(product, relative)) report.refused.push_back(full);
            else if (!DeleteListedFile(full)) report.failed.push_back(full);
        }
    };
    deleteFiles(files);
    for (const std::wstring& link : links) {
        if (!DeleteListedFile(link)) report.failed.push_back(link);
        else Notify(operations, link, false);
    }
    if (!report.failed.empty()) {
        report.status = REMOVAL_INCOMPLETE;
        return report;
    }
    // Only now: a retry needs both the uninstaller and its list.
    deleteFiles(keptForRetry);
    if (!report.failed.empty()) {
        report.status = REMOVAL_INCOMPLETE;
        return report;
    }

    // Deepest first, each only when empty: what the user added keeps its folder.
    std::sort(folders.begin(), folders.end(), [](const std::wstring& a, const std::wstring& b) {
        return Depth(a) != Depth(b) ? Depth(a) > Depth(b) : a > b;
    });
    folders.erase(std::unique(folders.begin(), folders.end(),
                              [](const std::wstring& a, const std::wstring& b) { return SameText(a, b); }),
                  folders.end());
    for (const std::wstring& relative : folders) {
        std::wstring full = product + L"\\" + relative;
        if (!PassesOnlyRealFolders(product, relative)) report.refused.push_back(full);
        else if (!RemoveEmptyFolder(full)) report.keptFolders.push_back(full);
    }
    // The start-menu group goes with its last link; the desktop never does.
    for (const std::wstring& link : links) {
        std::wstring group = ParentOf(link);
        if (SameText(LastStep(group), KE_PRODUCT_NAME) && FolderExists(group) && RemoveEmptyFolder(group))
            Notify(operations, group, true);
    }
    if (!RemoveEmptyFolder(product)) report.keptFolders.push_back(product);

    report.entryRemoved = operations.removeEntry ? operations.removeEntry() : false;
    if (!report.entryRemoved) {
        report.status = REMOVAL_ENTRY_FAILED;
        return report;
    }

    // The folder above only when the installer made it, it is the one that
    // holds this product folder, and nothing else is left in it.
    if (!installFolder.empty() && SameText(installFolder, ParentOf(product)) && !FolderExists(product)
        && !IsFolderLink(GetFileAttributesW(installFolder.c_str())))
        report.installFolderRemoved = RemoveDirectoryW(installFolder.c_str()) != FALSE;
    return report;
}

std::wstring DescribeRemovalFailure(const RemovalReport& report)
{
    switch (report.status) {
    case REMOVAL_DONE: return std::wstring();
    case REMOVAL_NO_LIST: return L"找不到安装记录 " KE_INSTALLED_FILES_NAME L"，未删除任何文件。";
    case REMOVAL_BAD_LIST:
        if (report.listResult == INSTALLED_LIST_UNSAFE_PATH)
            return L"安装记录 " KE_INSTALLED_FILES_NAME L" 含有安装位置之外的路径，未删除任何文件。";
        if (report.listResult == INSTALLED_LIST_NEWER)
            return L"安装记录 " KE_INSTALLED_FILES_NAME L" 来自更新的版本，未删除任何文件。";
        return L"安装记录 " KE_INSTALLED_FILES_NAME L" 已损坏，未删除任何文件。";
    case REMOVAL_BAD_FOLDER: return L"安装位置无效，未删除任何文件。";
    case REMOVAL_INCOMPLETE: {
        std::wstring text = L"有文件无法删除，请关闭 " KE_PRODUCT_NAME L" 后再次卸载：";
        // The box has room for a few lines; the first paths tell the user enough.
        for (size_t i = 0; i < report.failed.size() && i < 3; ++i) text += L"\n" + report.failed[i];
        return text;
    }
    case REMOVAL_ENTRY_FAILED: return L"文件已删除，但无法删除程序列表中的卸载项。";
    }
    return std::wstring();
}
