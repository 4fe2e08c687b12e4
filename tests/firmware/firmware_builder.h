// Builds small firmware files for the tests: a 32-byte header, the image version at
// offsets 76 and 78, and either the plain image or a zlib-compressed payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FirmwareSpec {
    uint16_t applications = 1;
    bool compressed = false;
    bool zlib = true;  // method bit of a compressed file; false means LZW
    uint16_t major = 1;
    uint16_t minor = 5;
    size_t imageSize = 256;      // expanded image, header included
    bool randomPayload = false;  // incompressible content, for large multi-part files
    uint32_t seed = 1;
};

// The expanded image: header followed by the applications' bytes.
std::vector<uint8_t> BuildImage(const FirmwareSpec& recipe);
// The file as stored: the image itself, or its header and the compressed payload.
std::vector<uint8_t> BuildFirmwareFile(const FirmwareSpec& recipe);

void PutLe16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value);
void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);

// A file in a fresh temporary directory, removed with the object.
class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& contents, const std::string& name = "image.zel");
    ~TempFile();
    const std::string& path() const { return path_; }
    const std::string& directory() const { return directory_; }

private:
    std::string directory_;
    std::string path_;
};
