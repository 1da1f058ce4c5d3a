#include "Extractor.h"

#include "EntryPath.h"

#include <archive_entry.h>

#include <thread>

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

// Item names as 7z stores them (UTF-16), never through a code page.
const wchar_t* PathOf(archive_entry* entry) { return archive_entry_pathname_w(entry); }

bool IsRegular(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFREG; }
bool IsDirectory(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFDIR; }
bool IsSymlink(archive_entry* entry) { return archive_entry_filetype(entry) == AE_IFLNK; }

// Headers may warn (and still be usable); anything worse ends the run.
bool HeaderUsable(int status) { return status == ARCHIVE_OK || status == ARCHIVE_WARN; }

// Read-only (and hidden or system) files refuse deletion and replacement
// until their attributes are cleared.
bool RemoveItem(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) || RemoveDirectoryW(path.c_str());
}

} // namespace

int ResultForWriteError(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return UNZIP_DISK_FULL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return UNZIP_ERROR;
    default:
        return UNZIP_FOLDER_NOT_WRITABLE;
    }
}

CExtractor::CExtractor(const std::wstring& archivePath, const std::wstring& destFolder, const UnzipProgress& progress,
                       const std::atomic<bool>* cancel, const UnzipItemCallback& onItem)
    : m_archivePath(archivePath), m_destFolder(destFolder), m_progress(progress), m_cancel(cancel), m_onItem(onItem)
{
}

int CExtractor::Run()
{
    bool ok = false;
    try {
        ok = RunSteps();
    } catch (...) {
        ok = Fail(UNZIP_ERROR);
    }
    if (ok) return UNZIP_OK;
    if (m_result == UNZIP_OK) m_result = UNZIP_ERROR;
    try {
        Undo();
    } catch (...) {
    }
    return m_result;
}

bool CExtractor::Fail(int result)
{
    if (m_result == UNZIP_OK) m_result = result;
    return false;
}

bool CExtractor::RunSteps()
{
    unsigned long long total = 0;
    if (!Scan(&total)) return false;
    if (!PrepareRoot()) return Fail(UNZIP_FOLDER_NOT_WRITABLE);
    if (Cancelled()) return Fail(UNZIP_CANCELLED);
    // Large pieces for large payloads, yet enough of them for half-percent steps.
    m_pieceSize = static_cast<size_t>(total / 400 < (1 << 20) ? total / 400 : (1 << 20));
    CProgressMeter meter(m_progress, total);
    meter.Start();
    if (!Extract(meter) || !CreateLinks()) return false;
    if (Cancelled()) return Fail(UNZIP_CANCELLED);
    ApplyFolderTimes();
    if (m_onItem) {
        for (const std::wstring& folder : m_folderOrder) m_onItem(folder.c_str(), true);
        for (const std::wstring& file : m_placedFiles) m_onItem(file.c_str(), false);
    }
    meter.Finish();
    return true;
}

// Newest first, so that folders are empty by the time they are removed. A
// folder that holds anything else (a file that was there before, or one put
// there meanwhile) stays.
void CExtractor::Undo()
{
    if (!m_temporary.empty()) RemoveItem(m_temporary);
    m_temporary.clear();
    for (auto it = m_createdFiles.rbegin(); it != m_createdFiles.rend(); ++it) RemoveItem(*it);
    for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it) RemoveDirectoryW(it->c_str());
    m_createdFiles.clear();
    m_createdFolders.clear();
}

