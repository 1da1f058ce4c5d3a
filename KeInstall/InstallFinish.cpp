#include "KeInstall/InstallFinish.h"

#include "7zCore/UnzipCore7z.h"
#include "KeInstall/ProductConstants.h"
#include "common/Folders.h"
#include "common/InstalledFiles.h"
#include "common/Log.h"
#include "common/Registry.h"
#include "common/Shortcuts.h"

#include <shlobj.h>
#include <shlwapi.h>

using SkinUI::CUiString;

namespace {

CUiString Description(const CUiString& productFolder)
{
    CUiString text;
    text.Format(L"位置: %s(%s)", KE_PRODUCT_NAME, productFolder.GetData());
    return text;
}

bool Succeeded(InstallSettings& settings) { return settings.LoadResult() == UNZIP_OK; }

} // namespace

FinishOperations SystemFinishOperations()
{
    FinishOperations operations;
    operations.createLink = &CreateShellLink;
    operations.createStartMenu = &CreateStartMenuShortcuts;
    operations.desktopFolder = &GetDesktopFolder;
    operations.programsFolder = [] { return GetSpecialFolder(CSIDL_COMMON_PROGRAMS); };
    operations.registerEntry = &RegisterUninstallEntry;
    return operations;
}

bool CreateDesktopLinkStep(InstallSettings& settings, const FinishOperations& operations)
{
    if (!Succeeded(settings) || !settings.desktopShortcut) return false;
    CUiString dir = settings.ProductFolder();
    CUiString exe = dir + KE_PRODUCT_EXE;
    CUiString link = operations.desktopFolder() + L"\\" + KE_PRODUCT_NAME + L".lnk";
    if (!operations.createLink(exe, dir, Description(dir), exe, 0, link)) {
        WriteLog(L"KeInstall\\KEInstallPage2 CKEInstallPage2::OnProgChanged CreateShortcut error.");
        return false;
    }
    settings.createdLinks.push_back(link.GetData());
    return true;
}

bool FinishInstall(InstallSettings& settings, const FinishOperations& operations)
{
    if (!Succeeded(settings)) return false;
    CUiString dir = settings.ProductFolder();
    CUiString exe = dir + KE_PRODUCT_EXE;
    CUiString uninstaller = dir + KE_UNINSTALLER_EXE;
    operations.createStartMenu(exe, uninstaller, dir, KE_PRODUCT_NAME, Description(dir));
    // The start-menu call reports nothing: the list names the links that are there.
    CUiString group = operations.programsFolder() + L"\\" + KE_PRODUCT_NAME;
    for (const CUiString& link : {group + L"\\" + KE_PRODUCT_NAME + L".lnk", group + L"\\卸载" + KE_PRODUCT_NAME + L".lnk"})
        if (PathFileExistsW(link)) settings.createdLinks.push_back(link.GetData());

    CInstalledFiles list;
    for (const InstalledEntry& entry : settings.Extracted()) list.Add(entry.kind, entry.path);
    for (const std::wstring& link : settings.createdLinks)
        if (CInstalledFiles::IsSafeLinkPath(link)) list.Add(InstalledEntry::kLink, link);
    list.Add(InstalledEntry::kFile, KE_INSTALLED_FILES_NAME);
    if (!settings.createdInstallFolder.empty() && _wcsicmp(settings.createdInstallFolder.c_str(), settings.installFolder) == 0
        && CInstalledFiles::IsSafeFullPath(settings.createdInstallFolder))
        list.Add(InstalledEntry::kInstallFolder, settings.createdInstallFolder);
    // Before the registration: an uninstaller started from the program list finds its list.
    if (!list.Save(dir + L"\\" + KE_INSTALLED_FILES_NAME)) WriteLog(L"KeInstall\\InstallFinish FinishInstall list error.");

    operations.registerEntry(dir);
    return true;
}
