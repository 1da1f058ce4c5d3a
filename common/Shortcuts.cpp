#include "common/Shortcuts.h"

#include "common/ComPtr.h"
#include "common/ConsoleText.h"
#include "common/SystemCalls.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>
#include <wchar.h>

#include <vector>

namespace {

const size_t kPathCapacity = MAX_PATH;  // characters, terminator included

// A line on standard output, at once: a caller may read it while we run.
void Say(const char* line)
{
    fputs(line, stdout);
    fflush(stdout);
}

// Appends only when the whole text fits, terminator included.
bool AppendBounded(wchar_t* buffer, size_t capacity, const wchar_t* text)
{
    size_t used = wcslen(buffer);
    size_t extra = wcslen(text);
    if (used + extra >= capacity) return false;
    wmemcpy(buffer + used, text, extra + 1);
    return true;
}

void NotifyCreated(const wchar_t* path)
{
    SHChangeNotify(SHCNE_CREATE | SHCNE_INTERRUPT, SHCNF_PATHW | SHCNF_FLUSH, path, nullptr);
}

bool ShellVerb(const wchar_t* verb, const wchar_t* path, int show)
{
    HINSTANCE result = SystemCalls().shellExecute(nullptr, verb, path, nullptr, nullptr, show);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool CreateShellLink(const wchar_t* targetPath, const wchar_t* workingDir, const wchar_t* description,
                     const wchar_t* iconPath, int iconIndex, const wchar_t* linkPath)
{
    CKEComPtr<IShellLinkW> link;
    // __uuidof, not libuuid's CLSID_/IID_ objects: that library keeps every
    // GUID Windows has in one object, 35 KB the installer would carry.
    HRESULT hr = CoCreateInstance(__uuidof(ShellLink), nullptr, CLSCTX_ALL, __uuidof(IShellLinkW), link.ReceiveVoid());
    // The C runtime's own formatter: printf here would pull in the 30 KB
    // printf family of the compiler's runtime.
    char code[16];
    _snprintf(code, sizeof code, "%lx\n", static_cast<unsigned long>(hr));
    code[sizeof code - 1] = '\0';
    Say(code);
    if (FAILED(hr) || !link) {
        Say("ERRO 1\n");
        return false;
    }

    link->SetPath(targetPath);
    link->SetDescription(description);
    // The short form survives renames of long folder names in icon caches.
    const wchar_t* icon = iconPath;
    std::vector<wchar_t> shortPath;
    DWORD shortSize = iconPath != nullptr ? GetShortPathNameW(iconPath, nullptr, 0) : 0;
    if (shortSize != 0) {
        shortPath.assign(shortSize + 1, L'\0');
        DWORD converted = GetShortPathNameW(iconPath, shortPath.data(), shortSize);
        if (converted != 0 && converted < shortSize) icon = shortPath.data();
    }
    link->SetIconLocation(icon, iconIndex);
    link->SetWorkingDirectory(workingDir);

    CKEComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(__uuidof(IPersistFile), file.ReceiveVoid())) || !file) {
        Say("ERRO 2\n");
        return false;
    }
    return SUCCEEDED(file->Save(linkPath, TRUE));
}

void CreateStartMenuShortcuts(const wchar_t* productExe, const wchar_t* uninstallerExe, const wchar_t* workingDir,
                              const wchar_t* name, const wchar_t* description)
{
    wchar_t folder[kPathCapacity] = {};
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_PROGRAMS, &items)) || items == nullptr) return;
    BOOL located = SHGetPathFromIDListW(items, folder);
    CoTaskMemFree(items);
    if (!located || folder[0] == L'\0') return;

    // A cut path would name some other folder or file: such a group or link
    // is not made at all.
    if (!AppendBounded(folder, kPathCapacity, L"\\") || !AppendBounded(folder, kPathCapacity, name)) return;
    if (!PathFileExistsW(folder)) {
        CreateDirectoryW(folder, nullptr);
        NotifyCreated(folder);
    }

    wchar_t productLink[kPathCapacity] = {};
    int written = _snwprintf(productLink, kPathCapacity, L"%s\\%s.lnk", folder, name);
    if (written >= 0 && written < static_cast<int>(kPathCapacity))
        CreateShellLink(productExe, workingDir, description, productExe, 0, productLink);

    wchar_t uninstallLink[kPathCapacity] = {};
    written = _snwprintf(uninstallLink, kPathCapacity, L"%s\\卸载%s.lnk", folder, name);
    if (written >= 0 && written < static_cast<int>(kPathCapacity)) {
        CreateShellLink(uninstallerExe, workingDir, description, uninstallerExe, 0, uninstallLink);
        NotifyCreated(uninstallLink);
    }
}

bool PinToTaskbar(const wchar_t* path) { return ShellVerb(L"taskbarpin", path, SW_HIDE); }

bool UnpinFromTaskbar(const wchar_t* path) { return ShellVerb(L"taskbarunpin", path, SW_HIDE); }

bool PinShortcutToTaskbar(const wchar_t* targetPath, const wchar_t* workingDir, const wchar_t* description,
                          const wchar_t* linkName, int iconIndex)
{
    wchar_t linkPath[kPathCapacity] = {};
    DWORD tempLength = GetTempPathW(kPathCapacity, linkPath);
    if (tempLength == 0 || tempLength >= kPathCapacity) linkPath[0] = L'\0';
    if (linkName == nullptr || !AppendBounded(linkPath, kPathCapacity, linkName)
        || !AppendBounded(linkPath, kPathCapacity, L".lnk")) {
        WriteGbkText(stderr, L"指定的可执行文件路径或图标名称太长！", true);
        return false;
    }
    bool created = CreateShellLink(targetPath, workingDir, description, targetPath, iconIndex, linkPath);
    if (created) {
        if (!ShellVerb(L"TaskbarPin", linkPath, SW_SHOW))
            WriteGbkText(stderr, L"无法将快捷方式固定到任务栏！", true);
        DeleteFileW(linkPath);
    }
    return created;
}

bool UnpinTaskbarShortcutByName(const wchar_t* linkName)
{
    wchar_t linkPath[kPathCapacity] = {};
    // Without the roaming folder the path would start at the drive root.
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, linkPath))) return false;
    if (linkName == nullptr
        || !AppendBounded(linkPath, kPathCapacity, L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar\\")
        || !AppendBounded(linkPath, kPathCapacity, linkName) || !AppendBounded(linkPath, kPathCapacity, L".lnk")) {
        WriteGbkText(stderr, L"指定的图标名称太长！", false);
        return false;
    }
    if (ShellVerb(L"TaskbarUnPin", linkPath, SW_SHOW)) return true;
    WriteGbkText(stderr, L"无法删除指定的图标！", false);
    return false;
}
