#include "value_format.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Printf(const char* format, ...) {
    char buffer[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

}  // namespace

ValueFormat FormatForType(int type) {
    switch (type) {
    case 2: return ValueFormat::Signed;
    case 5: return ValueFormat::Address;
    case 6: return ValueFormat::Mac;
    default: return ValueFormat::Unsigned;
    }
}

std::string FormatValue(ValueFormat format, uint64_t value) {
    const uint32_t low = static_cast<uint32_t>(value);
    switch (format) {
    case ValueFormat::Unsigned: return std::to_string(value);
    case ValueFormat::Signed: return std::to_string(static_cast<int32_t>(low));
    case ValueFormat::Address: return FormatAddress(low);
    case ValueFormat::Mac: return FormatMac(value);
    case ValueFormat::Version: return FormatVersion(low);
    case ValueFormat::VersionTenths: return FormatVersionTenths(low);
    case ValueFormat::SerialNumber: return FormatSerialNumber(low);
    case ValueFormat::DeviceType: return FormatDeviceType(low);
    case ValueFormat::Thousandths: return FormatThousandths(low);
    }
    return std::to_string(value);
}

std::string FormatAddress(uint32_t value) {
    return Printf("%u.%u.%u.%u", (value >> 24) & 0xFF, (value >> 16) & 0xFF, (value >> 8) & 0xFF,
                  value & 0xFF);
}

std::string FormatMac(uint64_t value) {
    return Printf("%02X.%02X.%02X.%02X.%02X.%02X", unsigned(value >> 40) & 0xFF,
                  unsigned(value >> 32) & 0xFF, unsigned(value >> 24) & 0xFF,
                  unsigned(value >> 16) & 0xFF, unsigned(value >> 8) & 0xFF, unsigned(value) & 0xFF);
}

std::string FormatVersion(uint32_t value) { return Printf("v%d", static_cast<int32_t>(value)); }

// Tenths, signed and truncating as the device's own tools show them: 14 is v1.4.
std::string FormatVersionTenths(uint32_t value) {
    const int32_t tenths = static_cast<int32_t>(value);
    return Printf("v%d.%d", tenths / 10, tenths % 10);
}

std::string FormatSerialNumber(uint32_t value) {
    return Printf("%u.%03u.%03u", value / 1000000, (value % 1000000) / 1000, value % 1000);
}

std::string FormatDeviceType(uint32_t value) { return Printf("ZEL-%d", static_cast<int32_t>(value)); }

std::string FormatThousandths(uint32_t value) { return Printf("%g", double(value) / 1000.0); }

bool ParseAddress(const std::string& text, uint32_t* value) {
    uint32_t result = 0;
    size_t at = 0;
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0) {
            if (at >= text.size() || text[at] != '.') return false;
            ++at;
        }
        const size_t start = at;
        unsigned number = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3) {
            number = number * 10 + unsigned(text[at] - '0');
            ++at;
        }
        if (at == start || number > 255) return false;
        result = (result << 8) | number;
    }
    if (at != text.size()) return false;
    if (value) *value = result;
    return true;
}
