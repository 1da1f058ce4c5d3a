#include "Extractor.h"

#include "EntryPath.h"

#include <archive_entry.h>

namespace SevenZCore {

namespace {

const unsigned long long kUnixEpochAsFileTime = 116444736000000000ULL;

FILETIME ToFileTime(time_t seconds, long nanoseconds)
{
    unsigned long long ticks = static_cast<unsigned long long>(static_cast<long long>(seconds) * 10000000LL
                                                               + nanoseconds / 100 + kUnixEpochAsFileTime);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Everything before the last separator; empty for an item at the root.
std::wstring ParentOf(const std::wstring& relative)
{
    size_t cut = relative.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : relative.substr(0, cut);
}

bool WriteAll(HANDLE file, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr) || written == 0) return false;
        p += written;
        size -= written;
    }
    return true;
}

// Where the header gives a path for an item: the wide form, as stored in 7z.
const wchar_t* PathOf(archive_entry* entry) { return archive_entry_pathname_w(entry); }

bool IsRegular(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFREG; }
bool IsDirectory(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFDIR; }
bool IsSymlink(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFLNK; }

// Headers may warn (and still be usable); anything worse ends the run.
bool HeaderUsable(int status) { return status == ARCHIVE_OK || status == ARCHIVE_WARN; }

} // namespace

CExtractor::CExtractor(const std::wstring& archivePath, const std::wstring& destFolder, const UnzipProgress& progress)
    : m_archivePath(archivePath), m_destFolder(destFolder), m_progress(progress)
{
}

bool CExtractor::Run()
{
    unsigned long long total = 0;
    if (!Scan(&total) || !PrepareRoot()) return false;
    CProgressMeter meter(m_progress, total);
    meter.Start();
    if (!Extract(meter) || !CreateLinks()) return false;
    ApplyFolderTimes();
    meter.Finish();
    return true;
}

bool CExtractor::Scan(unsigned long long* total)
{
    CArchiveReader reader;
    if (!reader.Open(m_archivePath)) return false;
    archive* a = reader.Get();
    archive_entry* entry = nullptr;
    std::vector<Link> links;
    for (;;) {
        int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) break;
        if (!HeaderUsable(status)) return false;
        std::wstring relative;
        if (!MakeSafeRelativePath(PathOf(entry), &relative)) return false;
        // Encrypted items cannot be unpacked, hard links do not occur in 7z.
        if (archive_entry_is_encrypted(entry) || archive_entry_hardlink(entry) != nullptr) return false;
        if (IsRegular(entry)) {
            if (archive_entry_size(entry) < 0) return false;
            *total += static_cast<unsigned long long>(archive_entry_size(entry));
        } else if (IsSymlink(entry)) {
            const wchar_t* target = archive_entry_symlink_w(entry);
            if (target == nullptr) return false;
            links.push_back(Link{relative, target});
            m_links.insert(FoldCase(relative));
        }
    }
    for (const Link& link : links)
        if (!IsLinkTargetInside(link.path, link.target.c_str(), m_links)) return false;
    return true;
}

bool CExtractor::PrepareRoot()
{
    std::wstring folder = m_destFolder;
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    if (folder.empty()) return false;
    DWORD need = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    if (need == 0) return false;
    std::wstring full(need, L'\0');
    DWORD got = GetFullPathNameW(folder.c_str(), need, &full[0], nullptr);
    if (got == 0 || got >= need) return false;
    full.resize(got);
    if (full.back() != L'\\') full += L'\\';
    // The long-path form lifts the MAX_PATH limit for deep payloads.
    if (full.compare(0, 4, L"\\\\?\\") == 0) m_root = full;
    else if (full.compare(0, 2, L"\\\\") == 0) m_root = L"\\\\?\\UNC\\" + full.substr(2);
    else m_root = L"\\\\?\\" + full;
    // The caller normally creates the folder; create what is missing all the same.
    size_t start = m_root.find(L'\\', m_root.compare(0, 8, L"\\\\?\\UNC\\") == 0 ? 8 : 4);
    for (size_t cut = m_root.find(L'\\', start + 1); cut != std::wstring::npos; cut = m_root.find(L'\\', cut + 1))
        CreateDirectoryW(m_root.substr(0, cut).c_str(), nullptr);
    return IsFolder(m_root);
}

bool CExtractor::EnsureFolder(const std::wstring& relative)
{
    if (relative.empty() || m_knownFolders.count(relative)) return true;
    if (!EnsureFolder(ParentOf(relative))) return false;
    std::wstring path = m_root + relative;
    if (!CreateDirectoryW(path.c_str(), nullptr) && !IsFolder(path)) return false;
    m_knownFolders.insert(relative);
    return true;
}

