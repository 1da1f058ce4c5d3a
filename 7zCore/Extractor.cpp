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

} // namespace

CExtractor::CExtractor(const std::wstring& archivePath, const std::wstring& destFolder, const UnzipProgress& progress)
    : m_archivePath(archivePath), m_destFolder(destFolder), m_progress(progress)
{
}

bool CExtractor::Run()
{
    unsigned long long total = 0;
    if (!Scan(&total) || !PrepareRoot()) return false;
    // Large pieces for large payloads, yet enough of them for half-percent steps.
    m_pieceSize = static_cast<size_t>(total / 400 < (1 << 20) ? total / 400 : (1 << 20));
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
            unsigned long long size = static_cast<unsigned long long>(archive_entry_size(entry));
            if (archive_entry_size(entry) < 0 || *total + size < *total) return false;
            *total += size;
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
    if (!reader.Open(m_archivePath)) return false;
    CItemQueue queue(kBytesInFlight);
    CDecodingThread decoding(queue);
    archive* a = reader.Get();
    decoding.Start([this, a, &queue] {
        try {
            Decode(a, queue);
        } catch (...) {
            queue.Close(false);
        }
    });
    return Write(queue, meter);
}

// Decoding thread: reads the archive in order and queues what it finds.
void CExtractor::Decode(archive* a, CItemQueue& queue)
{
    archive_entry* entry = nullptr;
    for (;;) {
        int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) return queue.Close(true);
        if (!HeaderUsable(status)) return queue.Close(false);
        ItemRecord record = {};
        // Checked again: the second pass must not trust the first.
        if (!MakeSafeRelativePath(PathOf(entry), &record.relative)) return queue.Close(false);
        if (IsDirectory(entry)) {
            record.kind = ItemRecord::kFolder;
            record.times = TimesOf(entry);
            if (!queue.Push(record)) return;
        } else if (IsRegular(entry)) {
            record.kind = ItemRecord::kFileStart;
            record.times = TimesOf(entry);
            record.readOnly = (archive_entry_mode(entry) & 0222) == 0;
            if (!queue.Push(record)) return;
            if (!DecodeFileData(a, queue)) return queue.Close(false);
        } else if (IsSymlink(entry)) {
            record.kind = ItemRecord::kLink;
            const wchar_t* target = archive_entry_symlink_w(entry);
            if (target == nullptr || !m_links.count(FoldCase(record.relative))) return queue.Close(false);
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

bool CExtractor::OpenForWriting(const std::wstring& path, CWinHandle* file)
{
    file->Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file->IsValid() && GetLastError() == ERROR_ACCESS_DENIED) {
        // A read-only, hidden or system file refuses CREATE_ALWAYS until its attributes are cleared.
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
            && SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL))
            file->Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return file->IsValid();
}

// Calling thread: writes what the decoding thread queued, in order.
bool CExtractor::Write(CItemQueue& queue, CProgressMeter& meter)
{
    CWinHandle file;
    std::wstring path;
    ItemRecord current = {};
    ItemRecord record;
    bool ok = true;
    while (ok && queue.Pop(&record)) {
        switch (record.kind) {
        case ItemRecord::kFolder:
            ok = EnsureFolder(record.relative);
            if (ok && (record.times.hasWritten || record.times.hasAccessed || record.times.hasCreated))
                m_folderTimes.push_back(FolderTimes{m_root + record.relative, record.times});
            break;
        case ItemRecord::kFileStart: {
            current = std::move(record);
            std::wstring target = m_root + current.relative;
            ok = EnsureFolder(ParentOf(current.relative)) && OpenForWriting(target, &file);
            // Only a file this run opened (and so emptied) is removed on failure.
            if (ok) path = target;
            break;
        }
        case ItemRecord::kFileData:
            ok = file.IsValid() && WriteAll(file.Get(), record.data.data(), record.data.size());
            meter.Advance(record.data.size());
            queue.ReturnBuffer(record.data);
            break;
        case ItemRecord::kFileEnd: {
            const ItemTimes& t = current.times;
            if (file.IsValid() && (t.hasWritten || t.hasAccessed || t.hasCreated))
                SetFileTime(file.Get(), t.hasCreated ? &t.created : nullptr, t.hasAccessed ? &t.accessed : nullptr,
                            t.hasWritten ? &t.written : nullptr);
            ok = file.IsValid() && file.Close();
            if (ok && current.readOnly) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
            path.clear();
            break;
        }
        case ItemRecord::kLink:
            m_pendingLinks.push_back(Link{record.relative, record.linkTarget});
            break;
        }
    }
    ok = ok && queue.EndedWell();
    if (!ok && !path.empty()) {
        // A half-written file is worse than none.
        file.Close();
        DeleteFileW(path.c_str());
    }
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
        const ItemTimes& t = times.times;
        SetFileTime(folder.Get(), t.hasCreated ? &t.created : nullptr, t.hasAccessed ? &t.accessed : nullptr,
                    t.hasWritten ? &t.written : nullptr);
    }
}

} // namespace SevenZCore
