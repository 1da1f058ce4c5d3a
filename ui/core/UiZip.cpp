#include "ui/core/UiZip.h"

#include "ui/core/UiString.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace SkinUI {

namespace {

ZipResult g_lastResult = ZIP_OK;

ZipResult Done(ZipResult result)
{
    g_lastResult = result;
    return result;
}

const DWORD kLocalSignature = 0x04034b50;
const DWORD kCentralSignature = 0x02014b50;
const DWORD kEndSignature = 0x06054b50;
const DWORD kLocalHeaderSize = 30;
const DWORD kCentralHeaderSize = 46;
const DWORD kEndRecordSize = 22;
const DWORD kChunk = 16 * 1024;
const WORD kFlagEncrypted = 0x0001;
const WORD kFlagDescriptor = 0x0008;

inline WORD Get16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
inline DWORD Get32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

// The bytes of an archive, wherever they live. Reads are all-or-nothing and never
// leave [0, size).
class ZipSource {
public:
    ZipSource() : m_memory(nullptr), m_file(INVALID_HANDLE_VALUE), m_base(0), m_size(0) {}
    ~ZipSource()
    {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }

    void SetMemory(const void* data, DWORD size)
    {
        m_memory = static_cast<const BYTE*>(data);
        m_size = size;
    }

    // Takes ownership of the handle; the archive starts at its current position.
    bool SetFile(HANDLE file)
    {
        m_file = file;
        LARGE_INTEGER zero, pos, size;
        zero.QuadPart = 0;
        if (!SetFilePointerEx(file, zero, &pos, FILE_CURRENT) || !GetFileSizeEx(file, &size)) return false;
        m_base = static_cast<ULONGLONG>(pos.QuadPart);
        m_size = static_cast<ULONGLONG>(size.QuadPart) > m_base ? static_cast<ULONGLONG>(size.QuadPart) - m_base : 0;
        return true;
    }

    ULONGLONG Size() const { return m_size; }

    ZipResult Read(ULONGLONG offset, void* buffer, DWORD count) const
    {
        if (offset > m_size || count > m_size - offset) return ZIP_CORRUPT;
        if (count == 0) return ZIP_OK;
        if (m_memory) {
            memcpy(buffer, m_memory + offset, count);
            return ZIP_OK;
        }
        LARGE_INTEGER pos;
        pos.QuadPart = static_cast<LONGLONG>(m_base + offset);
        if (!SetFilePointerEx(m_file, pos, nullptr, FILE_BEGIN)) return ZIP_READ;
        BYTE* out = static_cast<BYTE*>(buffer);
        while (count > 0) {
            DWORD got = 0;
            if (!ReadFile(m_file, out, count, &got, nullptr) || got == 0) return ZIP_READ;
            out += got;
            count -= got;
        }
        return ZIP_OK;
    }

private:
    const BYTE* m_memory;
    HANDLE m_file;
    ULONGLONG m_base;
    ULONGLONG m_size;
};

// One record of the central directory, already checked to lie inside it.
struct CentralEntry {
    const BYTE* name;
    WORD nameLength;
    WORD versionMadeBy;
    WORD flags;
    WORD method;
    WORD dosTime;
    WORD dosDate;
    DWORD crc;
    DWORD compressedSize;
    DWORD uncompressedSize;
    DWORD externalAttributes;
    DWORD localOffset;
};

// The traditional zip password scheme (PKWARE's "ZipCrypto").
class ZipCipher {
public:
    void Init(const char* password)
    {
        m_table = get_crc_table();
        m_keys[0] = 0x12345678;
        m_keys[1] = 0x23456789;
        m_keys[2] = 0x34567890;
        if (password)
            for (const char* p = password; *p; ++p) Update(static_cast<BYTE>(*p));
    }

    void Decrypt(BYTE* data, DWORD count)
    {
        for (DWORD i = 0; i < count; ++i) {
            DWORD temp = (m_keys[2] & 0xffff) | 2;
            BYTE plain = static_cast<BYTE>(data[i] ^ static_cast<BYTE>((temp * (temp ^ 1)) >> 8));
            Update(plain);
            data[i] = plain;
        }
    }

private:
    DWORD Crc(DWORD crc, BYTE b) const { return static_cast<DWORD>(m_table[(crc ^ b) & 0xff]) ^ (crc >> 8); }
    void Update(BYTE b)
    {
        m_keys[0] = Crc(m_keys[0], b);
        m_keys[1] = (m_keys[1] + (m_keys[0] & 0xff)) * 134775813 + 1;
        m_keys[2] = Crc(m_keys[2], static_cast<BYTE>(m_keys[1] >> 24));
    }

