#pragma once
// One extraction run: a first pass over the archive's headers checks every
// item and adds up the sizes (so the total is known before any report and an
// unsafe archive is refused before anything is written), a second pass writes.
// In the second pass one thread decodes while the calling thread writes the
// files and makes the progress reports.
#include "ArchiveReader.h"
#include "ItemQueue.h"
#include "ProgressMeter.h"

#include <set>
#include <string>
#include <vector>

struct archive_entry;

namespace SevenZCore {

class CExtractor {
public:
    CExtractor(const std::wstring& archivePath, const std::wstring& destFolder, const UnzipProgress& progress);
    bool Run();

private:
    struct FolderTimes {
        std::wstring path;
        ItemTimes times;
    };
    struct Link {
        std::wstring path, target;
    };

    bool Scan(unsigned long long* total);
    bool PrepareRoot();
    bool Extract(CProgressMeter& meter);
    void Decode(archive* a, CItemQueue& queue);
    bool DecodeFileData(archive* a, CItemQueue& queue);
    bool Write(CItemQueue& queue, CProgressMeter& meter);
    bool EnsureFolder(const std::wstring& relative);
    bool OpenForWriting(const std::wstring& path, CWinHandle* file);
    bool CreateLinks();
    void ApplyFolderTimes();

    std::wstring m_archivePath;
    std::wstring m_destFolder;
    std::wstring m_root;  // "\\?\" form of the destination, with a trailing separator
    size_t m_pieceSize = 0;  // data handed to the writing side at a time
    const UnzipProgress& m_progress;
    std::set<std::wstring> m_links;        // FoldCase of every link's path
    std::set<std::wstring> m_knownFolders;  // relative folders known to exist
    std::vector<FolderTimes> m_folderTimes;
    std::vector<Link> m_pendingLinks;
};

} // namespace SevenZCore
