#pragma once
// The state the whole wizard shares for the life of the process: the install
// folder, the options page's two flags and the extraction's progress counters.
#include "ui/core/UiString.h"

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
};

// The one record, created on first use from any thread. Creating it also
// creates the default install folder when that does not exist yet.
InstallSettings& GetInstallSettings();