    const z_crc_t* m_table;
    DWORD m_keys[3];
};

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAbsolutePath(const wchar_t* path)
{
    return IsSeparator(path[0]) || (path[0] != L'\0' && path[1] == L':');
}

FILETIME DosTimeToUtc(WORD date, WORD time)
{
    FILETIME utc = {0, 0};
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(1980 + ((date >> 9) & 0x7f));
    st.wMonth = static_cast<WORD>((date >> 5) & 0x0f);
    st.wDay = static_cast<WORD>(date & 0x1f);
    st.wHour = static_cast<WORD>((time >> 11) & 0x1f);
    st.wMinute = static_cast<WORD>((time >> 5) & 0x3f);
    st.wSecond = static_cast<WORD>(2 * (time & 0x1f));
    FILETIME local;
    if (SystemTimeToFileTime(&st, &local)) LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

FILETIME UnixTimeToUtc(DWORD seconds)
{
    ULONGLONG ticks = static_cast<ULONGLONG>(seconds) * 10000000ULL + 116444736000000000ULL;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

// Creates every missing folder on the way to (and, with includeLast, including) the
// last component of path.
void CreateFolderChain(const wchar_t* path, bool includeLast)
{
    CUiString prefix;
    size_t length = wcslen(path);
    for (size_t i = 1; i <= length; ++i) {
        bool end = i == length;
        if (!end && !IsSeparator(path[i])) continue;
        if (end && !includeLast) break;
        if (path[i - 1] == L':' || IsSeparator(path[i - 1])) continue; // drive root or doubled separator
        prefix.Assign(path, static_cast<int>(i));
        CreateDirectoryW(prefix, nullptr);
    }
}

} // namespace

// ---------------------------------------------------------------------------------
// The archive state behind a handle.
class CZipReader {
public:
    CZipReader();
    ~CZipReader();

    ZipResult Open(const char* password);
    ZipSource& Source() { return m_source; }

    int Count() const { return m_count; }
    ZipResult GetItem(int index, ZipEntryInfo* entry);
    ZipResult Find(const wchar_t* name, bool ignoreCase, int* index);
    ZipResult UnzipToMemory(int index, BYTE* buffer, DWORD size, DWORD* written);
    ZipResult UnzipToFile(int index, const wchar_t* path, HANDLE file);
    void SetBaseFolder(const wchar_t* folder);

private:
    enum ReadState { READ_MORE, READ_END, READ_FAILED };

    ZipResult OpenItem(int index);
    void CloseItem();
    ReadState ReadItem(BYTE* buffer, DWORD size, DWORD* produced, ZipResult* error);
    ZipResult FinishItem();
    ZipResult Corrupt() const { return m_itemEncrypted ? ZIP_PASSWORD : ZIP_CORRUPT; }
    ZipResult ReadLocalHeader(const CentralEntry& e, ULONGLONG* extraPos, WORD* extraLength,
                              ULONGLONG* dataPos);

    ZipSource m_source;
    char* m_password;
    CentralEntry* m_entries;
    BYTE* m_directory;
    int m_count;
    ULONGLONG m_bias; // bytes in front of the archive proper (self-extracting stubs)
    wchar_t m_baseFolder[MAX_PATH];
    BYTE* m_outBuffer;

    ZipEntryInfo m_cached;
    int m_cachedIndex;

    // The open item.
    int m_item;
    bool m_itemEncrypted;
    bool m_itemStored;
    ZipCipher m_cipher;
    ULONGLONG m_readPos;
    DWORD m_compressedLeft;
    DWORD m_total;
    DWORD m_declared;
    DWORD m_crc;
    DWORD m_expectedCrc;
    z_stream m_stream;
    bool m_streamReady;
    BYTE* m_inBuffer;
};

CZipReader::CZipReader()
    : m_password(nullptr), m_entries(nullptr), m_directory(nullptr), m_count(0), m_bias(0),
      m_outBuffer(nullptr), m_cachedIndex(-1), m_item(-1), m_itemEncrypted(false), m_itemStored(false),
      m_readPos(0), m_compressedLeft(0), m_total(0), m_declared(0), m_crc(0), m_expectedCrc(0),
      m_streamReady(false), m_inBuffer(nullptr)
{
    memset(&m_cached, 0, sizeof(m_cached));
    memset(&m_stream, 0, sizeof(m_stream));
    DWORD n = GetCurrentDirectoryW(MAX_PATH - 1, m_baseFolder);
    if (n == 0 || n >= MAX_PATH - 1) m_baseFolder[0] = L'\0';
    SetBaseFolder(m_baseFolder);
}

CZipReader::~CZipReader()
{
    CloseItem();
    free(m_password);
    free(m_entries);
    free(m_directory);
    free(m_outBuffer);
    free(m_inBuffer);
}

void CZipReader::SetBaseFolder(const wchar_t* folder)
{
    wchar_t copy[MAX_PATH];
    wcsncpy(copy, folder, MAX_PATH - 2);
    copy[MAX_PATH - 2] = L'\0';
    size_t n = wcslen(copy);
    if (n > 0 && !IsSeparator(copy[n - 1])) {
        copy[n] = L'\\';
        copy[n + 1] = L'\0';
    }
    wcscpy(m_baseFolder, copy);
}

ZipResult CZipReader::Open(const char* password)
{
    if (password && *password) {
        size_t n = strlen(password) + 1;
        m_password = static_cast<char*>(malloc(n));
        if (m_password == nullptr) return ZIP_NO_MEMORY;
        memcpy(m_password, password, n);
    }

    // The end record sits in the last 22 + 65535 bytes (its comment may be up to 64 KB).
    ULONGLONG size = m_source.Size();
    if (size < kEndRecordSize) return ZIP_CORRUPT;
    DWORD tailSize = static_cast<DWORD>(size < kEndRecordSize + 0xffff ? size : kEndRecordSize + 0xffff);
    ULONGLONG tailStart = size - tailSize;
    BYTE* tail = static_cast<BYTE*>(malloc(tailSize));
    if (tail == nullptr) return ZIP_NO_MEMORY;
    ZipResult r = m_source.Read(tailStart, tail, tailSize);
    if (r != ZIP_OK) {
        free(tail);
        return r;
    }
    // A comment may itself contain the signature: prefer the record whose comment ends
    // exactly at the end of the archive, else the last one that is self-consistent.
    bool found = false;
    DWORD entryCount = 0, dirSize = 0, dirOffset = 0;
    ULONGLONG endPos = 0;
    for (int pass = 0; pass < 2 && !found; ++pass) {
        for (DWORD i = tailSize - kEndRecordSize + 1; i-- > 0;) {
            const BYTE* p = tail + i;
            if (Get32(p) != kEndSignature) continue;
            ULONGLONG at = tailStart + i;
            if (pass == 0 && at + kEndRecordSize + Get16(p + 20) != size) continue;
            DWORD count = Get16(p + 10), dsize = Get32(p + 12), doffset = Get32(p + 16);
            // The directory must end where the end record starts (after any prefix stub).
            if (static_cast<ULONGLONG>(doffset) + dsize > at) continue;
            entryCount = count;
            dirSize = dsize;
            dirOffset = doffset;
            endPos = at;
            found = true;
            break;
        }
    }
    free(tail);
    if (!found) return ZIP_CORRUPT;
    m_bias = endPos - dirSize - dirOffset;

    // Each central record takes at least 46 bytes: a count the directory cannot hold is a lie.
    if (static_cast<ULONGLONG>(entryCount) * kCentralHeaderSize > dirSize) return ZIP_CORRUPT;
    if (dirSize > 0) {
        m_directory = static_cast<BYTE*>(malloc(dirSize));
        if (m_directory == nullptr) return ZIP_NO_MEMORY;
        r = m_source.Read(m_bias + dirOffset, m_directory, dirSize);
        if (r != ZIP_OK) return r;
    }
    if (entryCount > 0) {
        m_entries = static_cast<CentralEntry*>(calloc(entryCount, sizeof(CentralEntry)));
        if (m_entries == nullptr) return ZIP_NO_MEMORY;
    }
    DWORD pos = 0;
    for (DWORD i = 0; i < entryCount; ++i) {
        if (dirSize - pos < kCentralHeaderSize) return ZIP_CORRUPT;
        const BYTE* p = m_directory + pos;
        if (Get32(p) != kCentralSignature) return ZIP_CORRUPT;
        DWORD recordSize = kCentralHeaderSize + Get16(p + 28) + Get16(p + 30) + Get16(p + 32);
        if (dirSize - pos < recordSize) return ZIP_CORRUPT;
        CentralEntry& e = m_entries[i];
        e.versionMadeBy = Get16(p + 4);
        e.flags = Get16(p + 8);
        e.method = Get16(p + 10);
        e.dosTime = Get16(p + 12);
        e.dosDate = Get16(p + 14);
        e.crc = Get32(p + 16);
        e.compressedSize = Get32(p + 20);
        e.uncompressedSize = Get32(p + 24);
        e.nameLength = Get16(p + 28);
        e.externalAttributes = Get32(p + 38);
        e.localOffset = Get32(p + 42);
        e.name = p + kCentralHeaderSize;
        pos += recordSize;
    }
    m_count = static_cast<int>(entryCount);
    return ZIP_OK;
}

ZipResult CZipReader::ReadLocalHeader(const CentralEntry& e, ULONGLONG* extraPos, WORD* extraLength,
                                      ULONGLONG* dataPos)
{
    BYTE header[kLocalHeaderSize];
    ULONGLONG at = m_bias + e.localOffset;
    ZipResult r = m_source.Read(at, header, kLocalHeaderSize);
    if (r != ZIP_OK) return r;
    if (Get32(header) != kLocalSignature) return ZIP_CORRUPT;
    WORD nameLength = Get16(header + 26);
    *extraLength = Get16(header + 28);
    *extraPos = at + kLocalHeaderSize + nameLength;
    *dataPos = *extraPos + *extraLength;
    ULONGLONG size = m_source.Size();
    if (*dataPos > size || e.compressedSize > size - *dataPos) return ZIP_CORRUPT;
    return ZIP_OK;
}

ZipResult CZipReader::GetItem(int index, ZipEntryInfo* entry)
{
    if (index == -1) {
        memset(entry, 0, sizeof(*entry));
        entry->index = m_count;
        return ZIP_OK;
    }
    if (index < -1 || index >= m_count) return ZIP_ARGS;
    if (index == m_cachedIndex) {
        *entry = m_cached;
        return ZIP_OK;
    }
    const CentralEntry& e = m_entries[index];
    ULONGLONG extraPos, dataPos;
    WORD extraLength;
    ZipResult r = ReadLocalHeader(e, &extraPos, &extraLength, &dataPos);
    if (r != ZIP_OK) return r;
    BYTE* extra = static_cast<BYTE*>(malloc(extraLength + 1u));
    if (extra == nullptr) return ZIP_NO_MEMORY;
    r = m_source.Read(extraPos, extra, extraLength);
    if (r != ZIP_OK) {
        free(extra);
        return r;
    }

    ZipEntryInfo info;
    memset(&info, 0, sizeof(info));
    info.index = index;

    // UTF-8 never yields more UTF-16 units than it has bytes.
    wchar_t* wide = static_cast<wchar_t*>(malloc((e.nameLength + 1) * sizeof(wchar_t)));
    if (wide == nullptr) {
        free(extra);
        return ZIP_NO_MEMORY;
    }
    int n = e.nameLength ? MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(e.name), e.nameLength,
                                               wide, e.nameLength)
                         : 0;
    wide[n > 0 ? n : 0] = L'\0';
    SanitiseZipName(wide);
    wcsncpy(info.name, wide, MAX_PATH - 1);
    info.name[MAX_PATH - 1] = L'\0';
    free(wide);

    bool readOnly, hidden, system, directory, archive;
    BYTE host = static_cast<BYTE>(e.versionMadeBy >> 8);
    if (host == 0 || host == 7 || host == 11 || host == 14) { // FAT, Macintosh, NTFS, VFAT
        readOnly = (e.externalAttributes & 0x01) != 0;
        hidden = (e.externalAttributes & 0x02) != 0;
        system = (e.externalAttributes & 0x04) != 0;
        directory = (e.externalAttributes & 0x10) != 0;
        archive = (e.externalAttributes & 0x20) != 0;
    } else { // Unix mode bits in the high word
        directory = (e.externalAttributes & 0x40000000) != 0;
        readOnly = (e.externalAttributes & 0x00800000) == 0;
        archive = true;
        hidden = system = false;
    }
    info.attributes = (readOnly ? FILE_ATTRIBUTE_READONLY : 0) | (hidden ? FILE_ATTRIBUTE_HIDDEN : 0) |
                      (system ? FILE_ATTRIBUTE_SYSTEM : 0) | (directory ? FILE_ATTRIBUTE_DIRECTORY : 0) |
                      (archive ? FILE_ATTRIBUTE_ARCHIVE : 0);

    info.modificationTime = info.accessTime = info.creationTime = DosTimeToUtc(e.dosDate, e.dosTime);
    for (DWORD pos = 0; pos + 4 <= extraLength;) {
        WORD tag = Get16(extra + pos);
        WORD length = Get16(extra + pos + 2);
        pos += 4;
        if (length > extraLength - pos) break;
        if (tag == 0x5455 && length >= 1) { // "UT": extended timestamp
            BYTE flags = extra[pos];
            DWORD at = 1;
            FILETIME* targets[3] = {&info.modificationTime, &info.accessTime, &info.creationTime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1 << bit))) continue;
                if (at + 4 > length) break;
                *targets[bit] = UnixTimeToUtc(Get32(extra + pos + at));
                at += 4;
            }
        }
        pos += length;
    }
    free(extra);
    info.compressedSize = e.compressedSize;
    info.uncompressedSize = e.uncompressedSize;

    m_cached = info;
    m_cachedIndex = index;
    *entry = info;
    return ZIP_OK;
}

