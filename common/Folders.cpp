#include "common/Folders.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <share.h>
#include <io.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <direct.h>
#include <wchar.h>

using SkinUI::CUiString;

namespace {

const wchar_t kDataTail[] = L"\\Norvantix\\data";
const wchar_t kProductWord[] = L"Norvantix";

CUiString Join(const CUiString& base, const wchar_t* tail)
{
    CUiString path(base);
    path.Append(tail);
    return path;
}

} // namespace

CUiString GetSpecialFolder(int csidl)
{
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) buffer[0] = L'\0';
    buffer[MAX_PATH] = L'\0';
    return CUiString(buffer);
}

CUiString GetLocalAppDataFolder() { return GetSpecialFolder(CSIDL_LOCAL_APPDATA); }
CUiString GetDesktopFolder() { return GetSpecialFolder(CSIDL_DESKTOPDIRECTORY); }

CUiString GetDataFolder() { return Join(GetLocalAppDataFolder(), kDataTail); }
CUiString GetImagesFolder() { return Join(Join(GetLocalAppDataFolder(), kDataTail), L"\\images"); }
CUiString GetLogsFolder() { return Join(Join(GetLocalAppDataFolder(), kDataTail), L"\\logs"); }

CUiString GetProductDataFolder() { return Join(Join(GetDataFolder(), L"\\"), kProductWord); }
CUiString GetSettingsFile() { return Join(Join(GetProductDataFolder(), L"\\"), L"Norvantix.ini"); }
CUiString GetPaintingSettingsFile() { return Join(Join(GetProductDataFolder(), L"\\"), L"NorvantixPainting.ini"); }
CUiString GetLogFolder() { return Join(Join(GetDataFolder(), L"\\"), L"Norvantixlog"); }

CUiString GetDefaultInstallFolder()
{
    return Join(Join(GetSpecialFolder(CSIDL_PROGRAM_FILES), L"\\"), kProductWord);
}

CUiString GetRoamingDataFolder()
{
    return Join(GetSpecialFolder(CSIDL_APPDATA), L"\\Norvantix\\data\\tarvekvctr\\data");
}

CUiString GetUserProfileFile() { return Join(Join(GetRoamingDataFolder(), L"\\"), L"user.ini"); }

CUiString GetExeFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    // The extra zeroed element terminates a name that filled the buffer.
    if (GetModuleFileNameW(nullptr, buffer, MAX_PATH) == 0) buffer[0] = L'\0';
    wchar_t* last = wcsrchr(buffer, L'\\');
    if (last != nullptr) *last = L'\0';
    return CUiString(buffer);
}

int CreateFolderChain(const wchar_t* path)
{
    if (path == nullptr) return 0;
    size_t length = wcslen(path);
    // Room for the path, a closing separator and the terminator; anything
    // longer could not be created without the long-path prefix anyway.
    if (length == 0 || length >= MAX_PATH) return 0;
    wchar_t buffer[MAX_PATH + 1] = {};
    wmemcpy(buffer, path, length);
    if (buffer[length - 1] != L'\\' && buffer[length - 1] != L'/') buffer[length++] = L'/';
    for (size_t i = 0; i < length; ++i) {
        if (buffer[i] != L'\\' && buffer[i] != L'/') continue;
        buffer[i] = L'\0';
        if (!PathFileExistsW(buffer)) _wmkdir(buffer);
        buffer[i] = L'/';
    }
    return 0;
}

namespace {

bool IsLinkFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

struct FindHandle {
    HANDLE handle;
    explicit FindHandle(HANDLE h) : handle(h) {}
    ~FindHandle() { if (handle != INVALID_HANDLE_VALUE) FindClose(handle); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
};

} // namespace

bool DeleteFolderTree(const wchar_t* path)
{
    if (path == nullptr || wcslen(path) < 2) return false;

    // A junction or folder link given as the tree itself: listing it would
    // walk into (and empty) the folder it points at.
    DWORD own = GetFileAttributesW(path);
    if (own != INVALID_FILE_ATTRIBUTES && IsLinkFolder(own)) {
        RemoveDirectoryW(path);
        return true;
    }

    CUiString folder(path);
    wchar_t last = folder[folder.GetLength() - 1];
    if (last != L'\\' && last != L'/') folder.Append(L'\\');

    WIN32_FIND_DATAW data;
    {
        FindHandle find(FindFirstFileW((folder + L"*.*").GetData(), &data));
        if (find.handle == INVALID_HANDLE_VALUE) return false;
        do {
            if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
            CUiString child = folder + data.cFileName;
            if (IsLinkFolder(data.dwFileAttributes))
                RemoveDirectoryW(child);
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteFolderTree(child);
            else
                DeleteFileW(child);
        } while (FindNextFileW(find.handle, &data));
    }
    RemoveDirectoryW(path);
    return true;
}

bool IsFileInUse(const wchar_t* path)
{
    if (path == nullptr) return true;
    int fd = _wsopen(path, _O_RDWR | _O_BINARY, _SH_DENYRW, _S_IREAD | _S_IWRITE);
    if (fd == -1) return true;
    _close(fd);
    return false;
}
