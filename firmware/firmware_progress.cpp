#include "firmware_progress.h"

#include "zel_upgrade.h"

std::string FirmwareProgressText(int phase, int percent) {
    return std::string("Firmware upgrade current phase: ") + ZelUpgPhaseName(phase) +
           ", current progress: " + std::to_string(percent);
}
