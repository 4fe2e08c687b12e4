#include "sim_settings.h"

#include <iterator>

namespace {

using C = SimCheck;
constexpr uint32_t kU32 = 0xFFFFFFFFu;

// Values are plausible for a unit carrying a 38 Mbit/s stream; the identity rows are
// overridden from the device's configuration.
const SimSettingSpec kRows[] = {
    // Device properties
    {0x01, 1, C::ReadOnly, 0, 0, 7, 0, 0, 0},
    {0x01, 2, C::ReadOnly, 0, 0, 3, 5100, 0, 0},
    {0x01, 3, C::ReadOnly, 0, 0, 23, 0, 0, 0},
    {0x01, 4, C::ReadOnly, 0, 0, 1002345, 0, 0, 0},
    {0x01, 5, C::ReadOnly, 0, 0, 5100, 0, 0, 0},
    {0x01, 6, C::ReadOnly, 0, 0, 2, 5137, 0, 0},
    {0x01, 7, C::ReadOnly, 0, 0, 4, 0, 0, 0},
    {0x01, 8, C::ReadOnly, 0, 0, 20230415, 0, 0, 0},
    {0x01, 9, C::ReadOnly, 0, 0, 0x20, 0, 0, 0},
    {0x01, 10, C::ReadOnly, 0, 0, 115200, 0, 0, 0},
    {0x01, 11, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x01, 12, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x01, 13, C::ReadOnly, 0, 0, 1500, 5137, 0, 0},
    // Overall configuration
    {0x02, 1, C::Range, 0, 1, 1, 0, 0, 0},
    {0x02, 2, C::Range, 0, 1, 1, 0, 0, 0},
    {0x02, 3, C::Range, 0, 1, 0, 0, 14, 0},
    {0x02, 4, C::Range, 0, 1, 0, 0, 0, 0},
    {0x02, 5, C::ReadOnly, 0, 0, 1234, 0, 0, 0},
    // Network settings
    {0x03, 1, C::HostAddress, 0, 0, SimIp(192, 168, 0, 10), 0, 0, 0},
    {0x03, 2, C::SubnetMask, 0, 0, SimIp(255, 255, 255, 0), 0, 0, 0},
    {0x03, 3, C::Gateway, 0, 0, SimIp(192, 168, 0, 1), 0, 0, 0},
    {0x03, 4, C::Range, 0, 1, 0, 0, 0, 0},
    {0x03, 5, C::Range, 0, 1, 0, 0, 0, 0},
    {0x03, 6, C::ReadOnly, 0, 0, 0x020000123456ULL, 0, 0, 0},
    // Firmware update type 1
    {0x80, 1, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x80, 2, C::Data, 0, 0, 0, 0, 0, 0},
    {0x80, 3, C::Range, 0, 1, 0, 0, 0, 0},
    {0x80, 4, C::Range, 0, 1, 0, 0, 0, 0},
    {0x80, 5, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x80, 6, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x80, 7, C::Range, 1, 65535, 0, 0, 0, 0},
    {0x80, 8, C::Range, 1, 1024, 0, 0, 0, 0},
    {0x80, 9, C::Range, 1, 1024, 0, 0, 0, 0},
    // IP receive settings
    {0x81, 1, C::Range, 0, 1, 1, 0, 0, 0},
    {0x81, 2, C::Range, 0, 1, 1, 0, 0, 0},
    {0x81, 3, C::ReadOnly, 0, 0, 200, 0, 0, 0},
    {0x81, 4, C::Range, 0, 1, 0, 0, 0, 0},
    {0x81, 5, C::ReadOnly, 0, 0, 10, 0, 0, 0},
    {0x81, 6, C::ReadOnly, 0, 0, 10, 0, 0, 0},
    {0x81, 7, C::ReadOnly, 0, 0, 50, 0, 0, 0},
    {0x81, 8, C::ReadOnly, 0, 0, 5000000000ULL, 0, 0, 6},
    {0x81, 9, C::ReadOnly, 0, 0, 5000012345ULL, 0, 0, 600},
    {0x81, 10, C::Range, 1, 65535, 1234, 0, 0, 0},
    {0x81, 11, C::Range, 1, 9942, 100, 0, 0, 0},
    {0x81, 12, C::MulticastAddress, 0, 0, SimIp(239, 1, 2, 3), 0, 0, 0},
    {0x81, 13, C::ReadOnly, 0, 0, 7, 0, 0, 0},
    {0x81, 14, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x81, 15, C::ReadOnly, 0, 0, 1, 0, 0, 0},
    {0x81, 16, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x81, 17, C::ReadOnly, 0, 0, 1, 0, 0, 0},
    {0x81, 18, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x81, 19, C::ReadOnly, 0, 0, 38000000, 0, 0, 0},
    {0x81, 20, C::ReadOnly, 0, 0, 1, 0, 0, 0},
    {0x81, 21, C::ReadOnly, 0, 0, 3, 0, 0, 1},
    {0x81, 22, C::Range, 0, 3, 0, 0, 0, 0},
    {0x81, 23, C::ReadOnly, 0, 0, 12, 0, 0, 2},
    {0x81, 24, C::ReadOnly, 0, 0, 1, 0, 0, 1},
    {0x81, 25, C::ReadOnly, 0, 0, 12500, 0, 0, 0},
    // IP transmit settings
    {0x82, 1, C::Range, 0, 1, 1, 0, 0, 0},
    {0x82, 3, C::Range, 0, 1, 0, 0, 0, 0},
    {0x82, 4, C::Range, 1, 20, 10, 0, 0, 0},
    {0x82, 5, C::Range, 4, 20, 10, 0, 0, 0},
    {0x82, 6, C::DestinationAddress, 0, 0, SimIp(239, 10, 20, 30), 0, 0, 0},
    {0x82, 7, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x82, 8, C::Range, 1, 65535, 5004, 0, 0, 0},
    {0x82, 9, C::Range, 1, 7, 7, 0, 0, 0},
    {0x82, 10, C::Range, 0, 1, 1, 0, 0, 0},
    {0x82, 11, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x82, 12, C::ReadOnly, 0, 0, 1, 0, 0, 0},
    {0x82, 13, C::Range, 0, 255, 64, 0, 0, 0},
    // ASI/parallel input settings
    {0x83, 1, C::Range, 0, 2, 2, 0, 0, 0},
    {0x83, 2, C::ReadOnly, 0, 0, 1, 0, 0, 0},
    {0x83, 3, C::ReadOnly, 0, 0, 0, 0, 0, 0},
    {0x83, 4, C::ReadOnly, 0, 0, 38000000, 0, 0, 0},
    {0x83, 5, C::ReadOnly, 0, 0, 5000000000ULL, 0, 0, 1515960},
    {0x83, 6, C::ReadOnly, 0, 0, 2, 0, 0, 1},
    {0x83, 7, C::Range, 0, 2, 0, 0, 23, 0},
    // ASI/parallel output settings
    {0x84, 1, C::Range, 0, 2, 2, 0, 0, 0},
    {0x84, 2, C::ReadOnly, 0, 0, 1, 0, 0, 0},
    {0x84, 3, C::ReadOnly, 0, 0, 38000000, 0, 0, 0},
    // Firmware upgrade type 2
    {0x85, 1, C::Range, 0, 1, 1, 5137, 0, 0},
    {0x85, 2, C::Range, 0, 1, 0, 5137, 0, 0},
    {0x85, 3, C::Data, 0, 0, 0, 5137, 0, 0},
    {0x85, 4, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    // Receiver settings (the ZEL-5137's satellite front end)
    {0x90, 1, C::Range, 0, 3, 1, 5137, 0, 0},
    {0x90, 3, C::Range, 950000, 2150000, 1210000, 5137, 0, 0},
    {0x90, 9, C::Range, 0, 1, 1, 5137, 0, 0},
    {0x90, 10, C::Range, 0, 1, 0, 5137, 0, 0},
    {0x90, 11, C::Range, 0, 1, 0, 5137, 0, 0},
    {0x90, 12, C::Range, 0, 255, 0, 5137, 0, 0},
    {0x90, 13, C::Range, 0, 1, 0, 5137, 0, 0},
    // Receiver status
    {0x91, 1, C::ReadOnly, 0, 0, 1, 5137, 0, 0},
    {0x91, 2, C::ReadOnly, 0, 0, 1210000, 5137, 0, 0},
    {0x91, 3, C::ReadOnly, 0, 0, 36000000, 5137, 0, 0},
    {0x91, 4, C::ReadOnly, 0, 0, 1, 5137, 0, 0},
    {0x91, 5, C::ReadOnly, 0, 0, 5, 5137, 0, 0},
    {0x91, 6, C::ReadOnly, 0, 0, 1, 5137, 0, 0},
    {0x91, 7, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x91, 8, C::ReadOnly, 0, 0, 1, 5137, 0, 0},
    {0x91, 9, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x91, 10, C::ReadOnly, 0, 0, 27500000, 5137, 0, 0},
    {0x91, 11, C::ReadOnly, 0, 0, 50000000, 5137, 0, 0},
    // Receiver statistics (levels in hundredths of a dB or dBm)
    {0x92, 1, C::ReadOnly, 0, 0, static_cast<uint32_t>(-3500), 5137, 0, 0},
    {0x92, 2, C::ReadOnly, 0, 0, 1250, 5137, 0, 0},
    {0x92, 3, C::ReadOnly, 0, 0, 1230, 5137, 0, 0},
    {0x92, 4, C::ReadOnly, 0, 0, 1250, 5137, 0, 0},
    {0x92, 5, C::ReadOnly, 0, 0, 980, 5137, 0, 0},
    {0x92, 6, C::ReadOnly, 0, 0, 450, 5137, 0, 0},
    {0x92, 7, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x92, 8, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x92, 9, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x92, 10, C::ReadOnly, 0, 0, 120, 5137, 0, 0},
    {0x92, 11, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x92, 12, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x92, 13, C::ReadOnly, 0, 0, 12000, 5137, 0, 0},
    {0x92, 14, C::ReadOnly, 0, 0, 8000, 5137, 0, 0},
    // DiSEqC
    {0x93, 1, C::Range, 0, 1, 0, 5137, 0, 0},
    {0x93, 2, C::Range, 0, 255, 0, 5137, 0, 0},
    {0x93, 3, C::Range, 0, 255, 0, 5137, 0, 0},
    {0x93, 4, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
    {0x93, 5, C::ReadOnly, 0, 0, 0, 5137, 0, 0},
};

uint32_t FirstOctet(uint32_t address) {
    return address >> 24;
}

bool IsHostAddress(uint32_t a) {
    uint32_t first = FirstOctet(a);
    return first != 0 && first != 127 && first < 224;
}

bool IsSubnetMask(uint32_t m) {
    if (m == 0) return false;
    uint32_t inverted = ~m;
    return (inverted & (inverted + 1)) == 0;  // ones, then only zeros
}

}  // namespace

const SimSettingSpec* FindSimSetting(int category, int setting) {
    for (const SimSettingSpec& row : kRows)
        if (row.category == category && row.setting == setting) return &row;
    return nullptr;
}

const SimSettingSpec* SimSettingRows(int* count) {
    *count = static_cast<int>(std::size(kRows));
    return kRows;
}

bool SimWriteAccepted(const SimSettingSpec& rule, uint64_t value) {
    if (value > kU32) return false;
    uint32_t v = static_cast<uint32_t>(value);
    switch (rule.check) {
        case C::ReadOnly:
        case C::Data: return false;
        case C::Range: return v >= rule.min && v <= rule.max;
        case C::HostAddress: return IsHostAddress(v);
        case C::SubnetMask: return IsSubnetMask(v);
        case C::Gateway: return v == 0 || IsHostAddress(v);
        case C::MulticastAddress: return FirstOctet(v) >= 224 && FirstOctet(v) <= 239;
        case C::DestinationAddress: return v != 0 && v != kU32;
    }
    return false;
}
