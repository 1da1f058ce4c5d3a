#pragma once
// Helpers shared by the support-library tests.
#include <windows.h>

#include <string>

namespace CommonTest {

// Size of a file in bytes, or -1 when it cannot be read.
long long FileSize(const std::wstring& path);

// The log bytes appended since `offset` (the file may be shared with other
// test programs running at the same time, so callers look for their own
// entries in it rather than at fixed places).
std::string LogBytesFrom(long long offset);

// A marker unique to this process and call, ASCII only.
std::wstring UniqueToken(const wchar_t* prefix);

std::string ToNarrow(const std::wstring& ascii);

// Replaces SystemCalls().shellExecute for the life of the object and records
// the last call.
class ShellExecuteSpy {
public:
    explicit ShellExecuteSpy(INT_PTR answer);
    ~ShellExecuteSpy();
    int calls = 0;
    std::wstring verb, file;
    bool hadParameters = false, hadDirectory = false, hadOwner = false;
    int show = -1;

private:
    static HINSTANCE WINAPI Fake(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    HINSTANCE(WINAPI* m_saved)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    INT_PTR m_answer;
};

// Captures what the process writes to a C stream (stdout or stderr) while
// alive; Text() gives the bytes so far.
class StreamCapture {
public:
    explicit StreamCapture(FILE* stream);
    ~StreamCapture();
    std::string Text();

private:
    FILE* m_stream;
    int m_fd;
    int m_saved;
    std::wstring m_path;
};

} // namespace CommonTest
