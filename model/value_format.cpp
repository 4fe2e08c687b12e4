#include "value_format.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

#include "zel_setting_ids.h"

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Integer conversions only: they read the same in every locale.
std::string Printf(const char* format, ...) {
    char buffer[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decimal digits from `at`, at least `minDigits` and at most `maxDigits`, into a
// value no larger than `limit`.
bool TakeDecimal(const std::string& text, size_t& at, size_t minDigits, size_t maxDigits, uint64_t limit,
                 uint64_t* value) {
    const size_t start = at;
    uint64_t number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < maxDigits) {
        const uint64_t digit = uint64_t(text[at] - '0');
        if (number > (limit - digit) / 10) return false;
        number = number * 10 + digit;
        ++at;
    }
    if (at - start < minDigits) return false;
    *value = number;
    return true;
}

bool TakeLiteral(const std::string& text, size_t& at, const char* literal) {
    for (; *literal != '\0'; ++literal, ++at) {
        if (at >= text.size() || text[at] != *literal) return false;
    }
    return true;
}

constexpr uint64_t kU32 = std::numeric_limits<uint32_t>::max();
constexpr size_t kAnyLength = std::numeric_limits<size_t>::max();

bool ParseMac(const std::string& text, uint64_t* value) {
    if (text.size() != 17) return false;
    uint64_t result = 0;
    for (size_t octet = 0; octet < 6; ++octet) {
        const size_t at = octet * 3;
        if (octet > 0 && text[at - 1] != '.') return false;
        const int high = HexDigit(text[at]);
        const int low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0) return false;
        result = (result << 8) | uint64_t(high * 16 + low);
    }
    *value = result;
    return true;
}

// The exponent form "%g" gives from a million on: "2.14748e+06".
bool ParseThousandthsExponent(const std::string& text, uint64_t* value) {
    double number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number, std::chars_format::general);
    if (error != std::errc() || stop != end || !(number >= 0)) return false;
    const double thousandths = std::round(number * 1000.0);
    // Six digits may round the largest values up past what the setting holds.
    if (thousandths > double(kU32) * 1.00001) return false;
    *value = thousandths > double(kU32) ? kU32 : uint64_t(thousandths);
    return true;
}

bool ParseThousandths(const std::string& text, uint64_t* value) {
    if (text.find('e') != std::string::npos) return ParseThousandthsExponent(text, value);
    size_t at = 0;
    uint64_t whole = 0;
    if (!TakeDecimal(text, at, 1, kAnyLength, kU32 / 1000, &whole)) return false;
    uint64_t fraction = 0;
    if (at < text.size()) {
        if (text[at] != '.') return false;
        ++at;
        const size_t start = at;
        if (!TakeDecimal(text, at, 1, 3, 999, &fraction)) return false;
        for (size_t digits = at - start; digits < 3; ++digits)
            fraction *= 10;
    }
    const uint64_t result = whole * 1000 + fraction;
    if (at != text.size() || result > kU32) return false;
    *value = result;
    return true;
}

}  // namespace

