#pragma once
// Where skin files come from: a folder on disk or a zip archive (a file, or a block
// of memory such as the executable's own resource). Process-wide, set once on the
// UI thread at start-up; the paint manager's statics forward here.
#include "ui/core/UiString.h"
#include "ui/core/UiZip.h"

namespace SkinUI {

// An owned block of bytes (malloc'd), freed with the object.
class CUiByteBuffer {
public:
    CUiByteBuffer() : m_data(nullptr), m_size(0) {}
    ~CUiByteBuffer() { Free(); }
    CUiByteBuffer(const CUiByteBuffer&) = delete;
    CUiByteBuffer& operator=(const CUiByteBuffer&) = delete;

    bool Allocate(DWORD size);
    void Free();
    BYTE* GetData() const { return m_data; }
    DWORD GetSize() const { return m_size; }

private:
    BYTE* m_data;
    DWORD m_size;
};

// Outcome of reading one skin file; each failure has its own message in the XML loader.
enum SkinReadResult {
    SKIN_READ_OK,
    SKIN_READ_OPEN_FAILED,     // the file on disk cannot be opened
    SKIN_READ_EMPTY,           // the file or archive item holds no bytes
    SKIN_READ_TOO_LARGE,       // larger than the caller's limit
    SKIN_READ_FAILED,          // the file on disk gave fewer bytes than its size
    SKIN_READ_ARCHIVE_FAILED,  // the archive cannot be opened
    SKIN_READ_NOT_FOUND,       // no such item in the archive
    SKIN_READ_UNZIP_FAILED,    // the item cannot be unpacked
};

class CUiResourceLocation {
public:
    // The kinds of location an application may record with SetSkinKind.
    enum { KIND_FOLDER = 1, KIND_ARCHIVE_FILE = 2, KIND_ARCHIVE_RESOURCE = 4 };

    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    static void SetResourceInstance(HINSTANCE instance);
    // The module searched for resources given by id: the resource instance, else the instance.
    static HINSTANCE GetResourceInstance();

    // Appends a backslash when the path is not empty and does not end in a separator.
    static void SetSkinFolder(const wchar_t* path);
    static const CUiString& GetSkinFolder();
    static void SetSkinKind(int kind);
    static int GetSkinKind();

    // An archive file relative to the skin folder. Repeating the current name and
    // keep-open flag changes nothing; keepOpen opens the archive now and keeps it.
    static void SetSkinArchive(const wchar_t* name, bool keepOpen, const wchar_t* password);
    // An archive in memory that must stay valid for the life of the process. The
    // first one stays in force: later calls change nothing.
    static void SetSkinArchiveInMemory(const void* data, DWORD size, const wchar_t* password);
    static const CUiString& GetArchiveName();
    static const CUiString& GetArchivePassword();
    static bool IsArchiveKeptOpen();
    static ZipArchiveHandle GetOpenArchive();

    // Framework shutdown: closes a kept-open archive and forgets the archive.
    static void Shutdown();

    // Turns a skin file name relative to the location into bytes. Archive item names
    // use '/' and are matched ignoring case. maxSize bounds what is accepted.
    static SkinReadResult ReadSkinFile(const wchar_t* name, DWORD maxSize, CUiByteBuffer* bytes);

    // The archive password in the ANSI code page (what the zip reader takes).
    static void GetAnsiPassword(CUiByteBuffer* password);

    static const wchar_t* const MEMORY_ARCHIVE_NAME; // "membuffer"
};

} // namespace SkinUI
