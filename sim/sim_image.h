// The firmware image as the device receives it: the two encodings of a part, and
// the version fields of a finished image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

enum class SimPartEncoding { Hex, SevenBit };

// Decodes the data field of a File part or Programming data write: two hex digits
// per byte in image order, or 7-bit groups (every byte 0x80..0xFF) read back into
// floor(7 m / 8) bytes. False for anything else (mixed, odd digit count, empty).
bool DecodeSimPart(const uint8_t* data, size_t length, std::vector<uint8_t>* part, SimPartEncoding* encoding);

// Firmware version in tenths (major x 10 + minor) from the version fields at offsets
// 76 and 78 of the image a firmware file holds; a zlib-compressed file is expanded
// first. Nothing when the file is too short, not expandable or uses another method.
std::optional<int> SimImageFirmwareVersion(const std::vector<uint8_t>& file);
