#include "CommonTestUtil.h"

#include "common/Log.h"
#include "common/SystemCalls.h"
#include "support/TestSupport.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

namespace CommonTest {

long long FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string LogBytesFrom(long long offset)
{
    std::string bytes;
    if (!TestSupport::ReadFileBytes(GetLogFilePath().GetData(), &bytes)) return std::string();
    if (offset < 0) offset = 0;
    if (static_cast<size_t>(offset) > bytes.size()) return std::string();
    return bytes.substr(static_cast<size_t>(offset));
}

std::wstring UniqueToken(const wchar_t* prefix)
{
    static LONG counter = 0;
    wchar_t text[96] = {};
    _snwprintf(text, 96, L"%s-%lu-%lu-%ld", prefix, GetCurrentProcessId(), GetTickCount(),
             InterlockedIncrement(&counter));
    return text;
}

std::string ToNarrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

namespace {
ShellExecuteSpy* g_spy = nullptr;
}

ShellExecuteSpy::ShellExecuteSpy(INT_PTR answer) : m_saved(SystemCalls().shellExecute), m_answer(answer)
{
    g_spy = this;
    SystemCalls().shellExecute = &ShellExecuteSpy::Fake;
}

ShellExecuteSpy::~ShellExecuteSpy()
{
    SystemCalls().shellExecute = m_saved;
    g_spy = nullptr;
}

HINSTANCE WINAPI ShellExecuteSpy::Fake(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                       INT show)
{
    ShellExecuteSpy* spy = g_spy;
    spy->calls++;
    spy->verb = verb != nullptr ? verb : L"";
    spy->file = file != nullptr ? file : L"";
    spy->hadParameters = parameters != nullptr;
    spy->hadDirectory = directory != nullptr;
    spy->hadOwner = owner != nullptr;
    spy->show = show;
    return reinterpret_cast<HINSTANCE>(spy->m_answer);
}

StreamCapture::StreamCapture(FILE* stream) : m_stream(stream), m_fd(-1), m_saved(-1)
{
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"cap", 0, name);
    m_path = name;
    fflush(m_stream);
    m_saved = _dup(_fileno(m_stream));
    m_fd = _wopen(name, _O_WRONLY | _O_BINARY | _O_TRUNC, _S_IREAD | _S_IWRITE);
    if (m_fd != -1) _dup2(m_fd, _fileno(m_stream));
}

StreamCapture::~StreamCapture()
{
    fflush(m_stream);
    if (m_saved != -1) {
        _dup2(m_saved, _fileno(m_stream));
        _close(m_saved);
    }
    if (m_fd != -1) _close(m_fd);
    DeleteFileW(m_path.c_str());
}

std::string StreamCapture::Text()
{
    fflush(m_stream);
    std::string bytes;
    TestSupport::ReadFileBytes(m_path, &bytes);
    return bytes;
}

} // namespace CommonTest
