#include "local_time.h"

#include <cstdio>
#include <cstdlib>

#include "local_clock.h"

std::string LocalTimeText(bool withDate, bool withMillis) {
    LocalNow now = ReadLocalClock();
    char text[48];
    size_t n = std::strftime(text, sizeof text, withDate ? "%Y-%m-%dT%H:%M:%S" : "%H:%M:%S", &now.local);
    if (withMillis) std::snprintf(text + n, sizeof text - n, ".%03d", now.millis);
    return text;
}

std::string LocalTimeWithZone() {
    LocalNow now = ReadLocalClock();
    char text[48];
    size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &now.local);
    // strftime's %z has no colon ("+0200"); ISO 8601's extended form wants "+02:00".
    const long offset = now.offsetSeconds / 60;
    std::snprintf(text + n, sizeof text - n, "%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                  std::labs(offset) % 60);
    return text;
}
