#include <windows.h>

#include "local_clock.h"

LocalNow ReadLocalClock() {
    // FILETIME counts 100 ns steps since 1601; time_t seconds since 1970.
    FILETIME file;
    GetSystemTimePreciseAsFileTime(&file);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    const unsigned long long kEpochTicks = 116444736000000000ULL;
    const std::time_t seconds = std::time_t((ticks - kEpochTicks) / 10000000ULL);
    LocalNow result;
    result.millis = int((ticks / 10000ULL) % 1000ULL);
    localtime_s(&result.local, &seconds);
    std::tm utc{};
    gmtime_s(&utc, &seconds);
    // The offset is what the local reading gains over UTC read as if it were local.
    utc.tm_isdst = result.local.tm_isdst;
    std::tm local = result.local;
    result.offsetSeconds = long(std::mktime(&local) - std::mktime(&utc));
    return result;
}
