#include "common/DateTime.h"

#include <sys/timeb.h>
#include <time.h>

long long NowMilliseconds()
{
    struct __timeb64 now = {};
    _ftime64(&now);
    return static_cast<long long>(now.time) * 1000 + now.millitm;
}

long long DateTimeToTime64(const SYSTEMTIME& local)
{
    struct tm fields = {};
    fields.tm_year = local.wYear - 1900;
    fields.tm_mon = local.wMonth - 1;
    fields.tm_mday = local.wDay;
    fields.tm_hour = local.wHour;
    fields.tm_min = local.wMinute;
    fields.tm_sec = local.wSecond;
    fields.tm_isdst = -1;  // let the runtime decide whether summer time applies
    return static_cast<long long>(_mktime64(&fields));
}

SYSTEMTIME Time64ToDateTime(long long time)
{
    SYSTEMTIME record = {};
    __time64_t value = static_cast<__time64_t>(time);
    struct tm* fields = _localtime64(&value);
    if (fields == nullptr) return record;
    record.wYear = static_cast<WORD>(fields->tm_year + 1900);
    record.wMonth = static_cast<WORD>(fields->tm_mon + 1);
    record.wDayOfWeek = static_cast<WORD>(fields->tm_wday);
    record.wDay = static_cast<WORD>(fields->tm_mday);
    record.wHour = static_cast<WORD>(fields->tm_hour);
    record.wMinute = static_cast<WORD>(fields->tm_min);
    record.wSecond = static_cast<WORD>(fields->tm_sec);
    record.wMilliseconds = 0;
    return record;
}
