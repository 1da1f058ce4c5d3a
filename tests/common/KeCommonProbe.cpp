// Runs one support-library operation for the host-side check scripts and
// prints what it finds as UTF-8 lines "name=value".
//   sleep <ms>                 just wait (a process to look for)
//   register <productFolder>   RegisterUninstallEntry
//   dump                       the uninstall entry's values through KEReg2
//   desktop-link <productFolder>  the desktop link as the progress page makes it
//   startmenu <productFolder>  CreateStartMenuShortcuts as the completion page calls it
//   shortpath <path>           the short form of a path
//   browse <initialPath>       BrowseForFolder on a real window; prints result=
#include "common/Dialogs.h"
#include "common/Folders.h"
#include "common/Registry.h"
#include "common/Shortcuts.h"
#include "common/TextConvert.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

const wchar_t kDisplayName[] = L"Velkaro";

void Print(const std::wstring& name, const std::wstring& value)
{
    std::string line = WideToUtf8((name + L"=" + value + L"\n").c_str());
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::wstring Description(const std::wstring& productFolder)
{
    SkinUI::CUiString text;
    text.Format(L"位置: %s(%s)", kDisplayName, productFolder.c_str());
    return text.GetData();
}

int Dump()
{
    // Only look: creating the key here would hide a missing entry.
    HKEY existing = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, GetUninstallEntryKeyPath(), 0, KEY_READ, &existing) != ERROR_SUCCESS) {
        Print(L"error", L"no entry");
        return 1;
    }
    RegCloseKey(existing);
    KEReg2 reg;
    if (reg.CreateKey(HKEY_LOCAL_MACHINE, GetUninstallEntryKeyPath(), KEY_READ) != ERROR_SUCCESS) {
        Print(L"error", L"no entry");
        return 1;
    }
    const wchar_t* names[] = {L"DisplayName", L"DisplayIcon", L"UninstallString", L"InstallLocation",
                              L"DisplayVersion", L"Publisher"};
    for (const wchar_t* name : names) {
        SkinUI::CUiString value;
        if (reg.QueryString(name, &value) != ERROR_SUCCESS) {
            Print(name, L"<missing>");
            continue;
        }
        Print(name, value.GetData());
        // How the stored bytes end: exactly one terminating null character.
        wchar_t raw[300] = {};
        DWORD bytes = sizeof(raw);
        reg.QueryRaw(name, raw, &bytes);
        size_t units = bytes / sizeof(wchar_t);
        int nulls = 0;
        while (nulls < static_cast<int>(units) && raw[units - 1 - nulls] == L'\0') ++nulls;
        Print(std::wstring(name) + L".nulls", std::to_wstring(nulls));
        Print(std::wstring(name) + L".bytes", std::to_wstring(bytes));
    }
    return 0;
}

BOOL CALLBACK FindBrowseDialog(HWND window, LPARAM found)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Reports, from a second thread, which control of the folder browser has the
// keyboard focus and what its edit box holds, each time either changes. The
// driving script waits on these lines instead of guessing how long the dialog
// needs under load; the keys themselves still come from outside.
void WatchBrowser(DWORD uiThread, const std::atomic<bool>* done)
{
    std::wstring last;
    while (!*done) {
        Sleep(50);
        HWND dialog = nullptr;
        EnumThreadWindows(uiThread, FindBrowseDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr) continue;
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(uiThread, &info) || info.hwndFocus == nullptr) continue;
        wchar_t focusClass[32] = {};
        GetClassNameW(info.hwndFocus, focusClass, 32);
        HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        wchar_t text[512] = {};
        DWORD_PTR ignored = 0;
        if (edit != nullptr)
            SendMessageTimeoutW(edit, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000,
                                &ignored);
        std::wstring state = std::wstring(focusClass) + L"|" + text;
        if (state == last) continue;
        last = state;
        Print(L"focus", focusClass);
        Print(L"edit", text);
    }
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

int Browse(const std::wstring& initial)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ProbeWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"KeCommonProbeOwner";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, wc.lpszClassName, L"KeCommonProbe owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                 40, 500, 400, nullptr, nullptr, wc.hInstance, nullptr);
    if (owner == nullptr) return 1;
    Print(L"ready", L"1");
    std::atomic<bool> done(false);
    std::thread watcher(WatchBrowser, GetCurrentThreadId(), &done);
    SkinUI::CUiString chosen = BrowseForFolder(owner, SkinUI::CUiString(initial.c_str()));
    done = true;
    watcher.join();
    Print(L"result", chosen.GetData());
    DestroyWindow(owner);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (argc < 2) return 2;
    std::wstring command = argv[1];
    std::wstring arg = argc > 2 ? argv[2] : L"";
    if (command == L"sleep") {
        Sleep(static_cast<DWORD>(_wtoi(arg.c_str())));
        return 0;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    int rc = 0;
    if (command == L"register") {
        RegisterUninstallEntry(arg.c_str());
        Print(L"key", GetUninstallEntryKeyPath().GetData());
    } else if (command == L"dump") {
        rc = Dump();
    } else if (command == L"desktop-link") {
        std::wstring exe = arg + L"\\DUDavov.exe";
        std::wstring link = std::wstring(GetDesktopFolder().GetData()) + L"\\" + kDisplayName + L".lnk";
        bool ok = CreateShellLink(exe.c_str(), arg.c_str(), Description(arg).c_str(), exe.c_str(), 0, link.c_str());
        Print(L"link", link);
        Print(L"ok", ok ? L"1" : L"0");
        rc = ok ? 0 : 1;
    } else if (command == L"startmenu") {
        std::wstring exe = arg + L"\\DUDavov.exe";
        std::wstring uninstaller = arg + L"\\DEZeRodurav.exe";
        CreateStartMenuShortcuts(exe.c_str(), uninstaller.c_str(), arg.c_str(), kDisplayName,
                                 Description(arg).c_str());
        wchar_t programs[MAX_PATH] = {};
        SHGetSpecialFolderPathW(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE);
        Print(L"group", std::wstring(programs) + L"\\" + kDisplayName);
    } else if (command == L"shortpath") {
        wchar_t shortPath[MAX_PATH] = {};
        DWORD n = GetShortPathNameW(arg.c_str(), shortPath, MAX_PATH);
        Print(L"short", n > 0 && n < MAX_PATH ? shortPath : arg);
    } else if (command == L"browse") {
        rc = Browse(arg);
    } else {
        rc = 2;
    }
    CoUninitialize();
    return rc;
}
