// info: the device's identity as the window's device-properties panel shows it.
#include <cstdio>

#include "commands.h"
#include "device_session.h"
#include "json_document.h"
#include "settings_model.h"
#include "standard_output.h"
#include "value_format.h"

namespace {

struct InfoLine {
    const char* key;    // JSON member
    const char* label;  // text output
    uint64_t value;
    std::string text;
};

}  // namespace

int RunInfo(const CliOptions& options) {
    ExpectArgs(options, 0, 0, "no arguments");
    DeviceSession session(options);
    const uint32_t type = uint32_t(session.Read(ZEL_CAT_DEVICE, ZEL_SET_TYPE));
    const int mode = int(session.Read(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE));
    const uint64_t fpga = session.Read(ZEL_CAT_DEVICE, ZEL_SET_FPGA_VERSION);
    // A ZEL-5137 keeps its hardware version in a 4-byte setting of its own.
    const uint64_t hardware = type == 5137 ? session.Read(ZEL_CAT_DEVICE, ZEL_SET_HARDWARE_VERSION_5137)
                                           : session.Read(ZEL_CAT_DEVICE, ZEL_SET_HARDWARE_VERSION);
    const uint64_t firmware = session.Read(ZEL_CAT_DEVICE, ZEL_SET_FIRMWARE_VERSION);
    const uint64_t serial = session.Read(ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER);

    std::string modeText = std::to_string(mode);
    if (*ModeName(mode)) modeText += std::string(" (") + ModeName(mode) + ")";
    const InfoLine lines[] = {
        {"type", "Type", type, FormatDeviceType(type)},
        {"mode", "Mode", uint64_t(mode), modeText},
        {"fpgaVersion", "FPGA version", fpga, FormatVersion(uint32_t(fpga))},
        {"hardwareVersion", "Hardware version", hardware, FormatVersion(uint32_t(hardware))},
        {"firmwareVersion", "Firmware version", firmware, FormatVersionTenths(uint32_t(firmware))},
        {"serialNumber", "Serial number", serial, FormatSerialNumber(uint32_t(serial))},
    };

    if (options.json) {
        Json document = Json::object();
        document["port"] = session.PortName();
        for (const InfoLine& line : lines) {
            document[line.key] = line.value;
            document[std::string(line.key) + "Text"] = line.text;
        }
        WriteOut(JsonText(document) + "\n");
        return 0;
    }
    for (const InfoLine& line : lines) {
        PrintOut("%-17s %s\n", (std::string(line.label) + ":").c_str(), line.text.c_str());
    }
    return 0;
}