ZipResult CZipReader::Find(const wchar_t* name, bool ignoreCase, int* index)
{
    *index = -1;
    char utf8[256];
    int length = WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof(utf8), nullptr, nullptr);
    if (length <= 0) return ZIP_NOT_FOUND; // 256 bytes or more: no item name can match
    --length;
    for (int i = 0; i < m_count; ++i) {
        const CentralEntry& e = m_entries[i];
        if (e.nameLength != length) continue;
        int k = 0;
        for (; k < length; ++k) {
            char a = utf8[k], b = static_cast<char>(e.name[k]);
            if (ignoreCase) {
                if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
                if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
            }
            if (a != b) break;
        }
        if (k == length) {
            *index = i;
            return ZIP_OK;
        }
    }
    return ZIP_NOT_FOUND;
}

void CZipReader::CloseItem()
{
    if (m_streamReady) inflateEnd(&m_stream);
    m_streamReady = false;
    m_item = -1;
}

ZipResult CZipReader::OpenItem(int index)
{
    CloseItem();
    const CentralEntry& e = m_entries[index];
    ULONGLONG extraPos, dataPos;
    WORD extraLength;
    ZipResult r = ReadLocalHeader(e, &extraPos, &extraLength, &dataPos);
    if (r != ZIP_OK) return r;

    m_itemEncrypted = (e.flags & kFlagEncrypted) != 0;
    m_itemStored = e.method == 0;
    m_readPos = dataPos;
    m_compressedLeft = e.compressedSize;
    m_total = 0;
    m_declared = e.uncompressedSize;
    m_crc = crc32(0, Z_NULL, 0);
    m_expectedCrc = e.crc;

    if (m_itemEncrypted) {
        if (m_password == nullptr) return ZIP_PASSWORD;
        BYTE header[12];
        if (m_compressedLeft < sizeof(header)) return ZIP_CORRUPT;
        r = m_source.Read(m_readPos, header, sizeof(header));
        if (r != ZIP_OK) return r;
        m_readPos += sizeof(header);
        m_compressedLeft -= sizeof(header);
        m_cipher.Init(m_password);
        m_cipher.Decrypt(header, sizeof(header));
        // The last header byte repeats the high byte of the CRC (or, for items written
        // with a trailing descriptor, of the DOS time): a one-in-256 password check.
        BYTE check = static_cast<BYTE>((e.flags & kFlagDescriptor) ? (e.dosTime >> 8) : (e.crc >> 24));
        if (header[11] != check) return ZIP_PASSWORD;
    }
    if (m_itemStored) {
        if (m_compressedLeft != m_declared) return ZIP_CORRUPT;
    } else {
        if (m_inBuffer == nullptr) {
            m_inBuffer = static_cast<BYTE*>(malloc(kChunk));
            if (m_inBuffer == nullptr) return ZIP_NO_MEMORY;
        }
        memset(&m_stream, 0, sizeof(m_stream));
        int z = inflateInit2(&m_stream, -MAX_WBITS);
        if (z == Z_MEM_ERROR) return ZIP_NO_MEMORY;
        if (z != Z_OK) return ZIP_FLATE;
        m_streamReady = true;
    }
    m_item = index;
    return ZIP_OK;
}

