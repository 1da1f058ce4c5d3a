#pragma once
// A libarchive reader for the 7z format fed from a Win32 file handle: any path
// the wide file API can open works, and the archive streams through one fixed
// buffer, so memory does not grow with the archive or its solid blocks.
#include "WinHandle.h"

#include <archive.h>

#include <string>
#include <vector>

namespace SevenZCore {

class CArchiveReader {
public:
    CArchiveReader();
    ~CArchiveReader();
    CArchiveReader(const CArchiveReader&) = delete;
    CArchiveReader& operator=(const CArchiveReader&) = delete;

    bool Open(const std::wstring& path);
    // After a failed Open: true when the file itself could not be opened
    // (missing, denied), false when it opened but is no readable archive.
    bool FileUnreadable() const { return !m_file.IsValid(); }
    // Null until Open succeeds.
    archive* Get() const { return m_archive; }

private:
    static la_ssize_t Read(archive*, void* self, const void** data);
    static la_int64_t Seek(archive*, void* self, la_int64_t offset, int whence);
    static la_int64_t Skip(archive*, void* self, la_int64_t request);

    CWinHandle m_file;
    archive* m_archive;
    std::vector<char> m_buffer;
};

} // namespace SevenZCore
