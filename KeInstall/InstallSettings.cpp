#include "KeInstall/InstallSettings.h"

#include "KeInstall/ProductConstants.h"
#include "common/Folders.h"

#include <shlwapi.h>

#include <mutex>

using SkinUI::CUiString;

const wchar_t kProgressLabelPrefix[] = L"正在安装，请不要关闭";

namespace {

std::mutex g_settingsMutex;

void AtomicStore(unsigned long long* target, unsigned long long value)
{
    unsigned long long seen = __atomic_load_n(target, __ATOMIC_RELAXED);
    while (!__atomic_compare_exchange_n(target, &seen, value, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) {
    }
}

unsigned long long AtomicLoad(unsigned long long* source)
{
    return __atomic_fetch_or(source, 0ULL, __ATOMIC_SEQ_CST);
}

} // namespace

// Fresh counters are unequal, so the progress page never takes the state
// before the first report for a finished extraction.
InstallSettings::InstallSettings()
    : desktopShortcut(true), addToTaskbar(true), bytesDone(0), bytesTotal(0x7FFFFFFFFFFFFFFFULL)
{
    installFolder = GetDefaultInstallFolder();
    if (!PathFileExistsW(installFolder)) {
        CreateFolderChain(installFolder);
        if (PathIsDirectoryW(installFolder)) createdInstallFolder = installFolder.GetData();
    }
}

void InstallSettings::NoteInstallFolderBeforeCreating()
{
    // The default folder made at start-up stays ours; any other folder that
    // already exists belongs to the user.
    if (!PathIsDirectoryW(installFolder)) createdInstallFolder = installFolder.GetData();
    else if (_wcsicmp(createdInstallFolder.c_str(), installFolder) != 0) createdInstallFolder.clear();
}

CUiString InstallSettings::ProductFolder() const
{
    CUiString folder(installFolder);
    folder += L"\\";
    folder += KE_PRODUCT_FOLDER_WORD;
    return folder;
}

void InstallSettings::StoreDone(unsigned long long value) { AtomicStore(&bytesDone, value); }
void InstallSettings::StoreTotal(unsigned long long value) { AtomicStore(&bytesTotal, value); }
unsigned long long InstallSettings::LoadDone() { return AtomicLoad(&bytesDone); }
unsigned long long InstallSettings::LoadTotal() { return AtomicLoad(&bytesTotal); }

void InstallSettings::StoreResult(int result) { __atomic_store_n(&m_result, result, __ATOMIC_SEQ_CST); }
int InstallSettings::LoadResult() { return __atomic_load_n(&m_result, __ATOMIC_SEQ_CST); }

void InstallSettings::StoreExtracted(const std::vector<InstalledEntry>& entries)
{
    std::lock_guard<std::mutex> lock(m_extractedMutex);
    m_extracted = entries;
}

std::vector<InstalledEntry> InstallSettings::Extracted()
{
    std::lock_guard<std::mutex> lock(m_extractedMutex);
    return m_extracted;
}

InstallSettings& GetInstallSettings()
{
    std::lock_guard<std::mutex> lock(g_settingsMutex);
    static InstallSettings settings;
    return settings;
}