// Produces up to size bytes. READ_END once the declared size has been produced and
// the CRC matches; READ_FAILED with *error set otherwise.
CZipReader::ReadState CZipReader::ReadItem(BYTE* buffer, DWORD size, DWORD* produced, ZipResult* error)
{
    *produced = 0;
    DWORD want = m_declared - m_total;
    if (size < want) want = size;

    if (m_itemStored) {
        if (want > 0) {
            ZipResult r = m_source.Read(m_readPos, buffer, want);
            if (r != ZIP_OK) {
                *error = r;
                return READ_FAILED;
            }
            if (m_itemEncrypted) m_cipher.Decrypt(buffer, want);
            m_readPos += want;
            m_compressedLeft -= want;
        }
        *produced = want;
    } else {
        while (*produced < want) {
            if (m_stream.avail_in == 0 && m_compressedLeft > 0) {
                DWORD n = m_compressedLeft < kChunk ? m_compressedLeft : kChunk;
                ZipResult r = m_source.Read(m_readPos, m_inBuffer, n);
                if (r != ZIP_OK) {
                    *error = r;
                    return READ_FAILED;
                }
                if (m_itemEncrypted) m_cipher.Decrypt(m_inBuffer, n);
                m_readPos += n;
                m_compressedLeft -= n;
                m_stream.next_in = m_inBuffer;
                m_stream.avail_in = n;
            }
            m_stream.next_out = buffer + *produced;
            m_stream.avail_out = want - *produced;
            uInt inBefore = m_stream.avail_in;
            int z = inflate(&m_stream, Z_NO_FLUSH);
            DWORD out = (want - *produced) - m_stream.avail_out;
            *produced += out;
            if (z == Z_STREAM_END) {
                if (*produced < want) { // the stream ended short of the declared size
                    *error = Corrupt();
                    return READ_FAILED;
                }
                break;
            }
            if (z == Z_MEM_ERROR) {
                *error = ZIP_NO_MEMORY;
                return READ_FAILED;
            }
            if (z == Z_DATA_ERROR || z == Z_NEED_DICT) {
                *error = Corrupt();
                return READ_FAILED;
            }
            if (z != Z_OK && z != Z_BUF_ERROR) {
                *error = ZIP_FLATE;
                return READ_FAILED;
            }
            if (out == 0 && m_stream.avail_in == inBefore && (m_stream.avail_in > 0 || m_compressedLeft == 0)) {
                *error = Corrupt(); // no progress possible: the compressed data ran out
                return READ_FAILED;
            }
        }
    }
    m_crc = crc32(m_crc, buffer, *produced);
    m_total += *produced;
    if (m_total < m_declared) return READ_MORE;
    if (m_crc != m_expectedCrc) {
        *error = Corrupt();
        return READ_FAILED;
    }
    return READ_END;
}

