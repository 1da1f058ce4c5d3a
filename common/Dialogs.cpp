#include "common/Dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <wchar.h>

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

// SHGetPathFromIDListW into the buffer; false for items that are not
// file-system folders. Frees the item list.
bool TakeBrowsedPath(LPITEMIDLIST items, wchar_t* buffer)
{
    if (items == nullptr) return false;
    bool ok = SHGetPathFromIDListW(items, buffer) != FALSE && buffer[0] != L'\0';
    CoTaskMemFree(items);
    return ok;
}

} // namespace

CUiString ChooseOpenFile(const wchar_t* filter, const wchar_t* title, const wchar_t* initialDir)
{
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetForegroundWindow();
    ofn.lpstrFilter = filter != nullptr ? filter : kAllFilesFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title != nullptr ? title : kChooseFileTitle;
    ofn.lpstrInitialDir = initialDir;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return CUiString();
    return CUiString(file);
}

CUiString ChooseSaveFile(const wchar_t* initialName, const wchar_t* filter, const wchar_t* title,
                         const wchar_t* initialDir)
{
    wchar_t file[MAX_PATH] = {};
    CopyBounded(file, MAX_PATH, initialName);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetForegroundWindow();
    ofn.lpstrFilter = filter != nullptr ? filter : kAllFilesFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title != nullptr ? title : kChooseFileTitle;
    ofn.lpstrInitialDir = initialDir;
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
    const size_t capacity = 4096;
    wchar_t buffer[capacity] = {};
    CopyBounded(buffer, capacity, initialPath);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = buffer;
    info.lpszTitle = L"请选择文件路径";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE | BIF_UAHINT | BIF_BROWSEINCLUDEFILES;
    info.lpfn = SelectInitialPath;
    info.lParam = reinterpret_cast<LPARAM>(buffer);
    if (!TakeBrowsedPath(SHBrowseForFolderW(&info), buffer)) return CUiString();
    return CUiString(buffer);
}
