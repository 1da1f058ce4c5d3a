#pragma once
// The state the whole wizard shares for the life of the process: the install
// folder, the options page's two flags and the extraction's progress counters.
#include "common/InstalledFiles.h"
#include "ui/core/UiString.h"

#include <mutex>
#include <vector>

// The extraction has not ended yet (or not begun); afterwards the result is
// an UnzipResult, UNZIP_OK (0) for success.
const int kInstallPending = -1;

struct InstallSettings {
    InstallSettings();

    SkinUI::CUiString installFolder;  // UI thread only
    bool desktopShortcut;             // UI thread only
    bool addToTaskbar;                // UI thread only
    // Written by the install worker, read by the progress page: only through
    // the functions below, each one indivisible 64-bit operation.
    alignas(8) unsigned long long bytesDone;
    alignas(8) unsigned long long bytesTotal;

    // installFolder + "\Norvantix": where the payload is unpacked.
    SkinUI::CUiString ProductFolder() const;

    void StoreDone(unsigned long long value);
    void StoreTotal(unsigned long long value);
    unsigned long long LoadDone();
    unsigned long long LoadTotal();

    // The worker stores the outcome and what was extracted before it passes
    // on the final report, so a page that sees done equal to total finds both.
    void StoreResult(int result);
    int LoadResult();
    void StoreExtracted(const std::vector<InstalledEntry>& entries);
    std::vector<InstalledEntry> Extracted();

    // Links the finishing steps made, for the installed-files list. UI thread.
    std::vector<std::wstring> createdLinks;
    // The install folder when this process made it (empty otherwise): only
    // such a folder may be taken away again by the uninstaller. UI thread.
    std::wstring createdInstallFolder;
    // Called just before the product folder is made inside installFolder.
    void NoteInstallFolderBeforeCreating();

private:
    int m_result = kInstallPending;
    std::mutex m_extractedMutex;
    std::vector<InstalledEntry> m_extracted;
};

// The one record, created on first use from any thread. Creating it also
// creates the default install folder when that does not exist yet.
InstallSettings& GetInstallSettings();
