#include "common/Dialogs.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wchar.h>

#include <memory>
#include <new>

using SkinUI::CUiString;

namespace {

const wchar_t kAllFilesFilter[] = L"所有文件\0*.*\0";
const wchar_t kChooseFileTitle[] = L"请选择一个文件";

void CopyBounded(wchar_t* buffer, size_t capacity, const wchar_t* text)
{
    if (text == nullptr) return;
    wcsncpy(buffer, text, capacity - 1);
    buffer[capacity - 1] = L'\0';
}

// Selects the initial path once the browser is up; lParam of the browse
// info is the path buffer.
int CALLBACK SelectInitialPath(HWND dialog, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

// The install-folder browser's state; the path buffer comes first, so the
// callback's data is the buffer as well.
struct BrowseState {
    enum { kCapacity = 4096 };
    wchar_t buffer[kCapacity];
    wchar_t typed[kCapacity];
};

BOOL CALLBACK FindEditBox(HWND child, LPARAM found)
{
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (_wcsicmp(className, L"Edit") != 0 || !IsWindowVisible(child)) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// Some shells (Wine's among them) return the tree's selection even when the
// user typed a full path into the edit box and confirmed. What the user typed
// is kept here when it is an absolute path of an existing folder, and wins
// over the tree's selection, as Windows' own browser does it.
LRESULT CALLBACK WatchConfirm(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        BrowseState* state = reinterpret_cast<BrowseState*>(data);
        HWND edit = nullptr;
        EnumChildWindows(dialog, FindEditBox, reinterpret_cast<LPARAM>(&edit));
        state->typed[0] = L'\0';
        if (edit != nullptr) {
            wchar_t text[BrowseState::kCapacity] = {};
            GetWindowTextW(edit, text, BrowseState::kCapacity);
            if (!PathIsRelativeW(text) && PathIsDirectoryW(text)) CopyBounded(state->typed, BrowseState::kCapacity, text);
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(dialog, WatchConfirm, id);
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

int CALLBACK StartInstallBrowser(HWND dialog, UINT message, LPARAM lParam, LPARAM data)
{
    if (message == BFFM_INITIALIZED) SetWindowSubclass(dialog, WatchConfirm, 1, static_cast<DWORD_PTR>(data));
    return SelectInitialPath(dialog, message, lParam, data);
}

// SHGetPathFromIDListW into the buffer; false for items that are not
// file-system folders. Frees the item list.
bool TakeBrowsedPath(LPITEMIDLIST items, wchar_t* buffer)
{
    if (items == nullptr) return false;
    bool ok = SHGetPathFromIDListW(items, buffer) != FALSE && buffer[0] != L'\0';
    CoTaskMemFree(items);
    return ok;
}

// What the open and save dialogs share: owner, filter, title, folder, a MAX_PATH buffer.
OPENFILENAMEW FileDialogRequest(wchar_t* file, const wchar_t* filter, const wchar_t* title, const wchar_t* initialDir)
{
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetForegroundWindow();
    ofn.lpstrFilter = filter != nullptr ? filter : kAllFilesFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title != nullptr ? title : kChooseFileTitle;
    ofn.lpstrInitialDir = initialDir;
    return ofn;
}

} // namespace

CUiString ChooseOpenFile(const wchar_t* filter, const wchar_t* title, const wchar_t* initialDir)
{
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn = FileDialogRequest(file, filter, title, initialDir);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return CUiString();
    return CUiString(file);
}

CUiString ChooseSaveFile(const wchar_t* initialName, const wchar_t* filter, const wchar_t* title,
                         const wchar_t* initialDir)
{
    wchar_t file[MAX_PATH] = {};
    CopyBounded(file, MAX_PATH, initialName);
    OPENFILENAMEW ofn = FileDialogRequest(file, filter, title, initialDir);
    ofn.lpstrDefExt = L"aep";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&ofn)) return CUiString();
    return CUiString(file);
}

CUiString ChooseMissionFile(HWND owner, const wchar_t* initialName, const wchar_t* filter)
{
    wchar_t file[MAX_PATH] = {};
    CopyBounded(file, MAX_PATH, initialName);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"";
    ofn.lpstrInitialDir = L"Missions\\";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return CUiString();
    return CUiString(file);
}

std::vector<CUiString> ChooseMissionFiles(HWND owner, const wchar_t* initialName, const wchar_t* filter)
{
    const DWORD capacity = 26000;
    std::vector<wchar_t> files(capacity, L'\0');
    CopyBounded(files.data(), capacity, initialName);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = files.data();
    ofn.nMaxFile = capacity;
    ofn.lpstrDefExt = L"";
    ofn.lpstrInitialDir = L"Missions\\";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT;
    std::vector<CUiString> chosen;
    if (!GetOpenFileNameW(&ofn)) return chosen;
    // NUL-separated texts ending in an empty one; the buffer ends zeroed.
    for (const wchar_t* item = files.data(); item < files.data() + capacity && *item != L'\0';
         item += wcslen(item) + 1)
        chosen.push_back(CUiString(item));
    return chosen;
}

bool ChooseFolder(CUiString* path)
{
    if (path == nullptr) return false;
    wchar_t buffer[MAX_PATH] = {};
    CopyBounded(buffer, MAX_PATH, *path);
    BROWSEINFOW info = {};
    info.hwndOwner = GetForegroundWindow();
    info.pszDisplayName = buffer;
    info.lpszTitle = L"从下面选文件夹目录:";
    info.ulFlags = BIF_NEWDIALOGSTYLE;
    info.lpfn = SelectInitialPath;
    info.lParam = reinterpret_cast<LPARAM>(buffer);
    if (!TakeBrowsedPath(SHBrowseForFolderW(&info), buffer)) return false;
    path->Assign(buffer);
    return true;
}

DWORD ChooseColour(HWND owner, DWORD initialArgb)
{
    static COLORREF customColours[16] = {};
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = owner;
    choose.rgbResult = RGB((initialArgb >> 16) & 0xFF, (initialArgb >> 8) & 0xFF, initialArgb & 0xFF);
    choose.lpCustColors = customColours;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choose)) return initialArgb;
    return 0xFF000000u | (GetRValue(choose.rgbResult) << 16) | (GetGValue(choose.rgbResult) << 8)
        | GetBValue(choose.rgbResult);
}

CUiString BrowseForFolder(HWND owner, const CUiString& initialPath)
{
    std::unique_ptr<BrowseState> state(new (std::nothrow) BrowseState());
    if (!state) return CUiString();
    CopyBounded(state->buffer, BrowseState::kCapacity, initialPath);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = state->buffer;
    info.lpszTitle = L"请选择文件路径";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_UAHINT | BIF_BROWSEINCLUDEFILES;
    info.lpfn = StartInstallBrowser;
    info.lParam = reinterpret_cast<LPARAM>(state.get());
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (chosen == nullptr) return CUiString();  // cancelled
    if (state->typed[0] != L'\0') {
        // The typed folder, spelled as the shell spells it.
        LPITEMIDLIST typed = nullptr;
        if (SUCCEEDED(SHParseDisplayName(state->typed, nullptr, &typed, 0, nullptr)) && typed != nullptr) {
            CoTaskMemFree(chosen);
            chosen = typed;
        }
    }
    if (!TakeBrowsedPath(chosen, state->buffer)) return CUiString();
    return CUiString(state->buffer);
}
