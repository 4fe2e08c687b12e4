#include "firmware_check.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <new>

#include "firmware_stream.h"
#include "path_kind.h"

namespace {

uint16_t ReadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::string Format(const char* format, const std::string& text) {
    std::string out(std::snprintf(nullptr, 0, format, text.c_str()), '\0');
    std::snprintf(&out[0], out.size() + 1, format, text.c_str());
    return out;
}

FirmwareCheck Refuse(FirmwareCheckResult result, int zlibCode = 0) {
    FirmwareCheck check;
    check.result = result;
    check.zlibCode = zlibCode;
    check.text = FirmwareCheckText(result, std::string(), zlibCode);
    return check;
}

// Input is handed to zlib in steps of this size (a uInt holds no more than 4 GiB).
constexpr uint64_t kInputStep = 64 * 1024;

// Expands the payload through a small window and keeps only the image's first bytes, the
// only ones the check reads, so memory stays small whatever size the header claims.
// Returns what uncompress would: Z_OK, Z_BUF_ERROR when the stream holds more than
// `capacity` bytes, Z_DATA_ERROR when it is corrupt or cut short.
int InflatePrefix(const uint8_t* source, uint64_t sourceLength, uint64_t capacity, uint8_t* prefix,
                  size_t prefixSize, uint64_t* expandedLength) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return Z_MEM_ERROR;
    uint8_t window[16384];
    uint64_t produced = 0;
    uint64_t sourceLeft = sourceLength;
    stream.next_in = const_cast<Bytef*>(source);
    int code = Z_OK;
    while (code == Z_OK) {
        if (stream.avail_in == 0 && sourceLeft > 0) {
            stream.avail_in = static_cast<uInt>(std::min<uint64_t>(sourceLeft, kInputStep));
            sourceLeft -= stream.avail_in;
        }
        const uint64_t room = capacity - produced;
        // One spare byte past the capacity shows a stream that holds more than it.
        stream.next_out = window;
        stream.avail_out = static_cast<uInt>(std::min<uint64_t>(sizeof window, room + 1));
        const uInt offered = stream.avail_out;
        code = inflate(&stream, Z_NO_FLUSH);
        const uInt got = offered - stream.avail_out;
        if (produced < prefixSize) {
            const size_t copied = static_cast<size_t>(std::min<uint64_t>(got, prefixSize - produced));
            std::copy(window, window + copied, prefix + produced);
        }
        produced += got;
        if (produced > capacity) {
            code = Z_BUF_ERROR;
            break;
        }
        if (code == Z_BUF_ERROR && (stream.avail_in > 0 || sourceLeft == 0)) {
            code = Z_DATA_ERROR;  // no progress: the stream is cut short
            break;
        }
        if (code == Z_BUF_ERROR) code = Z_OK;  // the next piece of input is handed over above
    }
    inflateEnd(&stream);
    if (code == Z_NEED_DICT) return Z_DATA_ERROR;
    if (code != Z_STREAM_END) return code;
    *expandedLength = produced;
    return Z_OK;
}

bool NewerThan2_0(const uint8_t* image) {
    unsigned major = ReadLe16(image + FIRMWARE_VERSION_MAJOR_OFFSET);
    unsigned minor = ReadLe16(image + FIRMWARE_VERSION_MINOR_OFFSET);
    return major > 2 || (major == 2 && minor >= 1);
}

}  // namespace

FirmwareFileHeader FirmwareFileHeader::Parse(const uint8_t* bytes) {
    FirmwareFileHeader header{};
    std::copy(bytes, bytes + 4, header.leading);
    header.expandedSize = ReadLe32(bytes + 4);
    header.storedSize = ReadLe32(bytes + 8);
    header.applicationCount = ReadLe16(bytes + 12);
    header.flags = ReadLe16(bytes + 14);
    std::copy(bytes + 16, bytes + 32, header.trailing);
    return header;
}

std::string FirmwareCheckText(FirmwareCheckResult result, const std::string& path, int zlibCode) {
    switch (result) {
        case FwCheckOk: return std::string();
        case FwOpenFailed: return Format("Error opening '%s'", path);
        case FwOutOfMemory: return "Out of memory";
        case FwLzwNotSupported: return "LZW compression is no longer supported for the ZEL-5100";
        case FwDeviceTooOld14:
            return "The firmware version is to old to be updated directly, please upgrade to version 1.4 "
                   "or higher first..";
        case FwInflateFailed:
            return "Encountered error " + std::to_string(zlibCode) + ", during decompression";
        case FwNoApplications: return "Upgrade file doesn't contain any applications";
        case FwDeviceTooOld20:
            return "The firmware version is to old to be updated directly, please upgrade to version 2.0 "
                   "first..";
        case FwReadFailed: return Format("Error reading '%s'", path);
        case FwFileTooLarge:
            return "The firmware file is too large: it needs more than 65535 parts of 1024 bytes";
        case FwHeaderTooShort: return "The firmware file is too short to hold a firmware header";
        case FwInvalidSizeField: return "The firmware file header gives an invalid size";
        case FwStoredSizeBeyondEnd: return "The firmware file is shorter than the size its header gives";
        case FwImageTooShort: return "The firmware image is too short to hold its version";
        case FwNotRegularFile: return Format("'%s' is not a firmware file: choose a regular file", path);
    }
    return std::string();
}