ZipResult CZipReader::UnzipToMemory(int index, BYTE* buffer, DWORD size, DWORD* written)
{
    if (index < 0 || index >= m_count) return ZIP_ARGS;
    if (index != m_item) {
        ZipResult r = OpenItem(index);
        if (r != ZIP_OK) {
            CloseItem();
            return r;
        }
    }
    DWORD produced = 0;
    ZipResult error = ZIP_OK;
    ReadState state = ReadItem(buffer, size, &produced, &error);
    if (written) *written = produced;
    if (state == READ_MORE) return ZIP_MORE;
    // Closing at the end as well means the next request for this item starts afresh
    // instead of finding it exhausted.
    CloseItem();
    return state == READ_END ? ZIP_OK : error;
}

ZipResult CZipReader::UnzipToFile(int index, const wchar_t* path, HANDLE file)
{
    if (index < 0 || index >= m_count) return ZIP_ARGS;
    ZipEntryInfo entry;
    ZipResult r = GetItem(index, &entry);
    if (r != ZIP_OK) return r;
    const CentralEntry& e = m_entries[index];
    bool directory = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
                     (e.nameLength > 0 && (e.name[e.nameLength - 1] == '/' || e.name[e.nameLength - 1] == '\\'));

    CUiString target;
    if (file == nullptr) {
        if (IsAbsolutePath(path)) {
            target = path;
        } else {
            // Relative paths stay under the base folder, whatever they contain.
            CUiString relative(path);
            SanitiseZipName(relative.GetBuffer());
            target = m_baseFolder;
            target += relative.GetData();
            wchar_t full[MAX_PATH], base[MAX_PATH];
            DWORD nf = GetFullPathNameW(target, MAX_PATH, full, nullptr);
            DWORD nb = GetFullPathNameW(m_baseFolder, MAX_PATH, base, nullptr);
            if (nf == 0 || nf >= MAX_PATH || nb == 0 || nb >= MAX_PATH || _wcsnicmp(full, base, nb) != 0)
                return ZIP_ARGS;
        }
        target.Replace(L"/", L"\\");
    }

    if (directory) {
        if (file != nullptr) return ZIP_OK;
        CreateFolderChain(target, true);
        DWORD attributes = GetFileAttributesW(target);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ZIP_CREATE_FILE;
        return ZIP_OK;
    }

    // Open the item before touching the disk, so a wrong password destroys nothing.
    r = OpenItem(index);
    if (r != ZIP_OK) {
        CloseItem();
        return r;
    }
    if (m_outBuffer == nullptr) {
        m_outBuffer = static_cast<BYTE*>(malloc(kChunk));
        if (m_outBuffer == nullptr) {
            CloseItem();
            return ZIP_NO_MEMORY;
        }
    }
    HANDLE out = file;
    if (file == nullptr) {
        CreateFolderChain(target, false);
        DWORD attributes = entry.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        out = CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE) {
            CloseItem();
            return ZIP_CREATE_FILE;
        }
    }
    ZipResult result = ZIP_OK;
    for (;;) {
        DWORD produced = 0;
        ZipResult error = ZIP_OK;
        ReadState state = ReadItem(m_outBuffer, kChunk, &produced, &error);
        if (state == READ_FAILED) {
            result = error;
            break;
        }
        DWORD written = 0;
        if (produced > 0 && (!WriteFile(out, m_outBuffer, produced, &written, nullptr) || written != produced)) {
            result = ZIP_WRITE;
            break;
        }
        if (state == READ_END) break;
    }
    CloseItem();
    if (result == ZIP_OK) SetFileTime(out, &entry.creationTime, &entry.accessTime, &entry.modificationTime);
    if (file == nullptr) {
        CloseHandle(out);
        if (result != ZIP_OK) { // leave no half-written file behind
            SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(target);
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------

void SanitiseZipName(wchar_t* name)
{
    if (name == nullptr) return;
    for (;;) {
        size_t cut = 0;
        if (name[0] != L'\0' && name[1] == L':') {
            cut = 2; // drive prefix
        } else if (IsSeparator(name[0])) {
            cut = 1;
        } else if (name[0] == L'.' && name[1] == L'.' && (name[2] == L'\0' || IsSeparator(name[2]))) {
            cut = name[2] ? 3 : 2; // a climb at the very start
        } else {
            for (size_t i = 0; name[i] != L'\0'; ++i) {
                if (IsSeparator(name[i]) && name[i + 1] == L'.' && name[i + 2] == L'.' && IsSeparator(name[i + 3])) {
                    cut = i + 4;
                    break;
                }
            }
        }
        if (cut == 0) return;
        wmemmove(name, name + cut, wcslen(name + cut) + 1);
    }
}

namespace {

ZipResult CheckHandle(ZipArchiveHandle zip)
{
    if (zip == nullptr) return ZIP_ARGS;
    if (zip->kind != ZIP_KIND_READ) return ZIP_MIXED_MODE;
    if (zip->reader == nullptr) return ZIP_ARGS;
    return ZIP_OK;
}

ZipArchiveHandle Finish(CZipReader* reader, const char* password)
{
    ZipResult r = reader->Open(password);
    if (r != ZIP_OK) {
        delete reader;
        Done(r);
        return nullptr;
    }
    ZipArchiveRecord* record = new (std::nothrow) ZipArchiveRecord;
    if (record == nullptr) {
        delete reader;
        Done(ZIP_NO_MEMORY);
        return nullptr;
    }
    record->kind = ZIP_KIND_READ;
    record->reader = reader;
    Done(ZIP_OK);
    return record;
}

// The reader takes the handle: it is closed with the reader, or here on failure.
ZipArchiveHandle OpenOwnedFile(HANDLE file, const char* password)
{
    CZipReader* reader = new (std::nothrow) CZipReader;
    if (reader == nullptr) {
        CloseHandle(file);
        Done(ZIP_NO_MEMORY);
        return nullptr;
    }
    if (!reader->Source().SetFile(file)) {
        delete reader;
        Done(ZIP_READ);
        return nullptr;
    }
    return Finish(reader, password);
}

} // namespace

ZipArchiveHandle OpenZipMemory(const void* data, DWORD size, const char* password)
{
    if (data == nullptr) {
        Done(ZIP_ARGS);
        return nullptr;
    }
    CZipReader* reader = new (std::nothrow) CZipReader;
    if (reader == nullptr) {
        Done(ZIP_NO_MEMORY);
        return nullptr;
    }
    reader->Source().SetMemory(data, size);
    return Finish(reader, password);
}

ZipArchiveHandle OpenZipFile(const wchar_t* path, const char* password)
{
    if (path == nullptr) {
        Done(ZIP_ARGS);
        return nullptr;
    }
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Done(ZIP_CREATE_FILE);
        return nullptr;
    }
    return OpenOwnedFile(file, password);
}

ZipArchiveHandle OpenZipHandle(HANDLE file, const char* password)
{
    if (file == nullptr || file == INVALID_HANDLE_VALUE) {
        Done(ZIP_ARGS);
        return nullptr;
    }
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        Done(ZIP_DUPLICATE_HANDLE);
        return nullptr;
    }
    return OpenOwnedFile(copy, password);
}