bool CExtractor::Scan(unsigned long long* total)
{
    CArchiveReader reader;
    if (!reader.Open(m_archivePath)) return Fail(reader.FileUnreadable() ? UNZIP_ARCHIVE_MISSING : UNZIP_ARCHIVE_CORRUPT);
    archive* a = reader.Get();
    archive_entry* entry = nullptr;
    std::vector<Link> links;
    for (;;) {
        int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) break;
        if (!HeaderUsable(status)) return Fail(UNZIP_ARCHIVE_CORRUPT);
        std::wstring relative;
        if (!MakeSafeRelativePath(PathOf(entry), &relative)) return Fail(UNZIP_UNSAFE_ENTRY);
        // Encrypted items cannot be unpacked, hard links do not occur in 7z.
        if (archive_entry_is_encrypted(entry) || archive_entry_hardlink(entry) != nullptr)
            return Fail(UNZIP_ARCHIVE_CORRUPT);
        if (IsRegular(entry)) {
            unsigned long long size = static_cast<unsigned long long>(archive_entry_size(entry));
            if (archive_entry_size(entry) < 0 || *total + size < *total) return Fail(UNZIP_ARCHIVE_CORRUPT);
            *total += size;
        } else if (IsSymlink(entry)) {
            const wchar_t* target = archive_entry_symlink_w(entry);
            if (target == nullptr) return Fail(UNZIP_ARCHIVE_CORRUPT);
            links.push_back(Link{relative, target});
            m_links.insert(FoldCase(relative));
        }
    }
    for (const Link& link : links)
        if (!IsLinkTargetInside(link.path, link.target.c_str(), m_links)) return Fail(UNZIP_UNSAFE_ENTRY);
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
    for (size_t cut = m_root.find(L'\\', start + 1); cut != std::wstring::npos; cut = m_root.find(L'\\', cut + 1)) {
        std::wstring step = m_root.substr(0, cut);
        if (CreateDirectoryW(step.c_str(), nullptr)) m_createdFolders.push_back(step);
    }
    return IsFolder(m_root);
}

bool CExtractor::EnsureFolder(const std::wstring& relative)
{
    if (relative.empty() || m_knownFolders.count(relative)) return true;
    if (!EnsureFolder(ParentOf(relative))) return false;
    std::wstring path = m_root + relative;
    if (CreateDirectoryW(path.c_str(), nullptr)) {
        m_createdFolders.push_back(path);
    } else {
        DWORD error = GetLastError();
        if (!IsFolder(path)) return FailWith(error);
    }
    m_knownFolders.insert(relative);
    m_folderOrder.push_back(relative);
    return true;
}

namespace {

// Enough data in flight to even out the two threads' pace, little enough to
// keep memory flat.
const size_t kBytesInFlight = 2 << 20;

ItemTimes TimesOf(archive_entry* entry)
{
    ItemTimes times = {};
    if ((times.hasWritten = archive_entry_mtime_is_set(entry) != 0))
        times.written = ToFileTime(archive_entry_mtime(entry), archive_entry_mtime_nsec(entry));
    if ((times.hasAccessed = archive_entry_atime_is_set(entry) != 0))
        times.accessed = ToFileTime(archive_entry_atime(entry), archive_entry_atime_nsec(entry));
    if ((times.hasCreated = archive_entry_birthtime_is_set(entry) != 0))
        times.created = ToFileTime(archive_entry_birthtime(entry), archive_entry_birthtime_nsec(entry));
    return times;
}

// Cancels and joins the decoding thread however the writing side leaves.
class CDecodingThread {
public:
    CDecodingThread(CItemQueue& queue) : m_queue(queue) {}
    ~CDecodingThread()
    {
        m_queue.Cancel();
        if (m_thread.joinable()) m_thread.join();
    }
    template <class Body>
    void Start(Body body) { m_thread = std::thread(body); }

private:
    CItemQueue& m_queue;
    std::thread m_thread;
};

} // namespace

bool CExtractor::Extract(CProgressMeter& meter)
{
    CArchiveReader reader;
    if (!reader.Open(m_archivePath)) return Fail(reader.FileUnreadable() ? UNZIP_ARCHIVE_MISSING : UNZIP_ARCHIVE_CORRUPT);
    CItemQueue queue(kBytesInFlight);
    CDecodingThread decoding(queue);
    archive* a = reader.Get();
    decoding.Start([this, a, &queue] {
        try {
            Decode(a, queue);
        } catch (...) {
            m_decodeResult = UNZIP_ERROR;
            queue.Close(false);
        }
    });
    return Write(queue, meter);
}

