// Benchmark helper: runs a command line, waits for it and prints its wall time,
// exit code and peak working set.
//   peak_memory <program> [arguments...]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        fwprintf(stderr, L"usage: peak_memory <program> [arguments...]\n");
        return 2;
    }
    std::wstring command;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command += L' ';
        command += L'"';
        command += argv[i];
        command += L'"';
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        fwprintf(stderr, L"peak_memory: cannot start %s (%lu)\n", argv[1], GetLastError());
        return 2;
    }
    // Sampled while the child runs: some systems forget a process's counters
    // once it has exited.
    SIZE_T peak = 0;
    for (;;) {
        DWORD wait = WaitForSingleObject(process.hProcess, 2);
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters))) {
            if (counters.PeakWorkingSetSize > peak) peak = counters.PeakWorkingSetSize;
            if (counters.WorkingSetSize > peak) peak = counters.WorkingSetSize;
        }
        if (wait != WAIT_TIMEOUT) break;
    }
    QueryPerformanceCounter(&end);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printf("exit=%lu seconds=%.3f peak_working_set=%lu\n", code,
           double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart),
           static_cast<unsigned long>(peak));
    return static_cast<int>(code);
}
