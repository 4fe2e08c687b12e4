#include "local_time.h"

#include <cstdio>
#include <ctime>

std::string LocalTimeText(bool withDate, bool withMillis) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[48];
    size_t n = std::strftime(text, sizeof text, withDate ? "%Y-%m-%dT%H:%M:%S" : "%H:%M:%S", &local);
    if (withMillis) std::snprintf(text + n, sizeof text - n, ".%03ld", now.tv_nsec / 1000000);
    return text;
}