// Decoding thread: reads the archive in order and queues what it finds.
void CExtractor::Decode(archive* a, CItemQueue& queue)
{
    archive_entry* entry = nullptr;
    // The reason goes first: the writing side reads it once the queue is closed.
    auto stop = [this, &queue](int reason) {
        m_decodeResult = reason;
        queue.Close(false);
    };
    for (;;) {
        if (Cancelled()) return stop(UNZIP_CANCELLED);
        int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) return queue.Close(true);
        if (!HeaderUsable(status)) return stop(UNZIP_ARCHIVE_CORRUPT);
        ItemRecord record = {};
        // Checked again: the second pass must not trust the first.
        if (!MakeSafeRelativePath(PathOf(entry), &record.relative)) return stop(UNZIP_UNSAFE_ENTRY);
        if (IsDirectory(entry)) {
            record.kind = ItemRecord::kFolder;
            record.times = TimesOf(entry);
            if (!queue.Push(record)) return;
        } else if (IsRegular(entry)) {
            record.kind = ItemRecord::kFileStart;
            record.times = TimesOf(entry);
            record.readOnly = (archive_entry_mode(entry) & 0222) == 0;
            if (!queue.Push(record)) return;
            if (!DecodeFileData(a, queue)) return stop(Cancelled() ? UNZIP_CANCELLED : UNZIP_ARCHIVE_CORRUPT);
        } else if (IsSymlink(entry)) {
            record.kind = ItemRecord::kLink;
            const wchar_t* target = archive_entry_symlink_w(entry);
            if (target == nullptr || !m_links.count(FoldCase(record.relative))) return stop(UNZIP_UNSAFE_ENTRY);
            record.linkTarget = target;
            if (!queue.Push(record)) return;
        }
        if (queue.IsCancelled()) return;
    }
}

// Queues one file's data in pieces of m_pieceSize (fewer, larger writes),
// then its end.
bool CExtractor::DecodeFileData(archive* a, CItemQueue& queue)
{
    long long position = 0;
    ItemRecord piece = {};
    piece.kind = ItemRecord::kFileData;
    for (;;) {
        // Between blocks: a block takes a few milliseconds, so a stop is prompt.
        if (Cancelled()) return false;
        const void* data = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        int status = archive_read_data_block(a, &data, &size, &offset);
        if (status == ARCHIVE_EOF) break;
        // Warnings here are checksum errors: the data is wrong.
        if (status != ARCHIVE_OK || offset < position) return false;
        if (piece.data.capacity() == 0) piece.data = queue.TakeBuffer();
        // A gap (never seen in 7z) reads as zeros.
        piece.data.insert(piece.data.end(), static_cast<size_t>(offset - position), '\0');
        piece.data.insert(piece.data.end(), static_cast<const char*>(data), static_cast<const char*>(data) + size);
        position = offset + static_cast<long long>(size);
        if (piece.data.size() >= m_pieceSize) {
            if (!queue.Push(piece)) return true;
            piece.data = queue.TakeBuffer();
        }
    }
    if (!piece.data.empty() && !queue.Push(piece)) return true;
    ItemRecord end = {};
    end.kind = ItemRecord::kFileEnd;
    queue.Push(end);
    return true;
}

// A new file beside the item's place, under a name no file there has: the
// old file of the same name stays untouched until the new one is complete.
bool CExtractor::OpenTemporary(const std::wstring& folderRelative, CWinHandle* file)
{
    std::wstring folder = folderRelative.empty() ? m_root : m_root + folderRelative + L"\\";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring path = folder + L"~vk" + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(m_temporaryCount++) + L".tmp";
        file->Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file->IsValid()) {
            m_temporary = path;
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return FailWith(error);
    }
    return Fail(UNZIP_FOLDER_NOT_WRITABLE);
}

// Moves the complete temporary file onto the item's place, replacing a file
// of the same name (read-only ones included).
bool CExtractor::PlaceFile(const std::wstring& relative)
{
    std::wstring target = m_root + relative;
    bool existed = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!MoveFileExW(m_temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DWORD error = GetLastError();
        DWORD attributes = GetFileAttributesW(target.c_str());
        bool clearable = error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES
            && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
            && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
        if (!clearable || !SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL)) return FailWith(error);
        if (!MoveFileExW(m_temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            error = GetLastError();
            SetFileAttributesW(target.c_str(), attributes);
            return FailWith(error);
        }
    }
    m_temporary.clear();
    if (!existed) m_createdFiles.push_back(target);
    m_placedFiles.push_back(relative);
    return true;
}

