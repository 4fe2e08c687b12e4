#include "ip_octets.h"

#include <limits>

IpOctets IpOctets::FromValue(uint32_t value) {
    IpOctets octets;
    octets.o0 = static_cast<int32_t>((value >> 24) & 0xFF);
    octets.o1 = static_cast<int32_t>((value >> 16) & 0xFF);
    octets.o2 = static_cast<int32_t>((value >> 8) & 0xFF);
    octets.o3 = static_cast<int32_t>(value & 0xFF);
    return octets;
}

uint32_t IpOctets::ToValue() const {
    return (static_cast<uint32_t>(o0) << 24) + ((static_cast<uint32_t>(o1) & 0xFF) << 16) +
           ((static_cast<uint32_t>(o2) & 0xFF) << 8) + (static_cast<uint32_t>(o3) & 0xFF);
}

namespace {

constexpr size_t kMaxScannedCharacters = 99;

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d": false when no digits follow (the scan stops there).
bool ScanNumber(const std::string& text, size_t* pos, int32_t* number) {
    size_t at = *pos;
    while (at < text.size() && IsScanSpace(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const size_t digitsStart = at;
    int64_t magnitude = 0;
    constexpr int64_t kCap = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        if (magnitude < kCap) magnitude = magnitude * 10 + (text[at] - '0');
        ++at;
    }
    if (at == digitsStart) return false;
    int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) value = std::numeric_limits<int32_t>::min();
    *number = static_cast<int32_t>(value);
    *pos = at;
    return true;
}

}  // namespace

IpOctets ScanIpOctets(const std::string& fullText) {
    const std::string text = fullText.substr(0, kMaxScannedCharacters);
    IpOctets octets;
    int32_t* const targets[] = {&octets.o0, &octets.o1, &octets.o2, &octets.o3};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != '.') break;
            ++pos;
        }
        if (!ScanNumber(text, &pos, targets[i])) break;
    }
    return octets;
}
