#pragma once
// Clock readings and conversions between local calendar time and seconds
// since 1970-01-01 UTC.
#include <windows.h>

// Milliseconds since 1970-01-01 UTC.
long long NowMilliseconds();
// Local date and time (milliseconds ignored) to seconds since 1970; -1 when
// the record cannot be converted.
long long DateTimeToTime64(const SYSTEMTIME& local);
// Seconds since 1970 to local date and time, milliseconds 0; a zeroed record
// when the time cannot be converted.
SYSTEMTIME Time64ToDateTime(long long time);
