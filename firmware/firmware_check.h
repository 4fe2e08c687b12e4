// The firmware file (".zel") and the check that decides whether the connected device
// can take it directly. Plain C++: the window and the command-line tool share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FirmwareStream;

constexpr int FIRMWARE_HEADER_SIZE = 32;
// The image's version fields, read after expansion for a compressed file.
constexpr int FIRMWARE_VERSION_MAJOR_OFFSET = 76;
constexpr int FIRMWARE_VERSION_MINOR_OFFSET = 78;
constexpr int FIRMWARE_MIN_IMAGE_SIZE = FIRMWARE_VERSION_MINOR_OFFSET + 2;
// Device firmware versions (in tenths) needed for a zlib file and for an image newer than 2.0.
constexpr int32_t FIRMWARE_NEEDED_FOR_ZLIB = 14;
constexpr int32_t FIRMWARE_NEEDED_FOR_NEWER_IMAGE = 20;
// The transfer numbers its 1024-byte parts in 16 bits.
constexpr int64_t FIRMWARE_MAX_FILE_SIZE = int64_t{65535} * 1024;

// The 32-byte little-endian header at the start of every firmware file.
struct FirmwareFileHeader {
    static constexpr uint16_t FLAG_COMPRESSED = 0x8000;
    static constexpr uint16_t FLAG_ZLIB = 0x4000;  // clear in a compressed file: LZW

    uint8_t leading[4];     // the device's own, passed on unchanged
    uint32_t expandedSize;  // image size after expansion, header included
    uint32_t storedSize;    // header plus compressed payload
    uint16_t applicationCount;
    uint16_t flags;
    uint8_t trailing[16];  // the device's own, passed on unchanged

    // Decodes the first FIRMWARE_HEADER_SIZE bytes of `bytes`.
    static FirmwareFileHeader Parse(const uint8_t* bytes);
    bool Compressed() const { return (flags & FLAG_COMPRESSED) != 0; }
    bool Zlib() const { return (flags & FLAG_ZLIB) != 0; }
};

enum FirmwareCheckResult {
    FwCheckOk,
    FwOpenFailed,
    FwOutOfMemory,
    FwLzwNotSupported,
    FwDeviceTooOld14,
    FwInflateFailed,
    FwNoApplications,
    FwDeviceTooOld20,
    // Files the outcomes above do not cover; each is refused before anything is read
    // outside the file's own bytes.
    FwReadFailed,           // the file opened but could not be read in full
    FwFileTooLarge,         // more than 65535 parts of 1024 bytes
    FwHeaderTooShort,       // shorter than the 32-byte header
    FwInvalidSizeField,     // compressed file whose expanded or stored size is below 32 or absurd
    FwStoredSizeBeyondEnd,  // compressed file whose stored size runs past the end of the file
    FwImageTooShort,        // image too short to hold the version at offsets 76 to 79
    FwNotRegularFile,       // a folder, FIFO or device: refused before it is opened
};

struct FirmwareCheck {
    FirmwareCheckResult result = FwOpenFailed;
    int32_t storedSize = 0;  // FwCheckOk: the file's size as stored, header included
    int zlibCode = 0;        // FwInflateFailed: the code uncompress returned
    std::string text;        // what the user is shown; empty for FwCheckOk
};

// The text shown for an outcome; `path` fills the open/read texts, `zlibCode` the
// decompression text.
std::string FirmwareCheckText(FirmwareCheckResult result, const std::string& path = std::string(),
                              int zlibCode = 0);

// Runs every test on a file's contents held in memory. Reads only data[0, size).
FirmwareCheck CheckFirmwareData(const uint8_t* data, size_t size, int32_t firmwareVersion);

// Opens the file into `stream`, reads it whole and checks it. On FwCheckOk the stream
// stays open and positioned at the first byte, ready for the transfer; on any other
// outcome it is closed.
FirmwareCheck CheckFirmwareFile(const std::string& path, int32_t firmwareVersion, FirmwareStream& stream);

// Number of 1024-byte parts a file will be sent in; 0 when it cannot be opened.
int32_t FirmwarePartCount(const std::string& path);
