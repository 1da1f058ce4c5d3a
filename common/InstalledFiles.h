#pragma once
// The list of what an installation put on disk, kept in the product folder
// for the uninstaller: the files and folders it extracted (relative to the
// product folder) and the shell links it made (full paths).
//
// The file is UTF-8 text with CR LF line ends:
//   Velkaro installed files 1        header with the format version
//   F bin\DUDavov.exe                one entry per line: kind, space, path
//   D bin                            F file, D folder, L link
//   L C:\Users\Public\Desktop\Velkaro.lnk
//   P C:\Program Files\Norvantix     P the install folder, full path (see below)
//   END 4 1C291CA3                   entry count and CRC-32 of every byte above
// The closing line makes a damaged or cut-off file detectable: such a file
// reads as an error, never as a shorter list.
// A "P" entry appears only when the installer itself created the install
// folder that holds the product folder: the uninstaller may then take that
// folder away too, once it is empty. Lists without one read as before.
#include <string>
#include <vector>

// Name of the list file inside the product folder.
#define KE_INSTALLED_FILES_NAME L"uninstall.lst"

struct InstalledEntry {
    enum Kind { kFile = 'F', kFolder = 'D', kLink = 'L', kInstallFolder = 'P' };
    Kind kind;
    std::wstring path;

    bool operator==(const InstalledEntry& other) const { return kind == other.kind && path == other.path; }
};

enum InstalledListResult {
    INSTALLED_LIST_OK = 0,
    INSTALLED_LIST_MISSING,      // no such file, or it cannot be read
    INSTALLED_LIST_DAMAGED,      // malformed, cut off, or its checksum does not match
    INSTALLED_LIST_NEWER,        // a format version this reader does not know
    INSTALLED_LIST_UNSAFE_PATH,  // an entry that would reach outside its place
};

class CInstalledFiles {
public:
    void Add(InstalledEntry::Kind kind, const std::wstring& path) { m_entries.push_back(InstalledEntry{kind, path}); }
    const std::vector<InstalledEntry>& Entries() const { return m_entries; }
    void Clear() { m_entries.clear(); }

    // The file's bytes; false (and nothing) when an entry would not read back.
    bool Serialize(std::string* bytes) const;
    // Replaces the entries with the list in bytes; on any error the list is empty.
    InstalledListResult Parse(const std::string& bytes);

    // Written beside the final name first and moved over it, so an old list
    // is never left half overwritten.
    bool Save(const wchar_t* listPath) const;
    InstalledListResult Load(const wchar_t* listPath);

    // A file or folder entry: a relative path that stays below the product
    // folder (no root, drive or stream, no "." or ".." steps, no empty steps,
    // no step that Windows would trim to something else).
    static bool IsSafeRelativePath(const std::wstring& path);
    // A link entry: a full path on a drive ("X:\...") to a ".lnk" file, with
    // the same step rules.
    static bool IsSafeLinkPath(const std::wstring& path);
    // An install-folder entry: a full path on a drive with the same step rules,
    // never the drive's root.
    static bool IsSafeFullPath(const std::wstring& path);

private:
    std::vector<InstalledEntry> m_entries;
};
