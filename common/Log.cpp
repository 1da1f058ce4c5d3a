#include "common/Log.h"

#include "common/Folders.h"
#include "common/ScopedHandle.h"

#include <shlwapi.h>
#include <stdarg.h>
#include <stdio.h>
#include <time.h>

#include <string>

using SkinUI::CUiString;

namespace {

// Simplified Chinese (GBK): the log's encoding whatever the system code page.
const UINT kLogCodePage = 936;

// The stamp "[%Y-%m-%d %X]"; %X is HH:MM:SS in the runtime's classic locale.
CUiString FormatStamp()
{
    wchar_t stamp[128] = {};
    __time64_t now = _time64(nullptr);
    struct tm* local = _localtime64(&now);
    if (local == nullptr || wcsftime(stamp, 128, L"[%Y-%m-%d %X]", local) == 0) stamp[0] = L'\0';
    return CUiString(stamp);
}

// Converts the whole entry or nothing: a character the code page cannot
// hold would otherwise leave half a line that the next entry runs into.
bool ToLogBytes(const CUiString& text, std::string* bytes)
{
    int length = text.GetLength();
    if (length == 0) return true;
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(kLogCodePage, 0, text.GetData(), length, nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return false;
    std::string narrow(size, '\0');
    if (WideCharToMultiByte(kLogCodePage, 0, text.GetData(), length, &narrow[0], size, nullptr, &usedDefault) != size
        || usedDefault)
        return false;
    // Text-mode line ends. 0x0A is never a GBK trail byte, so this is safe
    // on the converted bytes.
    bytes->reserve(narrow.size() + 8);
    for (char c : narrow) {
        if (c == '\n') bytes->push_back('\r');
        bytes->push_back(c);
    }
    return true;
}

} // namespace

CUiString GetLogFilePath()
{
    CUiString folder = GetLogFolder();
    if (!PathIsDirectoryW(folder)) CreateFolderChain(folder);
    folder.Append(L"\\ll.log");
    return folder;
}

void WriteLog(const CUiString& message)
{
    try {
        CUiString stamp = FormatStamp();

        CUiString console(stamp);
        console.Append(L" ");
        console.Append(message.GetData());
        console.Append(L"\n");
        fputws(console, stdout);
        fflush(stdout);

        CUiString entry(stamp);
        entry.Append(L" - ");
        entry.Append(message.GetData());
        entry.Append(L"\n");
        std::string bytes;
        if (!ToLogBytes(entry, &bytes)) return;

        // One append per entry: entries from the UI and worker threads may
        // alternate but never split each other.
        CKEScopedHandle file(CreateFileW(GetLogFilePath(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) return;
        DWORD written = 0;
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
        // Logging must never disturb the caller.
    }
}

int LogFormat(const wchar_t* format, ...)
{
    CUiString text;
    va_list args;
    va_start(args, format);
    int count = text.FormatV(format, args);
    va_end(args);
    if (count >= 0) WriteLog(text);
    return count;
}
