#include "local_clock.h"

LocalNow ReadLocalClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    LocalNow result;
    localtime_r(&now.tv_sec, &result.local);
    result.millis = int(now.tv_nsec / 1000000);
    result.offsetSeconds = result.local.tm_gmtoff;
    return result;
}
