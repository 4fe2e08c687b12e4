#include "sim_frame.h"

#include "zel_protocol.h"

namespace {

constexpr size_t kHeaderLength = 7;  // address, category, setting, r/w
constexpr size_t kIndexLength = 4;
constexpr size_t kChecksumLength = 2;

bool ReadHex(const uint8_t* text, size_t digits, int* value) {
    int v = 0;
    for (size_t i = 0; i < digits; ++i) {
        int d = SimHexDigit(text[i]);
        if (d < 0) return false;
        v = v * 16 + d;
    }
    *value = v;
    return true;
}

void PutHexByte(std::vector<uint8_t>& out, int value) {
    static const char kDigits[] = "0123456789ABCDEF";
    out.push_back(static_cast<uint8_t>(kDigits[(value >> 4) & 0xF]));
    out.push_back(static_cast<uint8_t>(kDigits[value & 0xF]));
}

}  // namespace

int SimHexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

SimParseResult ParseSimRequest(const uint8_t* content, size_t length, SimRequest* request) {
    if (length < kHeaderLength + kChecksumLength) return SimParseResult::Ignore;
    size_t summed = length - kChecksumLength;
    int checksum = 0;
    if (!ReadHex(content + summed, kChecksumLength, &checksum) ||
        checksum != ZelChecksum(content, static_cast<int>(summed)))
        return SimParseResult::Ignore;

    SimRequest r;
    if (!ReadHex(content, 2, &r.address) || !ReadHex(content + 2, 2, &r.category) ||
        !ReadHex(content + 4, 2, &r.setting))
        return SimParseResult::Ignore;
    r.indexed = ZelCategoryIndexed(r.category) != 0;
    *request = r;

    uint8_t kind = content[6];
    if (kind != 'r' && kind != 'w') return SimParseResult::Refuse;
    request->read = kind == 'r';

    size_t at = kHeaderLength;
    if (request->indexed) {
        if (summed < at + kIndexLength || !ReadHex(content + at, kIndexLength, &request->index))
            return SimParseResult::Refuse;
        at += kIndexLength;
    }
    request->data.assign(content + at, content + summed);
    return SimParseResult::Ok;
}

std::vector<uint8_t> BuildSimReply(const SimRequest& request, char status, uint64_t value, int valueBytes) {
    std::vector<uint8_t> frame;
    frame.reserve(16 + 2 * static_cast<size_t>(valueBytes));
    frame.push_back(ZEL_STX);
    PutHexByte(frame, ZEL_DEVICE_ADDRESS);
    PutHexByte(frame, request.category);
    PutHexByte(frame, request.setting);
    frame.push_back(static_cast<uint8_t>(status));
    if (request.indexed) {
        PutHexByte(frame, (request.index >> 8) & 0xFF);
        PutHexByte(frame, request.index & 0xFF);
    }
    for (int i = valueBytes - 1; i >= 0; --i)
        PutHexByte(frame, static_cast<int>((value >> (8 * i)) & 0xFF));
    int checksum = ZelChecksum(frame.data() + 1, static_cast<int>(frame.size() - 1));
    PutHexByte(frame, checksum);
    frame.push_back(ZEL_ETX);
    return frame;
}
