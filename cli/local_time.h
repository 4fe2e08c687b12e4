// Local time as zelctl prints it in traces, monitor lines and backups.
#pragma once

#include <string>

// "2024-05-01T12:34:56.789"; without the date "12:34:56.789"; without the
// milliseconds "2024-05-01T12:34:56".
std::string LocalTimeText(bool withDate, bool withMillis);
// "2024-05-01T12:34:56+02:00": local time with its offset from UTC, for stored files.
std::string LocalTimeWithZone();