FirmwareCheck CheckFirmwareData(const uint8_t* data, size_t size, int32_t firmwareVersion) {
    if (size > static_cast<uint64_t>(FIRMWARE_MAX_FILE_SIZE)) return Refuse(FwFileTooLarge);
    if (size < static_cast<size_t>(FIRMWARE_HEADER_SIZE)) return Refuse(FwHeaderTooShort);

    const FirmwareFileHeader header = FirmwareFileHeader::Parse(data);
    const uint8_t* image = data;
    size_t imageLength = size;
    uint8_t prefix[FIRMWARE_MIN_IMAGE_SIZE];

    if (header.Compressed()) {
        if (!header.Zlib()) return Refuse(FwLzwNotSupported);
        if (firmwareVersion < FIRMWARE_NEEDED_FOR_ZLIB) return Refuse(FwDeviceTooOld14);
        if (header.expandedSize < FIRMWARE_HEADER_SIZE || header.storedSize < FIRMWARE_HEADER_SIZE ||
            header.expandedSize > static_cast<uint32_t>(INT32_MAX))
            return Refuse(FwInvalidSizeField);
        if (header.storedSize > size) return Refuse(FwStoredSizeBeyondEnd);

        const uint64_t sourceLength = header.storedSize - FIRMWARE_HEADER_SIZE;
        const uint64_t capacity = header.expandedSize - FIRMWARE_HEADER_SIZE;
        std::copy(data, data + FIRMWARE_HEADER_SIZE, prefix);
        uint64_t expandedLength = 0;
        const int code =
            InflatePrefix(data + FIRMWARE_HEADER_SIZE, sourceLength, capacity, prefix + FIRMWARE_HEADER_SIZE,
                          sizeof prefix - FIRMWARE_HEADER_SIZE, &expandedLength);
        if (code == Z_MEM_ERROR) return Refuse(FwOutOfMemory);
        if (code != Z_OK) return Refuse(FwInflateFailed, code);
        image = prefix;
        // Only what the stream really expanded to counts as image.
        imageLength = FIRMWARE_HEADER_SIZE + expandedLength;
    }

    if (header.applicationCount == 0) return Refuse(FwNoApplications);
    if (imageLength < static_cast<size_t>(FIRMWARE_MIN_IMAGE_SIZE)) return Refuse(FwImageTooShort);
    if (NewerThan2_0(image) && firmwareVersion < FIRMWARE_NEEDED_FOR_NEWER_IMAGE)
        return Refuse(FwDeviceTooOld20);

    FirmwareCheck check;
    check.result = FwCheckOk;
    check.storedSize = static_cast<int32_t>(size);
    return check;
}

FirmwareCheck CheckFirmwareFile(const std::string& path, int32_t firmwareVersion, FirmwareStream& stream) {
    FirmwareCheck check;
    if (KindOfPath(path) == PathKind::Other) {
        stream.Close();
        check.result = FwNotRegularFile;
        check.text = FirmwareCheckText(FwNotRegularFile, path);
        return check;
    }
    if (!stream.Open(path)) {
        check.result = FwOpenFailed;
        check.text = FirmwareCheckText(FwOpenFailed, path);
        return check;
    }
    const int64_t size = stream.SizeAndRewind();
    if (size < 0) {
        stream.Close();
        check.result = FwOpenFailed;
        check.text = FirmwareCheckText(FwOpenFailed, path);
        return check;
    }
    if (size > FIRMWARE_MAX_FILE_SIZE) {
        stream.Close();
        return Refuse(FwFileTooLarge);
    }

    std::unique_ptr<uint8_t[]> contents(new (std::nothrow) uint8_t[size > 0 ? size : 1]);
    if (!contents) {
        stream.Close();
        return Refuse(FwOutOfMemory);
    }
    if (!stream.ReadExactly(contents.get(), static_cast<size_t>(size))) {
        stream.Close();
        check.result = FwReadFailed;
        check.text = FirmwareCheckText(FwReadFailed, path);
        return check;
    }

    check = CheckFirmwareData(contents.get(), static_cast<size_t>(size), firmwareVersion);
    if (check.result != FwCheckOk || !stream.Rewind()) {
        if (check.result == FwCheckOk) {
            check.result = FwReadFailed;
            check.text = FirmwareCheckText(FwReadFailed, path);
        }
        stream.Close();
    }
    return check;
}

int32_t FirmwarePartCount(const std::string& path) {
    FirmwareStream stream;
    if (!stream.Open(path)) return 0;
    const int64_t size = stream.SizeAndRewind();
    if (size <= 0) return 0;
    return static_cast<int32_t>(std::min<int64_t>((size + 1023) / 1024, INT32_MAX));
}
