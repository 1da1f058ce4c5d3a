#include "common/InstalledFiles.h"

#include "common/TextConvert.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const char kHeader[] = "Velkaro installed files ";
const int kVersion = 1;
const char kTrailer[] = "END ";

unsigned long Crc32(const std::string& bytes)
{
    unsigned long crc = 0xFFFFFFFFUL;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320UL & (0UL - (crc & 1UL)));
    }
    return crc ^ 0xFFFFFFFFUL;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Every step of a path after its root: not empty, not "." or "..", none of
// the characters Windows forbids in names, and no trailing dot or space,
// which Windows drops (so ".. " would become "..").
bool StepsAreSafe(const std::wstring& path, size_t start)
{
    if (start >= path.size()) return false;
    size_t stepStart = start;
    for (size_t i = start; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) {
            wchar_t c = path[i];
            if (c < 0x20 || wcschr(L"<>:\"|?*", c) != nullptr) return false;
            continue;
        }
        std::wstring step = path.substr(stepStart, i - stepStart);
        if (step.empty() || step == L"." || step == L"..") return false;
        if (step.back() == L'.' || step.back() == L' ') return false;
        stepStart = i + 1;
    }
    return true;
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix)
{
    size_t n = wcslen(suffix);
    return text.size() >= n && _wcsicmp(text.c_str() + text.size() - n, suffix) == 0;
}

} // namespace

bool CInstalledFiles::IsSafeRelativePath(const std::wstring& path)
{
    if (path.empty() || IsSeparator(path[0])) return false;
    return StepsAreSafe(path, 0);
}

bool CInstalledFiles::IsSafeFullPath(const std::wstring& path)
{
    if (path.size() < 4 || !iswalpha(path[0]) || path[0] > 0x7F || path[1] != L':' || path[2] != L'\\') return false;
    return StepsAreSafe(path, 3);
}

bool CInstalledFiles::IsSafeLinkPath(const std::wstring& path)
{
    return IsSafeFullPath(path) && EndsWithNoCase(path, L".lnk");
}

namespace {

bool EntryIsSafe(const InstalledEntry& entry)
{
    switch (entry.kind) {
    case InstalledEntry::kFile:
    case InstalledEntry::kFolder:
        return CInstalledFiles::IsSafeRelativePath(entry.path);
    case InstalledEntry::kLink:
        return CInstalledFiles::IsSafeLinkPath(entry.path);
    case InstalledEntry::kInstallFolder:
        return CInstalledFiles::IsSafeFullPath(entry.path);
    }
    return false;
}

} // namespace

bool CInstalledFiles::Serialize(std::string* bytes) const
{
    std::string text = kHeader + std::to_string(kVersion) + "\r\n";
    for (const InstalledEntry& entry : m_entries) {
        if (!EntryIsSafe(entry)) return false;
        std::string path = WideToUtf8(entry.path.c_str());
        // A lone surrogate would come back as something else.
        if (path.empty() || entry.path != Utf8ToWide(path.c_str()).GetData()) return false;
        text += static_cast<char>(entry.kind);
        text += ' ';
        text += path;
        text += "\r\n";
    }
    // The C runtime's own formatter, as in Shortcuts.cpp: snprintf would bring
    // the compiler runtime's whole printf family into the installer. The
    // trailer needs at most 26 of the 40 bytes, so it always ends in a NUL.
    char trailer[40] = {};
    _snprintf(trailer, sizeof(trailer) - 1, "%s%u %08lX\r\n", kTrailer, static_cast<unsigned>(m_entries.size()),
              Crc32(text));
    *bytes = text + trailer;
    return true;
}

InstalledListResult CInstalledFiles::Parse(const std::string& bytes)
{
    m_entries.clear();
    std::vector<InstalledEntry> entries;
    // Lines, each with its CR LF; a last line without one means the file was cut.
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) return INSTALLED_LIST_DAMAGED;
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    if (lines.size() < 2) return INSTALLED_LIST_DAMAGED;

    const std::string& header = lines.front();
    size_t headerLength = sizeof(kHeader) - 1;
    if (header.compare(0, headerLength, kHeader) != 0) return INSTALLED_LIST_DAMAGED;
    std::string version = header.substr(headerLength);
    if (version.empty() || version.size() > 9 || version.find_first_not_of("0123456789") != std::string::npos)
        return INSTALLED_LIST_DAMAGED;

    // The checksum first: a version or an entry is only trusted once it holds.
    const std::string& trailer = lines.back();
    unsigned count = 0;
    unsigned long crc = 0;
    char hex[9] = {};
    size_t trailerLength = sizeof(kTrailer) - 1;
    if (trailer.compare(0, trailerLength, kTrailer) != 0) return INSTALLED_LIST_DAMAGED;
    std::string numbers = trailer.substr(trailerLength);
    size_t space = numbers.find(' ');
    if (space == std::string::npos || space == 0 || space > 9 || numbers.size() != space + 9
        || numbers.find_first_not_of("0123456789") != space
        || numbers.find_first_not_of("0123456789ABCDEF", space + 1) != std::string::npos)
        return INSTALLED_LIST_DAMAGED;
    count = static_cast<unsigned>(std::stoul(numbers.substr(0, space)));
    memcpy(hex, numbers.data() + space + 1, 8);
    crc = strtoul(hex, nullptr, 16);
    size_t covered = bytes.size() - trailer.size() - 2;
    if (Crc32(bytes.substr(0, covered)) != crc) return INSTALLED_LIST_DAMAGED;
    if (count != lines.size() - 2) return INSTALLED_LIST_DAMAGED;
    if (std::stoi(version) != kVersion) return INSTALLED_LIST_NEWER;

    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() < 3 || line[1] != ' ') return INSTALLED_LIST_DAMAGED;
        InstalledEntry entry;
        switch (line[0]) {
        case 'F': entry.kind = InstalledEntry::kFile; break;
        case 'D': entry.kind = InstalledEntry::kFolder; break;
        case 'L': entry.kind = InstalledEntry::kLink; break;
        case 'P': entry.kind = InstalledEntry::kInstallFolder; break;
        default: return INSTALLED_LIST_DAMAGED;
        }
        std::string path = line.substr(2);
        entry.path = Utf8ToWide(path.c_str()).GetData();
        // Text that is not UTF-8 (or holds a NUL) does not survive the round trip.
        if (entry.path.empty() || WideToUtf8(entry.path.c_str()) != path) return INSTALLED_LIST_DAMAGED;
        if (!EntryIsSafe(entry)) return INSTALLED_LIST_UNSAFE_PATH;
        entries.push_back(entry);
    }
    m_entries.swap(entries);
    return INSTALLED_LIST_OK;
}

bool CInstalledFiles::Save(const wchar_t* listPath) const
{
    std::string bytes;
    if (listPath == nullptr || !Serialize(&bytes)) return false;
    std::wstring temporary = std::wstring(listPath) + L".new";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == bytes.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(temporary.c_str(), listPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

InstalledListResult CInstalledFiles::Load(const wchar_t* listPath)
{
    m_entries.clear();
    if (listPath == nullptr) return INSTALLED_LIST_MISSING;
    HANDLE file = CreateFileW(listPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return INSTALLED_LIST_MISSING;
    LARGE_INTEGER size;
    std::string bytes;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (64LL << 20);
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
    }
    CloseHandle(file);
    // A list larger than any installation could make is damage, not a list.
    if (!ok) return INSTALLED_LIST_DAMAGED;
    return Parse(bytes);
}
