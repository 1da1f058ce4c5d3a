#include "Uninstall/UninstallLaunch.h"

#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

const wchar_t kProductSwitch[] = L"/product";
const wchar_t kCopySwitch[] = L"/copy";
// The original ends right after starting the copy; waiting longer only
// delays an uninstallation whose original hangs.
const DWORD kOriginalWaitMs = 30000;

std::wstring ModulePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return std::wstring();
    std::wstring folder(buffer, length);
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::wstring Normalised(std::wstring path)
{
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : static_cast<wchar_t>(towlower(c));
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

} // namespace

UninstallCommand ParseUninstallCommand(const wchar_t* commandLine)
{
    UninstallCommand command;
    if (commandLine == nullptr || *commandLine == L'\0') return command;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(commandLine, &count);
    if (args == nullptr) return command;
    // args[0] is the program itself.
    for (int i = 1; i + 1 < count; ++i) {
        if (_wcsicmp(args[i], kProductSwitch) == 0) {
            command.productFolder = args[++i];
        } else if (_wcsicmp(args[i], kCopySwitch) == 0) {
            const wchar_t* text = args[++i];
            wchar_t* end = nullptr;
            unsigned long long value = wcstoull(text, &end, 10);
            if (end != text && *end == L'\0') {
                command.waitHandle = value;
                command.isTemporaryCopy = true;
            }
        }
    }
    LocalFree(args);
    return command;
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only in front of a quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring BuildCopyCommandLine(const std::wstring& copyExe, const std::wstring& productFolder,
                                  unsigned long long waitHandle)
{
    return QuoteArgument(copyExe) + L" " + kProductSwitch + L" " + QuoteArgument(productFolder) + L" "
        + kCopySwitch + L" " + std::to_wstring(waitHandle);
}

bool IsInsideFolder(const std::wstring& path, const std::wstring& folder)
{
    std::wstring p = Normalised(path), f = Normalised(folder);
    if (f.empty() || p.size() < f.size() || p.compare(0, f.size(), f) != 0) return false;
    return p.size() == f.size() || f.back() == L'\\' || p[f.size()] == L'\\';
}

bool StartTemporaryCopy(const std::wstring& productFolder)
{
    std::wstring self = ModulePath();
    std::wstring temp = TempFolder();
    if (self.empty() || temp.empty()) return false;
    std::wstring copy = temp + L"DEZeRodurav-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    if (!CopyFileW(self.c_str(), copy.c_str(), FALSE)) return false;

    // The copy inherits a handle on this process and waits on it: a process
    // id alone could be reused by the time the copy looks.
    HANDLE inheritable = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &inheritable, SYNCHRONIZE,
                         TRUE, 0)) {
        DeleteFileW(copy.c_str());
        return false;
    }
    std::wstring commandLine =
        BuildCopyCommandLine(copy, productFolder, static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(inheritable)));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Started in the temporary folder: a process whose current folder is the
    // product folder would keep that folder from being removed.
    BOOL started = CreateProcessW(copy.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, temp.c_str(),
                                  &startup, &process);
    CloseHandle(inheritable);
    if (!started) {
        DeleteFileW(copy.c_str());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void WaitForOriginal(unsigned long long waitHandle)
{
    if (waitHandle == 0) return;
    HANDLE original = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(waitHandle));
    WaitForSingleObject(original, kOriginalWaitMs);
    CloseHandle(original);
}

const char* SelfDeletionScript()
{
    // Plain lines and labels only: blocks inside loops are where command
    // interpreters differ. The file to delete comes as %1, quoted, so the
    // script itself stays ASCII whatever the path holds. It tries once a
    // second for half a minute, then removes itself.
    return "@echo off\r\n"
           "set n=0\r\n"
           ":again\r\n"
           "del /f /q %1 >nul 2>&1\r\n"
           "if not exist %1 goto done\r\n"
           "set /a n+=1\r\n"
           "if %n% geq 30 goto done\r\n"
           "ping -n 2 127.0.0.1 >nul\r\n"
           "goto again\r\n"
           ":done\r\n"
           "del /f /q \"%~f0\" >nul 2>&1\r\n";
}

bool StartDeletion(const std::wstring& file)
{
    wchar_t system[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (file.empty() || length == 0 || length >= MAX_PATH) return false;
    std::wstring script = file + L".cmd";
    HANDLE handle = CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const char* text = SelfDeletionScript();
    DWORD written = 0;
    BOOL ok = WriteFile(handle, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(handle);
    if (!ok) {
        DeleteFileW(script.c_str());
        return false;
    }
    std::wstring interpreter = std::wstring(system) + L"\\cmd.exe";
    // "call" first: a command line after /c that starts with a quote has its
    // outer quotes stripped by the interpreter.
    std::wstring commandLine =
        QuoteArgument(interpreter) + L" /d /c call " + QuoteArgument(script) + L" " + QuoteArgument(file);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    std::wstring temp = TempFolder();
    if (!CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        temp.empty() ? nullptr : temp.c_str(), &startup, &process)) {
        DeleteFileW(script.c_str());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool ScheduleSelfDeletion() { return StartDeletion(ModulePath()); }
