// info: the device's identity as the window's device-properties panel shows it.
#include <cstdio>

#include "commands.h"
#include "device_session.h"
#include "json_value.h"
#include "setting_views.h"
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

int RunInfo(const CliOptions& options, CommandArgs& args) {
    args.Expect(0, 0, "no arguments");
    DeviceSession session(options);
    const uint32_t type = uint32_t(session.Read(TYPE_CATEGORY, TYPE_SETTING));
    const int mode = int(session.Read(MODE_CATEGORY, MODE_SETTING));
    const uint64_t fpga = session.Read(0x01, 1);
    // A ZEL-5137 keeps its hardware version in a 4-byte setting of its own.
    const uint64_t hardware = type == 5137 ? session.Read(0x01, 6) : session.Read(0x01, 2);
    const uint64_t firmware = session.Read(FIRMWARE_CATEGORY, FIRMWARE_SETTING);
    const uint64_t serial = session.Read(0x01, 4);

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
        JsonValue document = JsonValue::Object();
        document.Set("port", JsonValue::String(session.PortName()));
        for (const InfoLine& line : lines) {
            document.Set(line.key, JsonValue::Number(line.value));
            document.Set(std::string(line.key) + "Text", JsonValue::String(line.text));
        }
        WriteOut(document.Serialize() + "\n");
        return 0;
    }
    for (const InfoLine& line : lines) {
        PrintOut("%-17s %s\n", (std::string(line.label) + ":").c_str(), line.text.c_str());
    }
    return 0;
}
