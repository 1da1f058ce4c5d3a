#include "ArchiveReader.h"

#include <cstdio>

namespace SevenZCore {

namespace {
// Large reads keep the number of system calls (costly under emulation) low.
const DWORD kReadSize = 1 << 20;
}

CArchiveReader::CArchiveReader() : m_archive(nullptr) {}

CArchiveReader::~CArchiveReader()
{
    if (m_archive != nullptr) archive_read_free(m_archive);
}

bool CArchiveReader::Open(const std::wstring& path)
{
    m_file.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!m_file.IsValid()) return false;
    m_buffer.resize(kReadSize);
    m_archive = archive_read_new();
    if (m_archive == nullptr) return false;
    if (archive_read_support_format_7zip(m_archive) != ARCHIVE_OK) return false;
    archive_read_set_read_callback(m_archive, &CArchiveReader::Read);
    archive_read_set_seek_callback(m_archive, &CArchiveReader::Seek);
    archive_read_set_skip_callback(m_archive, &CArchiveReader::Skip);
    archive_read_set_callback_data(m_archive, this);
    return archive_read_open1(m_archive) == ARCHIVE_OK;
}

la_ssize_t CArchiveReader::Read(archive* a, void* self, const void** data)
{
    CArchiveReader* reader = static_cast<CArchiveReader*>(self);
    DWORD got = 0;
    if (!ReadFile(reader->m_file.Get(), reader->m_buffer.data(), kReadSize, &got, nullptr)) {
        archive_set_error(a, EIO, "read error %lu", GetLastError());
        return -1;
    }
    *data = reader->m_buffer.data();
    return static_cast<la_ssize_t>(got);
}

la_int64_t CArchiveReader::Seek(archive* a, void* self, la_int64_t offset, int whence)
{
    CArchiveReader* reader = static_cast<CArchiveReader*>(self);
    DWORD method = whence == SEEK_SET ? FILE_BEGIN : whence == SEEK_CUR ? FILE_CURRENT : FILE_END;
    LARGE_INTEGER move, position;
    move.QuadPart = offset;
    if (!SetFilePointerEx(reader->m_file.Get(), move, &position, method)) {
        archive_set_error(a, EIO, "seek error %lu", GetLastError());
        return ARCHIVE_FATAL;
    }
    return position.QuadPart;
}

la_int64_t CArchiveReader::Skip(archive* a, void* self, la_int64_t request)
{
    CArchiveReader* reader = static_cast<CArchiveReader*>(self);
    LARGE_INTEGER zero, here, size, move;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(reader->m_file.Get(), zero, &here, FILE_CURRENT) || !GetFileSizeEx(reader->m_file.Get(), &size))
        return 0;
    // Never past the end: libarchive takes a short skip as a truncated file.
    long long step = request < size.QuadPart - here.QuadPart ? request : size.QuadPart - here.QuadPart;
    if (step <= 0) return 0;
    move.QuadPart = step;
    return SetFilePointerEx(reader->m_file.Get(), move, nullptr, FILE_CURRENT) ? step : 0;
}

} // namespace SevenZCore