ValueFormat FormatForType(int type) {
    switch (type) {
        case ZEL_TYPE_SIGNED: return ValueFormat::Signed;
        case ZEL_TYPE_ADDRESS: return ValueFormat::Address;
        case ZEL_TYPE_MAC: return ValueFormat::Mac;
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

bool ParseValue(ValueFormat format, const std::string& text, uint64_t* value) {
    size_t at = 0;
    uint64_t a = 0, b = 0, c = 0;
    bool ok = false;
    uint64_t result = 0;
    switch (format) {
        case ValueFormat::Unsigned:
            ok = TakeDecimal(text, at, 1, kAnyLength, std::numeric_limits<uint64_t>::max(), &result);
            break;
        case ValueFormat::Signed: {
            int64_t number = 0;
            const bool negative = !text.empty() && text[0] == '-';
            at = negative ? 1 : 0;
            ok = TakeDecimal(text, at, 1, kAnyLength, negative ? kU32 / 2 + 1 : kU32 / 2, &a);
            number = negative ? -int64_t(a) : int64_t(a);
            result = static_cast<uint32_t>(static_cast<int32_t>(number));
            break;
        }
        case ValueFormat::Address: {
            uint32_t packed = 0;
            if (!ParseAddress(text, &packed)) return false;
            *value = packed;
            return true;
        }
        case ValueFormat::Mac: return ParseMac(text, value);
        case ValueFormat::Version:
            ok = TakeLiteral(text, at, "v") && TakeDecimal(text, at, 1, kAnyLength, kU32, &result);
            break;
        case ValueFormat::VersionTenths:
            ok = TakeLiteral(text, at, "v") && TakeDecimal(text, at, 1, kAnyLength, kU32 / 10, &a) &&
                 TakeLiteral(text, at, ".") && TakeDecimal(text, at, 1, 1, 9, &b) && a * 10 + b <= kU32;
            result = a * 10 + b;
            break;
        case ValueFormat::SerialNumber:
            ok = TakeDecimal(text, at, 1, kAnyLength, kU32 / 1000000, &a) && TakeLiteral(text, at, ".") &&
                 TakeDecimal(text, at, 3, 3, 999, &b) && TakeLiteral(text, at, ".") &&
                 TakeDecimal(text, at, 3, 3, 999, &c);
            result = a * 1000000 + b * 1000 + c;
            ok = ok && result <= kU32;
            break;
        case ValueFormat::DeviceType:
            ok = TakeLiteral(text, at, "ZEL-") && TakeDecimal(text, at, 1, kAnyLength, kU32, &result);
            break;
        case ValueFormat::Thousandths: return ParseThousandths(text, value);
    }
    if (!ok || at != text.size()) return false;
    *value = result;
    return true;
}

std::string FormatAddress(uint32_t value) {
    return Printf("%u.%u.%u.%u", (value >> 24) & 0xFF, (value >> 16) & 0xFF, (value >> 8) & 0xFF,
                  value & 0xFF);
}

std::string FormatMac(uint64_t value) {
    return Printf("%02X.%02X.%02X.%02X.%02X.%02X", unsigned(value >> 40) & 0xFF, unsigned(value >> 32) & 0xFF,
                  unsigned(value >> 24) & 0xFF, unsigned(value >> 16) & 0xFF, unsigned(value >> 8) & 0xFF,
                  unsigned(value) & 0xFF);
}

// Versions, serial numbers and types are unsigned values on the device.
std::string FormatVersion(uint32_t value) {
    return Printf("v%u", value);
}

// Tenths: 14 is v1.4.
std::string FormatVersionTenths(uint32_t value) {
    return Printf("v%u.%u", value / 10, value % 10);
}

std::string FormatSerialNumber(uint32_t value) {
    return Printf("%u.%03u.%03u", value / 1000000, (value % 1000000) / 1000, value % 1000);
}

std::string FormatDeviceType(uint32_t value) {
    return Printf("ZEL-%u", value);
}

// As "%g" shows it in the C locale, whatever locale the program runs in
// (the window's toolkit takes on the user's).
std::string FormatThousandths(uint32_t value) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, double(value) / 1000.0, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

bool ParseAddress(const std::string& text, uint32_t* value) {
    uint32_t result = 0;
    size_t at = 0;
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0 && !TakeLiteral(text, at, ".")) return false;
        uint64_t number = 0;
        if (!TakeDecimal(text, at, 1, 3, 999, &number) || number > 255) return false;
        result = (result << 8) | uint32_t(number);
    }
    if (at != text.size()) return false;
    if (value) *value = result;
    return true;
}

bool ParseInteger(const std::string& text, int64_t* value) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && text[at] == '-') {
        negative = true;
        ++at;
    }
    int base = 10;
    if (text.size() - at > 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size()) return false;
    // Accumulate the magnitude in 64 unsigned bits so that INT64_MIN is reachable.
    const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                    : uint64_t(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const int digit = HexDigit(text[at]);
        if (digit < 0 || digit >= base) return false;
        if (magnitude > (limit - uint64_t(digit)) / uint64_t(base)) return false;
        magnitude = magnitude * uint64_t(base) + uint64_t(digit);
    }
    if (value) *value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
    return true;
}

int64_t ScanTypedNumber(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Accumulated as a negative number, whose range reaches the smallest value.
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t number = 0;
    bool overflow = false;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const int digit = text[at] - '0';
        if (number < (kMin + digit) / 10) {
            overflow = true;
            continue;
        }
        number = number * 10 - digit;
    }
    if (overflow) return negative ? kMin : kMax;
    if (negative) return number;
    return number == kMin ? kMax : -number;
}
