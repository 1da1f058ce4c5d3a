#include "ui/core/UiResourceLocation.h"

#include <cstdlib>
#include <cstring>

namespace SkinUI {

const wchar_t* const CUiResourceLocation::MEMORY_ARCHIVE_NAME = L"membuffer";

namespace {

// Function-local statics: usable from other statics' constructors, in any order.
struct LocationState {
    HINSTANCE instance = nullptr;
    HINSTANCE resourceInstance = nullptr;
    CUiString folder;
    int kind = 0;
    CUiString archiveName;
    CUiString archivePassword;
    bool keepOpen = false;
    ZipArchiveHandle archive = nullptr;
};

LocationState& State()
{
    static LocationState state;
    return state;
}

void CloseKeptArchive()
{
    LocationState& s = State();
    if (s.archive) CloseZip(s.archive);
    s.archive = nullptr;
}

} // namespace

bool CUiByteBuffer::Allocate(DWORD size)
{
    Free();
    // One spare zero byte, so text consumers may treat the block as terminated.
    m_data = static_cast<BYTE*>(malloc(static_cast<size_t>(size) + 1));
    if (m_data == nullptr) return false;
    m_data[size] = 0;
    m_size = size;
    return true;
}

void CUiByteBuffer::Free()
{
    free(m_data);
    m_data = nullptr;
    m_size = 0;
}

void CUiResourceLocation::SetInstance(HINSTANCE instance) { State().instance = instance; }
HINSTANCE CUiResourceLocation::GetInstance() { return State().instance; }
void CUiResourceLocation::SetResourceInstance(HINSTANCE instance) { State().resourceInstance = instance; }

HINSTANCE CUiResourceLocation::GetResourceInstance()
{
    return State().resourceInstance ? State().resourceInstance : State().instance;
}

void CUiResourceLocation::SetSkinFolder(const wchar_t* path)
{
    CUiString& folder = State().folder;
    folder = path;
    int n = folder.GetLength();
    if (n > 0 && folder[n - 1] != L'\\' && folder[n - 1] != L'/') folder += L'\\';
}

const CUiString& CUiResourceLocation::GetSkinFolder() { return State().folder; }
void CUiResourceLocation::SetSkinKind(int kind) { State().kind = kind; }
int CUiResourceLocation::GetSkinKind() { return State().kind; }
const CUiString& CUiResourceLocation::GetArchiveName() { return State().archiveName; }
const CUiString& CUiResourceLocation::GetArchivePassword() { return State().archivePassword; }
bool CUiResourceLocation::IsArchiveKeptOpen() { return State().keepOpen; }
ZipArchiveHandle CUiResourceLocation::GetOpenArchive() { return State().archive; }

void CUiResourceLocation::GetAnsiPassword(CUiByteBuffer* password)
{
    const CUiString& text = State().archivePassword;
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0 || !password->Allocate(static_cast<DWORD>(n))) {
        password->Allocate(0);
        return;
    }
    WideCharToMultiByte(CP_ACP, 0, text, -1, reinterpret_cast<char*>(password->GetData()), n, nullptr, nullptr);
}

void CUiResourceLocation::SetSkinArchive(const wchar_t* name, bool keepOpen, const wchar_t* password)
{
    LocationState& s = State();
    if (s.archiveName == (name ? name : L"") && s.keepOpen == keepOpen) return;
    CloseKeptArchive();
    s.archiveName = name;
    s.keepOpen = keepOpen;
    s.archivePassword = password;
    if (keepOpen && !s.archiveName.IsEmpty()) {
        CUiByteBuffer ansi;
        GetAnsiPassword(&ansi);
        s.archive = OpenZipFile(s.folder + s.archiveName, reinterpret_cast<const char*>(ansi.GetData()));
    }
}

