#pragma once
// The key=value progress file an external media converter rewrites while it
// runs ("out_time_ms=", "total_size=", "progress=continue|end").

struct ConverterProgress {
    bool ended;             // "progress=end" seen after a total size above 0
    long long outTimeMs;    // as written after "out_time_ms="
    long long totalSize;    // as written after "total_size="
};

// Reads only the last 230 characters of the file, where the latest block of
// lines is. All zero when the file cannot be opened or is shorter than that.
ConverterProgress ReadConverterProgress(const wchar_t* path);