ZipResult CloseZip(ZipArchiveHandle zip)
{
    ZipResult r = CheckHandle(zip);
    if (r != ZIP_OK) return Done(r);
    delete zip->reader;
    zip->reader = nullptr;
    zip->kind = 0;
    delete zip;
    return Done(ZIP_OK);
}

ZipResult SetZipBaseFolder(ZipArchiveHandle zip, const wchar_t* folder)
{
    ZipResult r = CheckHandle(zip);
    if (r != ZIP_OK) return Done(r);
    if (folder == nullptr) return Done(ZIP_ARGS);
    zip->reader->SetBaseFolder(folder);
    return Done(ZIP_OK);
}

ZipResult GetZipItem(ZipArchiveHandle zip, int index, ZipEntryInfo* entry)
{
    ZipResult r = CheckHandle(zip);
    if (r != ZIP_OK) return Done(r);
    if (entry == nullptr) return Done(ZIP_ARGS);
    return Done(zip->reader->GetItem(index, entry));
}

ZipResult FindZipItem(ZipArchiveHandle zip, const wchar_t* name, bool ignoreCase, int* index, ZipEntryInfo* entry)
{
    ZipResult r = CheckHandle(zip);
    if (r != ZIP_OK) return Done(r);
    if (name == nullptr) return Done(ZIP_ARGS);
    int found = -1;
    r = zip->reader->Find(name, ignoreCase, &found);
    if (index) *index = found;
    if (r != ZIP_OK) {
        if (entry) {
            memset(entry, 0, sizeof(*entry));
            entry->index = -1;
        }
        return Done(r);
    }
    if (entry == nullptr) return Done(ZIP_OK);
    return Done(zip->reader->GetItem(found, entry));
}

