#pragma once
// Helpers shared by the skin tests.
#include <windows.h>

#include <cstring>
#include <string>

#include "ui/core/UiZip.h"

namespace SkinTest {

// A copy of some bytes that ends exactly where an inaccessible page begins, so
// that reading even one byte past the end crashes the test instead of passing.
class GuardedCopy {
public:
    explicit GuardedCopy(const std::string& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size_t page = info.dwPageSize;
        size_t span = (bytes.size() + page - 1) / page * page;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(m_base + span, page, PAGE_NOACCESS, &old);
        m_data = m_base + span - bytes.size();
        if (!bytes.empty()) memcpy(m_data, bytes.data(), bytes.size());
        m_size = bytes.size();
    }
    ~GuardedCopy() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedCopy(const GuardedCopy&) = delete;
    GuardedCopy& operator=(const GuardedCopy&) = delete;

    const BYTE* Data() const { return m_data; }
    DWORD Size() const { return static_cast<DWORD>(m_size); }
    // Makes the copy read-only (as a module resource is).
    void Protect()
    {
        DWORD old;
        VirtualProtect(m_base, static_cast<size_t>(m_data - m_base) + m_size, PAGE_READONLY, &old);
    }

private:
    BYTE* m_base;
    BYTE* m_data;
    size_t m_size;
};

// Closes an archive handle at scope exit.
struct ZipCloser {
    SkinUI::ZipArchiveHandle zip;
    explicit ZipCloser(SkinUI::ZipArchiveHandle z) : zip(z) {}
    ~ZipCloser()
    {
        if (zip) SkinUI::CloseZip(zip);
    }
    ZipCloser(const ZipCloser&) = delete;
    ZipCloser& operator=(const ZipCloser&) = delete;
};

// Every code the reader may return.
inline bool IsKnownZipResult(SkinUI::ZipResult r)
{
    switch (r) {
    case 0x0: case 0x100: case 0x200: case 0x300: case 0x400: case 0x500: case 0x600: case 0x700: case 0x800:
    case 0x1000: case 0x10000: case 0x20000: case 0x30000: case 0x40000: case 0x50000: case 0x60000:
    case 0x70000: case 0x80000: case 0x1000000: case 0x2000000: case 0x4000000: case 0x5000000:
        return true;
    }
    return false;
}

// Unpacks a whole item into a string, in pieces of the given size.
inline SkinUI::ZipResult UnzipAll(SkinUI::ZipArchiveHandle zip, int index, std::string* out, DWORD piece = 65536)
{
    out->clear();
    std::string buffer(piece, '\0');
    for (int calls = 0; calls < 100000; ++calls) {
        DWORD written = 0;
        SkinUI::ZipResult r = SkinUI::UnzipItemToMemory(zip, index, &buffer[0], piece, &written);
        out->append(buffer.data(), written);
        if (r != SkinUI::ZIP_MORE) return r;
    }
    return SkinUI::ZIP_MORE;
}

inline FILETIME UnixToFileTime(uint32_t t)
{
    ULONGLONG ticks = static_cast<ULONGLONG>(t) * 10000000ULL + 116444736000000000ULL;
    FILETIME ft = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return ft;
}

inline ULONGLONG Ticks(const FILETIME& ft)
{
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

} // namespace SkinTest
