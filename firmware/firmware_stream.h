// The firmware file held open during one upgrade attempt, read as raw bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "zel_protocol.h"

class FirmwareStream {
public:
    FirmwareStream() = default;
    ~FirmwareStream();
    FirmwareStream(const FirmwareStream&) = delete;
    FirmwareStream& operator=(const FirmwareStream&) = delete;

    // Opens the file for reading; any file held before is closed first.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Size in bytes, leaving the stream at its first byte; -1 when it cannot be taken.
    int64_t SizeAndRewind();
    bool Rewind();
    // Reads exactly `count` bytes from the current position.
    bool ReadExactly(uint8_t* destination, size_t count);

    // The upgrade's part reader: the next `count` bytes, or ZEL_E_UPG_FILE_ERROR when
    // they cannot all be delivered. A part ending exactly at the end of the file succeeds.
    ZelResult ReadPart(uint8_t* destination, int count);
    // The same as an upgrade read-part hook, with the stream as its context.
    static ZelResult ReadPartHook(void* context, uint8_t* destination, int count);

private:
    std::FILE* file_ = nullptr;
};