ZipResult UnzipItemToMemory(ZipArchiveHandle zip, int index, void* buffer, DWORD size, DWORD* written)
{
    if (written) *written = 0;
    ZipResult r = CheckHandle(zip);
    if (r != ZIP_OK) return Done(r);
    if (buffer == nullptr && size > 0) return Done(ZIP_ARGS);
    return Done(zip->reader->UnzipToMemory(index, static_cast<BYTE*>(buffer), size, written));
}

ZipResult UnzipItemToFile(ZipArchiveHandle zip, int index, const wchar_t* path)
{
    ZipResult r = CheckHandle(zip);
    if (r != ZIP_OK) return Done(r);
    if (path == nullptr || *path == L'\0') return Done(ZIP_ARGS);
    return Done(zip->reader->UnzipToFile(index, path, nullptr));
}

ZipResult UnzipItemToHandle(ZipArchiveHandle zip, int index, HANDLE file)
{
    ZipResult r = CheckHandle(zip);
    if (r != ZIP_OK) return Done(r);
    if (file == nullptr || file == INVALID_HANDLE_VALUE) return Done(ZIP_ARGS);
    return Done(zip->reader->UnzipToFile(index, nullptr, file));
}

ZipResult GetLastZipResult() { return g_lastResult; }

unsigned int FormatZipResult(ZipResult code, wchar_t* buffer, unsigned int size)
{
    if (code == ZIP_LAST_RESULT) code = g_lastResult;
    const wchar_t* text;
    switch (code) {
    case ZIP_OK: text = L"Success"; break;
    case ZIP_DUPLICATE_HANDLE: text = L"Culdn't duplicate handle"; break;
    case ZIP_CREATE_FILE: text = L"Couldn't create/open file"; break;
    case ZIP_NO_MEMORY: text = L"Failed to allocate memory"; break;
    case ZIP_WRITE: text = L"Error writing to file"; break;
    case ZIP_NOT_FOUND: text = L"File not found in the zipfile"; break;
    case ZIP_MORE: text = L"Still more data to unzip"; break;
    case ZIP_CORRUPT: text = L"Zipfile is corrupt or not a zipfile"; break;
    case ZIP_READ: text = L"Error reading file"; break;
    case ZIP_PASSWORD: text = L"Correct password required"; break;
    case ZIP_ARGS: text = L"Caller: faulty arguments"; break;
    case ZIP_NOT_MEMORY_ZIP: text = L"Caller: can only get memory of a memory zipfile"; break;
    case ZIP_MEMORY_SIZE: text = L"Caller: not enough space allocated for memory zipfile"; break;
    case ZIP_PREVIOUS_ERROR: text = L"Caller: there was a previous error"; break;
    case ZIP_ENDED: text = L"Caller: additions to the zip have already been ended"; break;
    case ZIP_MISSIZE: text = L"Zip-bug: the anticipated size turned out wrong"; break;
    case ZIP_PARTIAL_UNZIP: text = L"Caller: the file had already been partially unzipped"; break;
    case ZIP_MIXED_MODE: text = L"Caller: mixing creation and opening of zip"; break;
    case ZIP_NOT_INITIALISED: text = L"Zip-bug: internal initialisation not completed"; break;
    case ZIP_SEEK: text = L"Zip-bug: trying to seek the unseekable"; break;
    case ZIP_NO_CHANGE: text = L"Zip-bug: tried to change mind, but not allowed"; break;
    case ZIP_FLATE: text = L"Zip-bug: an internal error during flation"; break;
    default: text = L"unknown zip result code"; break;
    }
    unsigned int length = static_cast<unsigned int>(wcslen(text));
    if (buffer != nullptr && size > 0) {
        unsigned int n = length < size - 1 ? length : size - 1;
        wmemcpy(buffer, text, n);
        buffer[n] = L'\0';
    }
    return length;
}

} // namespace SkinUI
