// The upgrade as a front end runs it: check the file, bind the open file and a progress
// display as the upgrade hooks, transfer, close the file.
#pragma once

#include <string>
#include <vector>

#include "firmware_check.h"
#include "firmware_progress.h"
#include "firmware_stream.h"
#include "zel_upgrade.h"

struct FrontEndUpload {
    FirmwareCheck check;
    ZelResult result = ZEL_E_INVALID_PARAMETER;
    std::vector<std::string> statusTexts;

    static void ShowProgress(void* context, int phase, int percent) {
        static_cast<FrontEndUpload*>(context)->statusTexts.push_back(FirmwareProgressText(phase, percent));
    }

    // False when the check refused the file.
    bool Run(const std::string& path, int32_t deviceFirmwareVersion) {
        FirmwareStream stream;
        check = CheckFirmwareFile(path, deviceFirmwareVersion, stream);
        if (check.result != FwCheckOk) return false;
        ZelSetUpgradeHooks(FirmwareStream::ReadPartHook, &stream, ShowProgress, this);
        result = ZelUpgradeFirmware(check.storedSize);
        ZelSetUpgradeHooks(nullptr, nullptr, nullptr, nullptr);
        stream.Close();
        return true;
    }
};
