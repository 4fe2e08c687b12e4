// What the change log needs from the system, one file per platform.
#pragma once

#include <ctime>
#include <string>

std::string PlatformChangeLogPath();
std::string PlatformUserName();
std::string PlatformHostName();
std::tm PlatformUtcTime(std::time_t when);
// Creates the folders up to the file as needed and appends `line` (ending in a newline)
// in one write, so that lines of several threads and processes never mix.
bool PlatformAppendLine(const std::string& path, const std::string& line, std::string* error);
