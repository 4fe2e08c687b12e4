#include "unit_poll.h"

#include <chrono>

#include "cli_errors.h"
#include "com_port.h"
#include "device_session.h"
#include "zel_setting_ids.h"

namespace {

// A catalogued setting of 1 to 8 bytes, zero-extended.
ZelResult ReadValue(int category, int setting, uint64_t* value) {
    *value = 0;
    if (ZelSettingSize(category, setting) <= 4) {
        uint32_t narrow = 0;
        const ZelResult result = ZelReadSetting(category, setting, &narrow);
        *value = narrow;
        return result;
    }
    return ZelReadSetting64(category, setting, value);
}

class Round {
public:
    Round(const FleetPort& port, const std::atomic<bool>& stopping) : stopping_(stopping) {
        snapshot_.port = port;
    }

    UnitSnapshot Run() {
        const auto started = std::chrono::steady_clock::now();
        ComPort line;
        const int code = OpenComPort(&line, snapshot_.port.name);
        if (code != COM_OPEN_OK) {
            const ComOpenProblem problem = line.failure.problem;
            snapshot_.state = problem == ComOpenProblem::Held || problem == ComOpenProblem::ServerRefused
                                  ? UnitState::Busy
                                  : UnitState::Down;
            snapshot_.problem = OpenFailureText(line, code);
        } else {
            ReadUnit();
        }
        CloseComPort(&line);
        snapshot_.pollSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        snapshot_.finishedAt =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
        return snapshot_;
    }

private:
    // False (and the unit down) when the unit did not answer.
    bool Read(int category, int setting, const char* what, uint64_t* value, bool* refused = nullptr) {
        if (stopping_) {
            snapshot_.problem = "the exporter is stopping";
            return false;
        }
        const ZelResult result = ReadValue(category, setting, value);
        if (result == ZEL_OK) return true;
        // A setting the unit's firmware does not have is left out; the unit itself answers.
        if (refused && SettingRefused(result)) {
            *refused = true;
            return true;
        }
        snapshot_.problem = DeviceFailureText(std::string("reading ") + what, result);
        return false;
    }

    void ReadUnit() {
        uint64_t type = 0, mode = 0, firmware = 0, hardware = 0, fpga = 0, serial = 0;
        const struct {
            int category;
            int setting;
            const char* what;
            uint64_t* into;
        } identityReads[] = {
            {ZEL_CAT_DEVICE, ZEL_SET_TYPE, "the device type", &type},
            {ZEL_CAT_CONFIGURATION, ZEL_SET_MODE, "the mode", &mode},
            {ZEL_CAT_DEVICE, ZEL_SET_FIRMWARE_VERSION, "the firmware version", &firmware},
            {ZEL_CAT_DEVICE, ZEL_SET_HARDWARE_VERSION, "the hardware version", &hardware},
            {ZEL_CAT_DEVICE, ZEL_SET_FPGA_VERSION, "the FPGA version", &fpga},
            {ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER, "the serial number", &serial},
        };
        for (const auto& read : identityReads) {
            if (!Read(read.category, read.setting, read.what, read.into)) return Fail();
        }
        UnitIdentity& id = snapshot_.identity;
        id.type = uint32_t(type);
        id.mode = int(mode);
        id.firmwareVersion = int32_t(firmware);
        id.hardwareVersion = uint32_t(hardware);
        id.fpgaVersion = uint32_t(fpga);
        id.serialNumber = uint32_t(serial);
        uint64_t value = 0;
        for (int category : UsableCategories(id.mode)) {
            for (const SettingView& view : FindPanel(category)->settings) {
                const SettingMeasure* measure = FindSettingMeasure(view);
                if (!measure || !SettingOffered(view, id.firmwareVersion)) continue;
                bool refused = false;
                if (!Read(view.category, view.setting, view.caption, &value, &refused)) return Fail();
                if (!refused) snapshot_.measured.push_back({&view, measure, value});
            }
        }
        snapshot_.state = UnitState::Up;
    }

    // A unit that stops answering keeps none of what it answered before.
    void Fail() {
        snapshot_.state = UnitState::Down;
        snapshot_.identity = UnitIdentity();
        snapshot_.measured.clear();
    }

    const std::atomic<bool>& stopping_;
    UnitSnapshot snapshot_;
};

}  // namespace

UnitSnapshot PollUnitOnce(const FleetPort& port, const std::atomic<bool>& stopping) {
    return Round(port, stopping).Run();
}