bool CExtractor::Extract(CProgressMeter& meter)
{
    CArchiveReader reader;
    if (!reader.Open(m_archivePath)) return false;
    archive* a = reader.Get();
    archive_entry* entry = nullptr;
    for (;;) {
        int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) return true;
        if (!HeaderUsable(status)) return false;
        // Checked again: the second pass must not trust the first.
        std::wstring relative;
        if (!MakeSafeRelativePath(PathOf(entry), &relative)) return false;
        if (IsDirectory(entry)) {
            if (!EnsureFolder(relative)) return false;
            FolderTimes times = {};
            times.path = m_root + relative;
            if ((times.hasWritten = archive_entry_mtime_is_set(entry) != 0))
                times.written = ToFileTime(archive_entry_mtime(entry), archive_entry_mtime_nsec(entry));
            if ((times.hasAccessed = archive_entry_atime_is_set(entry) != 0))
                times.accessed = ToFileTime(archive_entry_atime(entry), archive_entry_atime_nsec(entry));
            if ((times.hasCreated = archive_entry_birthtime_is_set(entry) != 0))
                times.created = ToFileTime(archive_entry_birthtime(entry), archive_entry_birthtime_nsec(entry));
            if (times.hasWritten || times.hasAccessed || times.hasCreated) m_folderTimes.push_back(times);
        } else if (IsRegular(entry)) {
            if (!EnsureFolder(ParentOf(relative)) || !WriteFileItem(a, entry, relative, meter)) return false;
        } else if (IsSymlink(entry)) {
            if (!m_links.count(FoldCase(relative))) return false;
            m_pendingLinks.push_back(Link{relative, archive_entry_symlink_w(entry)});
        }
    }
}

bool CExtractor::WriteFileItem(archive* a, archive_entry* entry, const std::wstring& relative, CProgressMeter& meter)
{
    std::wstring path = m_root + relative;
    CWinHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid() && GetLastError() == ERROR_ACCESS_DENIED) {
        // A read-only, hidden or system file refuses CREATE_ALWAYS until its attributes are cleared.
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
            && SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL))
            file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!file.IsValid()) return false;

    bool ok = true;
    long long position = 0;
    for (;;) {
        const void* data = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        int status = archive_read_data_block(a, &data, &size, &offset);
        if (status == ARCHIVE_EOF) break;
        // Warnings here are checksum errors: the data is wrong.
        if (status != ARCHIVE_OK) { ok = false; break; }
        if (offset != position) {
            LARGE_INTEGER move;
            move.QuadPart = offset;
            if (!SetFilePointerEx(file.Get(), move, nullptr, FILE_BEGIN)) { ok = false; break; }
        }
        if (!WriteAll(file.Get(), data, size)) { ok = false; break; }
        position = offset + static_cast<long long>(size);
        meter.Advance(size);
    }
    if (ok && archive_entry_mtime_is_set(entry)) {
        FILETIME written = ToFileTime(archive_entry_mtime(entry), archive_entry_mtime_nsec(entry));
        FILETIME accessed = archive_entry_atime_is_set(entry)
            ? ToFileTime(archive_entry_atime(entry), archive_entry_atime_nsec(entry)) : written;
        FILETIME created = archive_entry_birthtime_is_set(entry)
            ? ToFileTime(archive_entry_birthtime(entry), archive_entry_birthtime_nsec(entry)) : written;
        SetFileTime(file.Get(), &created, &accessed, &written);
    }
    ok = file.Close() && ok;
    if (!ok) {
        // A half-written file is worse than none.
        DeleteFileW(path.c_str());
        return false;
    }
    if ((archive_entry_mode(entry) & 0222) == 0) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    return true;
}

bool CExtractor::CreateLinks()
{
    // Made last, so that no item of the archive is ever written through one.
    for (const Link& link : m_pendingLinks) {
        if (!EnsureFolder(ParentOf(link.path))) return false;
        std::wstring path = m_root + link.path;
        std::wstring target = link.target;
        for (wchar_t& c : target)
            if (c == L'/') c = L'\\';
        std::wstring inside;
        if (!ResolveLinkTarget(link.path, link.target.c_str(), &inside)) return false;
        std::wstring resolved = m_root + inside;
        DWORD flags = IsFolder(resolved) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            if (IsFolder(path) || !DeleteFileW(path.c_str())) return false;
        }
        bool made = CreateSymbolicLinkW(path.c_str(), target.c_str(), flags | 0x2 /* allow unprivileged */)
            || CreateSymbolicLinkW(path.c_str(), target.c_str(), flags);
        // Some systems report success without making the link: check it is there.
        if (made && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        // Without link rights a file link becomes a copy of its target, which
        // serves the product as well; a folder link cannot be stood in for.
        if (flags != 0 || !CopyFileW(resolved.c_str(), path.c_str(), FALSE)) return false;
    }
    return true;
}

void CExtractor::ApplyFolderTimes()
{
    // Only once every item is in place: writing into a folder changes its time again.
    for (const FolderTimes& times : m_folderTimes) {
        CWinHandle folder(CreateFileW(times.path.c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!folder.IsValid()) continue;
        SetFileTime(folder.Get(), times.hasCreated ? &times.created : nullptr,
                    times.hasAccessed ? &times.accessed : nullptr, times.hasWritten ? &times.written : nullptr);
    }
}

} // namespace SevenZCore
