#include "common/Process.h"

#include "common/ScopedHandle.h"

#include <tlhelp32.h>
#include <wchar.h>

namespace {

// Calls visit(entry) for every process; false when no snapshot could be made.
template <class Visit>
bool ForEachProcess(Visit visit)
{
    CKEScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        visit(entry);
    return true;
}

} // namespace

bool IsProcessRunning(const wchar_t* exeName)
{
    if (exeName == nullptr) return false;
    bool found = false;
    ForEachProcess([&](const PROCESSENTRY32W& entry) {
        if (wcscmp(entry.szExeFile, exeName) == 0) found = true;
    });
    return found;
}

bool TerminateProcessesByName(const wchar_t* exeName)
{
    if (exeName == nullptr) return false;
    return ForEachProcess([&](const PROCESSENTRY32W& entry) {
        if (wcscmp(entry.szExeFile, exeName) != 0) return;
        CKEScopedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (process.IsValid()) TerminateProcess(process.Get(), 0);
    });
}

void SuspendProcessThreads(DWORD processId, bool suspend)
{
    CKEScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, processId));
    if (!snapshot.IsValid()) return;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry)) {
        // The snapshot lists every thread of the system; keep the process's own.
        if (entry.th32OwnerProcessID != processId) continue;
        CKEScopedHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (!thread.IsValid()) continue;
        if (suspend)
            SuspendThread(thread.Get());
        else
            ResumeThread(thread.Get());
    }
}
