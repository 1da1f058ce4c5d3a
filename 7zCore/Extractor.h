#pragma once
// One extraction run: a first pass over the archive's headers checks every
// item and adds up the sizes (so the total is known before any report and an
// unsafe archive is refused before anything is written), a second pass writes.
// In the second pass one thread decodes while the calling thread writes the
// files and makes the progress reports. Each file is written under a
// temporary name beside its place and moved there once complete; a run that
// does not succeed removes what it created and leaves what it found.
#include "ArchiveReader.h"
#include "ItemQueue.h"
#include "ProgressMeter.h"

#include <atomic>
#include <set>
#include <string>
#include <vector>

struct archive_entry;

namespace SevenZCore {

// The reason a failed write, folder creation or rename gives: a full disk, or
// a destination that refuses writing.
int ResultForWriteError(DWORD error);

class CExtractor {
public:
    CExtractor(const std::wstring& archivePath, const std::wstring& destFolder, const UnzipProgress& progress,
               const std::atomic<bool>* cancel = nullptr, const UnzipItemCallback& onItem = UnzipItemCallback());
    // An UnzipResult. A run that fails is undone before this returns.
    int Run();

private:
    struct FolderTimes {
        std::wstring path;
        ItemTimes times;
    };
    struct Link {
        std::wstring path, target;
    };

    bool RunSteps();
    // Keep the first reason: later failures are usually its consequences.
    bool Fail(int result);
    bool FailWith(DWORD error) { return Fail(ResultForWriteError(error)); }
    bool Cancelled() const { return m_cancel != nullptr && m_cancel->load(); }
    bool OpenTemporary(const std::wstring& folderRelative, CWinHandle* file);
    bool PlaceFile(const std::wstring& relative);
    void Undo();
    bool Scan(unsigned long long* total);
    bool PrepareRoot();
    bool Extract(CProgressMeter& meter);
    void Decode(archive* a, CItemQueue& queue);
    bool DecodeFileData(archive* a, CItemQueue& queue);
    bool Write(CItemQueue& queue, CProgressMeter& meter);
    bool EnsureFolder(const std::wstring& relative);
    bool CreateLinks();
    void ApplyFolderTimes();

    std::wstring m_archivePath;
    std::wstring m_destFolder;
    std::wstring m_root;  // "\\?\" form of the destination, with a trailing separator
    size_t m_pieceSize = 0;  // data handed to the writing side at a time
    const UnzipProgress& m_progress;
    const std::atomic<bool>* m_cancel;
    UnzipItemCallback m_onItem;
    int m_result = UNZIP_OK;
    std::atomic<int> m_decodeResult{UNZIP_OK};  // why the decoding thread stopped
    std::wstring m_temporary;                   // the file being written, under its temporary name
    unsigned m_temporaryCount = 0;
    std::vector<std::wstring> m_createdFolders;  // full paths, in the order they were made
    std::vector<std::wstring> m_createdFiles;    // full paths of files and links that did not exist before
    std::vector<std::wstring> m_folderOrder;     // relative folders made sure of, parents first
    std::vector<std::wstring> m_placedFiles;     // relative files and links put in place
    std::set<std::wstring> m_links;        // FoldCase of every link's path
    std::set<std::wstring> m_knownFolders;  // relative folders known to exist
    std::vector<FolderTimes> m_folderTimes;
    std::vector<Link> m_pendingLinks;
};

} // namespace SevenZCore
