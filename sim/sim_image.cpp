#include "sim_image.h"

#include <zlib.h>

#include "sim_frame.h"

namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kMajorOffset = 76;
constexpr size_t kMinorOffset = 78;
constexpr uint16_t kCompressedFlag = 0x8000;
constexpr uint16_t kZlibFlag = 0x4000;
// Far above any real image; a header that claims more is not believed.
constexpr uint32_t kMaxExpandedSize = 256u * 1024u * 1024u;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool DecodeHexPart(const uint8_t* data, size_t length, std::vector<uint8_t>* part) {
    if (length % 2 != 0) return false;
    part->clear();
    part->reserve(length / 2);
    for (size_t i = 0; i < length; i += 2) {
        int hi = SimHexDigit(data[i]);
        int lo = SimHexDigit(data[i + 1]);
        if (hi < 0 || lo < 0) return false;
        part->push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return true;
}

// The bytes were cut into 7-bit groups from bit 0 of the first byte on; m groups
// carry floor(7 m / 8) whole bytes (the last group's top bits are padding).
bool Decode7BitPart(const uint8_t* data, size_t length, std::vector<uint8_t>* part) {
    size_t bytes = length * 7 / 8;
    part->assign(bytes, 0);
    uint32_t acc = 0;
    int bits = 0;
    size_t out = 0;
    for (size_t i = 0; i < length; ++i) {
        if ((data[i] & 0x80) == 0) return false;
        acc |= static_cast<uint32_t>(data[i] & 0x7F) << bits;
        bits += 7;
        while (bits >= 8 && out < bytes) {
            (*part)[out++] = static_cast<uint8_t>(acc & 0xFF);
            acc >>= 8;
            bits -= 8;
        }
    }
    return true;
}

}  // namespace

bool DecodeSimPart(const uint8_t* data, size_t length, std::vector<uint8_t>* part,
                   SimPartEncoding* encoding) {
    if (length == 0) return false;
    if (data[0] & 0x80) {
        *encoding = SimPartEncoding::SevenBit;
        return Decode7BitPart(data, length, part) && !part->empty();
    }
    *encoding = SimPartEncoding::Hex;
    return DecodeHexPart(data, length, part);
}

std::optional<int> SimImageFirmwareVersion(const std::vector<uint8_t>& file) {
    if (file.size() < kHeaderSize) return std::nullopt;
    uint16_t flags = Le16(file.data() + 14);
    const std::vector<uint8_t>* image = &file;
    std::vector<uint8_t> expanded;
    if (flags & kCompressedFlag) {
        if (!(flags & kZlibFlag)) return std::nullopt;
        uint32_t expandedSize = Le32(file.data() + 4);
        uint32_t storedSize = Le32(file.data() + 8);
        if (expandedSize < kHeaderSize || expandedSize > kMaxExpandedSize || storedSize < kHeaderSize ||
            storedSize > file.size())
            return std::nullopt;
        expanded.assign(file.begin(), file.begin() + kHeaderSize);
        expanded.resize(expandedSize);
        uLongf capacity = expandedSize - kHeaderSize;
        if (uncompress(expanded.data() + kHeaderSize, &capacity, file.data() + kHeaderSize,
                       storedSize - kHeaderSize) != Z_OK)
            return std::nullopt;
        expanded.resize(kHeaderSize + capacity);
        image = &expanded;
    }
    if (image->size() < kMinorOffset + 2) return std::nullopt;
    int major = Le16(image->data() + kMajorOffset);
    int minor = Le16(image->data() + kMinorOffset);
    return major * 10 + minor;
}
