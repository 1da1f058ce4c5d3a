#pragma once
// Helpers shared by the test executables.
#include <string>

namespace TestSupport {

// A host (Unix) path as Wine sees it through drive Z:.
std::wstring FromHostPath(const std::string& unixPath);

// Folder with fixtures made on the host at test time (build/testdata, or VELKARO_TESTDATA), Wine form,
// with a trailing backslash.
std::wstring TestDataFolder();

// Source tree root (or VELKARO_SOURCE), Wine form, with a trailing backslash.
std::wstring SourceFolder();

// A new empty folder under the system temp folder, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // With a trailing backslash.
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool ReadFileBytes(const std::wstring& path, std::string* bytes);
bool FileExists(const std::wstring& path);
void RemoveTree(const std::wstring& path);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

} // namespace TestSupport