void CUiResourceLocation::SetSkinArchiveInMemory(const void* data, DWORD size, const wchar_t* password)
{
    LocationState& s = State();
    if (s.archiveName == MEMORY_ARCHIVE_NAME) return;
    CloseKeptArchive();
    s.archiveName = MEMORY_ARCHIVE_NAME;
    s.keepOpen = true;
    s.archivePassword = password;
    CUiByteBuffer ansi;
    GetAnsiPassword(&ansi);
    s.archive = OpenZipMemory(data, size, reinterpret_cast<const char*>(ansi.GetData()));
}

void CUiResourceLocation::Shutdown()
{
    LocationState& s = State();
    CloseKeptArchive();
    s.archiveName.Empty();
    s.archivePassword.Empty();
    s.keepOpen = false;
}

namespace {

SkinReadResult ReadFromDisk(const CUiString& path, DWORD maxSize, CUiByteBuffer* bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return SKIN_READ_OPEN_FAILED;
    SkinReadResult result = SKIN_READ_OK;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        result = SKIN_READ_FAILED;
    } else if (size.QuadPart == 0) {
        result = SKIN_READ_EMPTY;
    } else if (size.QuadPart > static_cast<LONGLONG>(maxSize)) {
        result = SKIN_READ_TOO_LARGE;
    } else if (!bytes->Allocate(static_cast<DWORD>(size.QuadPart))) {
        result = SKIN_READ_FAILED;
    } else {
        DWORD read = 0;
        if (!ReadFile(file, bytes->GetData(), bytes->GetSize(), &read, nullptr) || read != bytes->GetSize())
            result = SKIN_READ_FAILED;
    }
    CloseHandle(file);
    if (result != SKIN_READ_OK) bytes->Free();
    return result;
}

SkinReadResult ReadFromArchive(ZipArchiveHandle zip, const wchar_t* name, DWORD maxSize, CUiByteBuffer* bytes)
{
    CUiString item(name);
    item.Replace(L"\\", L"/");
    int index = -1;
    ZipEntryInfo entry;
    if (FindZipItem(zip, item, true, &index, &entry) != ZIP_OK) return SKIN_READ_NOT_FOUND;
    if (entry.uncompressedSize == 0) return SKIN_READ_EMPTY;
    if (entry.uncompressedSize > maxSize) return SKIN_READ_TOO_LARGE;
    if (!bytes->Allocate(entry.uncompressedSize)) return SKIN_READ_UNZIP_FAILED;
    DWORD written = 0;
    ZipResult r = UnzipItemToMemory(zip, index, bytes->GetData(), bytes->GetSize(), &written);
    if ((r != ZIP_OK && r != ZIP_MORE) || written != bytes->GetSize()) {
        bytes->Free();
        return SKIN_READ_UNZIP_FAILED;
    }
    return SKIN_READ_OK;
}

} // namespace

SkinReadResult CUiResourceLocation::ReadSkinFile(const wchar_t* name, DWORD maxSize, CUiByteBuffer* bytes)
{
    bytes->Free();
    if (name == nullptr) return SKIN_READ_OPEN_FAILED;
    LocationState& s = State();
    if (s.archiveName.IsEmpty()) return ReadFromDisk(s.folder + name, maxSize, bytes);

    ZipArchiveHandle zip = s.keepOpen ? s.archive : nullptr;
    bool ownArchive = false;
    if (zip == nullptr) {
        // Not kept open, or a kept archive that could not be opened earlier: try now,
        // for this read only. A memory archive has nothing to reopen.
        if (s.archiveName == MEMORY_ARCHIVE_NAME) return SKIN_READ_ARCHIVE_FAILED;
        CUiByteBuffer ansi;
        GetAnsiPassword(&ansi);
        zip = OpenZipFile(s.folder + s.archiveName, reinterpret_cast<const char*>(ansi.GetData()));
        if (zip == nullptr) return SKIN_READ_ARCHIVE_FAILED;
        ownArchive = true;
    }
    SkinReadResult result = ReadFromArchive(zip, name, maxSize, bytes);
    if (ownArchive) CloseZip(zip);
    return result;
}

} // namespace SkinUI