// Calling thread: writes what the decoding thread queued, in order.
bool CExtractor::Write(CItemQueue& queue, CProgressMeter& meter)
{
    CWinHandle file;
    ItemRecord current = {};
    ItemRecord record;
    bool ok = true;
    while (ok && queue.Pop(&record)) {
        if (Cancelled()) {
            ok = Fail(UNZIP_CANCELLED);
            break;
        }
        switch (record.kind) {
        case ItemRecord::kFolder:
            ok = EnsureFolder(record.relative);
            if (ok && (record.times.hasWritten || record.times.hasAccessed || record.times.hasCreated))
                m_folderTimes.push_back(FolderTimes{m_root + record.relative, record.times});
            break;
        case ItemRecord::kFileStart:
            current = std::move(record);
            ok = EnsureFolder(ParentOf(current.relative)) && OpenTemporary(ParentOf(current.relative), &file);
            break;
        case ItemRecord::kFileData:
            if (!file.IsValid()) ok = Fail(UNZIP_ERROR);
            else if (!WriteAll(file.Get(), record.data.data(), record.data.size())) ok = FailWith(GetLastError());
            meter.Advance(record.data.size());
            queue.ReturnBuffer(record.data);
            break;
        case ItemRecord::kFileEnd: {
            const ItemTimes& t = current.times;
            if (file.IsValid() && (t.hasWritten || t.hasAccessed || t.hasCreated))
                SetFileTime(file.Get(), t.hasCreated ? &t.created : nullptr, t.hasAccessed ? &t.accessed : nullptr,
                            t.hasWritten ? &t.written : nullptr);
            if (!file.IsValid()) {
                ok = Fail(UNZIP_ERROR);
                break;
            }
            // Closing flushes what the system still held: a full disk may show only here.
            if (!file.Close()) {
                ok = FailWith(GetLastError());
                break;
            }
            if (current.readOnly) SetFileAttributesW(m_temporary.c_str(), FILE_ATTRIBUTE_READONLY);
            ok = PlaceFile(current.relative);
            break;
        }
        case ItemRecord::kLink:
            m_pendingLinks.push_back(Link{record.relative, record.linkTarget});
            break;
        }
    }
    if (ok && !queue.EndedWell()) {
        int reason = m_decodeResult.load();
        ok = Fail(reason != UNZIP_OK ? reason : UNZIP_ARCHIVE_CORRUPT);
    }
    // The temporary file of an item cut short is removed with the rest of the run.
    file.Close();
    return ok;
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
        if (!ResolveLinkTarget(link.path, link.target.c_str(), &inside)) return Fail(UNZIP_UNSAFE_ENTRY);
        std::wstring resolved = m_root + inside;
        DWORD flags = IsFolder(resolved) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
        bool existed = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (existed) {
            if (IsFolder(path) || !DeleteFileW(path.c_str())) return Fail(UNZIP_FOLDER_NOT_WRITABLE);
        }
        bool made = CreateSymbolicLinkW(path.c_str(), target.c_str(), flags | 0x2 /* allow unprivileged */)
            || CreateSymbolicLinkW(path.c_str(), target.c_str(), flags);
        // Some systems report success without making the link: check it is there.
        made = made && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        // Without link rights a file link becomes a copy of its target, which
        // serves the product as well; a folder link cannot be stood in for.
        if (!made && (flags != 0 || !CopyFileW(resolved.c_str(), path.c_str(), FALSE)))
            return Fail(UNZIP_FOLDER_NOT_WRITABLE);
        if (!existed) m_createdFiles.push_back(path);
        m_placedFiles.push_back(link.path);
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
        const ItemTimes& t = times.times;
        SetFileTime(folder.Get(), t.hasCreated ? &t.created : nullptr, t.hasAccessed ? &t.accessed : nullptr,
                    t.hasWritten ? &t.written : nullptr);
    }
}

} // namespace SevenZCore
