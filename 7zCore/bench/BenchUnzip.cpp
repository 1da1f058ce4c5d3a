// Benchmark driver: extracts one archive through 7zCore.dll and prints the
// wall time, the number of progress reports and this process's peak working set.
//   bench_unzip <archive> <folder>
#include "UnzipCore7z.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: bench_unzip <archive> <folder>\n");
        return 2;
    }
    unsigned reports = 0;
    unsigned long long lastDone = 0, lastTotal = 0;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bool ok = UnzipCore7z(argv[1], argv[2], [&](unsigned long long done, unsigned long long total) {
        ++reports;
        lastDone = done;
        lastTotal = total;
    });
    QueryPerformanceCounter(&end);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    printf("result=%s seconds=%.3f reports=%u done=%llu total=%llu peak_working_set=%lu\n", ok ? "ok" : "failed",
           double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart), reports, lastDone, lastTotal,
           static_cast<unsigned long>(counters.PeakWorkingSetSize));
    return ok ? 0 : 1;
}
