#include "local_time.h"

#include <cstdio>
#include <cstdlib>
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

std::string LocalTimeWithZone() {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    char text[48];
    size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    // strftime's %z has no colon ("+0200"); ISO 8601's extended form wants "+02:00".
    const long offset = local.tm_gmtoff / 60;
    std::snprintf(text + n, sizeof text - n, "%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                  std::labs(offset) % 60);
    return text;
}
