#pragma once
// Taking an installation away again, from the list of what the installer made
// (common/InstalledFiles.h): the extracted files and folders, the links, the
// list itself, the product folder, the uninstall entry and, when the
// installer made it, the install folder above. Nothing else is touched: a file
// the user put into the product folder stays, and so does every folder that
// still holds something.
#include <functional>
#include <string>
#include <vector>

#include "common/InstalledFiles.h"

enum RemovalStatus {
    REMOVAL_DONE = 0,        // everything listed is gone (or was already), the entry too
    REMOVAL_NO_LIST,         // no list in the product folder: nothing was touched
    REMOVAL_BAD_LIST,        // damaged, unknown or unsafe list: nothing was touched
    REMOVAL_BAD_FOLDER,      // the product folder is no full path below a drive or share
    REMOVAL_INCOMPLETE,      // something could not be deleted; the rest waits for a retry
    REMOVAL_ENTRY_FAILED,    // the files are gone but the uninstall entry is not
};

struct RemovalReport {
    RemovalStatus status = REMOVAL_DONE;
    InstalledListResult listResult = INSTALLED_LIST_OK;
    // Full paths that were listed but could not be deleted.
    std::vector<std::wstring> failed;
    // Listed paths not followed because they lead through a folder link.
    std::vector<std::wstring> refused;
    // Folders that stay because something not on the list is inside.
    std::vector<std::wstring> keptFolders;
    bool entryRemoved = false;
    bool installFolderRemoved = false;
};

// What reaches beyond the file system; tests stand in for it.
struct RemovalOperations {
    // Deletes the product's uninstall entry; true when it is gone, also when
    // it was not there.
    std::function<bool()> removeEntry;
    // Tells the shell that a link or a folder of links went away.
    std::function<void(const wchar_t* path, bool isFolder)> notifyShell;
};

// RegDeleteKey on the entry, in the same registry view the installer wrote it.
RemovalOperations SystemRemovalOperations();

// True when the list in productFolder can be used: reads it into list.
InstalledListResult LoadInstalledList(const std::wstring& productFolder, CInstalledFiles* list);

// The whole removal for productFolder (full path, no trailing separator).
// Order matters for a retry: the listed files and links go first, then the
// uninstaller and the list, then the folders, then the entry; when a file
// cannot be deleted the run stops before the uninstaller, the list and the
// entry, so that running the uninstaller again finishes the job.
RemovalReport RemoveInstallation(const std::wstring& productFolder, const RemovalOperations& operations);

// A text for the user about a report that is not REMOVAL_DONE.
std::wstring DescribeRemovalFailure(const RemovalReport& report);
