// The wall clock in the user's time zone, as the system keeps it.
#pragma once

#include <ctime>

struct LocalNow {
    std::tm local{};
    int millis = 0;
    long offsetSeconds = 0;  // east of UTC, daylight saving included
};

LocalNow ReadLocalClock();
