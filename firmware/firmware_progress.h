// The progress text every front end shows while a firmware upgrade runs.
#pragma once

#include <string>

// "Firmware upgrade current phase: <phase name>, current progress: <percent>".
std::string FirmwareProgressText(int phase, int percent);
