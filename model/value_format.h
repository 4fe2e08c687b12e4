// How device values are shown and how typed text becomes a value: one set of
// rules for the window and zelctl. Plain C++, no device access. Numbers are
// always written and read in the C locale's form.
#pragma once

#include <cstdint>
#include <string>

enum class ValueFormat {
    Unsigned,       // decimal, the value as the unsigned number it is on the device
    Signed,         // decimal of a signed 4-byte value (calibration and statistics rows)
    Address,        // dotted IPv4, most significant octet first: 192.168.0.10
    Mac,            // six bytes, most significant first: 02.00.00.12.34.56
    Version,        // v3
    VersionTenths,  // v2.3 for 23
    SerialNumber,   // 1.002.345 for 1002345
    DeviceType,     // ZEL-5100
    Thousandths,    // 12.5 for 12500 (the delay factor, shown in us)
};

// The format that suits a catalogue value type (0..6) when nothing more is known:
// addresses dotted, the MAC address in the MAC format, decimal otherwise; only
// the signed type reads signed.
ValueFormat FormatForType(int type);

// The value as `format` shows it. `value` holds the setting's bytes zero-extended.
std::string FormatValue(ValueFormat format, uint64_t value);
// Text as `format` shows it back to the value's bytes (a signed value as its
// 4-byte two's complement); false for anything else. Exact: no white space,
// nothing after the value.
bool ParseValue(ValueFormat format, const std::string& text, uint64_t* value);

std::string FormatAddress(uint32_t value);
std::string FormatMac(uint64_t value);
std::string FormatVersion(uint32_t value);
std::string FormatVersionTenths(uint32_t value);
std::string FormatSerialNumber(uint32_t value);
std::string FormatDeviceType(uint32_t value);
std::string FormatThousandths(uint32_t value);

// Exactly four decimal octets 0..255 separated by dots, nothing else.
bool ParseAddress(const std::string& text, uint32_t* value);
// Decimal ("129", "-5") or hexadecimal with 0x ("0x81"); nothing else, no overflow.
bool ParseInteger(const std::string& text, int64_t* value);
// What a value field typed by hand means: white space, a sign, then decimal
// digits up to the first other character; no digits give 0, out of range the
// nearest 64-bit value.
int64_t ScanTypedNumber(const std::string& text);
