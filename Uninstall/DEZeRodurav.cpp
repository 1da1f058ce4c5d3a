// The uninstaller's entry. Started from the program list or the start menu it
// lives in the product folder: it checks the list of installed files, asks
// once with the dark question box, then hands the removal to a copy of itself
// in the temporary folder (see UninstallLaunch.h) and ends. The copy does the
// work, says so only when something went wrong, and has itself deleted.
//
// Exit codes: 0 removed (or handed to the copy), 1 nothing or not everything
// removed, 2 the user said no.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include "KeInstall/KEMsgBox.h"
#include "KeInstall/KESkinStartup.h"
#include "KeInstall/ProductConstants.h"
#include "Uninstall/Removal.h"
#include "Uninstall/UninstallLaunch.h"
#include "common/Folders.h"

using namespace SkinUI;

namespace {

// The box's window text; the start-menu link carries the same name.
const wchar_t kWindowText[] = L"卸载" KE_PRODUCT_NAME;
const DWORD kBoxStyle = 0x10CC0000;   // WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME
const DWORD kBoxExStyle = WS_EX_WINDOWEDGE;

enum ExitCode { kExitDone = 0, kExitFailed = 1, kExitCancelled = 2 };

int ShowFailure(const RemovalReport& report)
{
    CKEMsgBox::ShowMessageBox(nullptr, kWindowText, L"无法卸载", DescribeRemovalFailure(report).c_str(), L"确定",
                              CUiString(), nullptr, kBoxStyle, kBoxExStyle, true);
    return kExitFailed;
}

int Remove(const std::wstring& productFolder)
{
    RemovalReport report = RemoveInstallation(productFolder, SystemRemovalOperations());
    return report.status == REMOVAL_DONE ? kExitDone : ShowFailure(report);
}

int RunTemporaryCopy(const UninstallCommand& command)
{
    WaitForOriginal(command.waitHandle);
    int code = Remove(command.productFolder);
    ScheduleSelfDeletion();
    return code;
}

int RunOriginal(const UninstallCommand& command)
{
    const std::wstring self = GetExeFolder().GetData();
    std::wstring product = command.productFolder.empty() ? self : command.productFolder;
    while (product.size() > 3 && (product.back() == L'\\' || product.back() == L'/')) product.pop_back();
    // A list that cannot be used is said at once, before any question.
    CInstalledFiles list;
    RemovalReport check;
    check.listResult = LoadInstalledList(product, &list);
    if (check.listResult != INSTALLED_LIST_OK) {
        check.status = check.listResult == INSTALLED_LIST_MISSING ? REMOVAL_NO_LIST : REMOVAL_BAD_LIST;
        return ShowFailure(check);
    }

    int answer = CKEMsgBox::ShowMessageBox(nullptr, kWindowText, L"确定删除吗？", L"本地文件也会同步删除",
                                           L"确定删除", L"取消", nullptr, kBoxStyle, kBoxExStyle, true);
    if (answer != KE_MSGBOX_OK) return kExitCancelled;

    // From inside the product folder this file could not go with the rest.
    if (IsInsideFolder(self, product) && StartTemporaryCopy(product)) return kExitDone;
    return Remove(product);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Shell links are deleted and notified through COM-aware shell calls.
    if (FAILED(::CoInitialize(nullptr))) return kExitFailed;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
    KEStartSkin(instance);

    const UninstallCommand command = ParseUninstallCommand(::GetCommandLineW());
    const int code = command.isTemporaryCopy ? RunTemporaryCopy(command) : RunOriginal(command);

    if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
    ::CoUninitialize();
    return code;
}
