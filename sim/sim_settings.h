// What the simulated device holds: one row per setting it knows, with the value it
// starts with and the values it accepts in a write.
#pragma once

#include <cstdint>

enum class SimCheck {
    ReadOnly,            // a write is refused
    Range,               // min..max
    HostAddress,         // a unicast address a device can have
    SubnetMask,          // contiguous ones, at least one
    Gateway,             // 0.0.0.0 (none) or a unicast address
    MulticastAddress,    // 224.0.0.0 .. 239.255.255.255
    DestinationAddress,  // anything but 0.0.0.0 and 255.255.255.255
    Data,                // a firmware part, checked by the upgrade
};

struct SimSettingSpec {
    int category;
    int setting;
    SimCheck check;
    uint32_t min;
    uint32_t max;
    uint64_t initial;
    int onlyType;        // 0: every device type; else only this one knows it
    int minFirmware;     // the firmware version (tenths) that introduced it
    uint32_t perMinute;  // counters: how much the value grows each minute
};

// The row of a setting, or nullptr when no ZEL-51xx knows it (the catalogue's
// "All settings" rows included).
const SimSettingSpec* FindSimSetting(int category, int setting);
// Every row, for walking the whole device.
const SimSettingSpec* SimSettingRows(int* count);

// Whether a write of value passes the row's check; always false for ReadOnly and Data.
bool SimWriteAccepted(const SimSettingSpec& rule, uint64_t value);

// IPv4 address from four octets, most significant first.
constexpr uint32_t SimIp(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}
