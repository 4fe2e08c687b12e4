// Writes a firmware file for tests that run programs rather than code: a
// compressed image of random bytes (so that it stays several parts long),
// version 2.4. Usage: make_test_firmware OUT [IMAGE_BYTES]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "firmware_builder.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_test_firmware OUT [IMAGE_BYTES]\n");
        return 2;
    }
    FirmwareSpec recipe;
    recipe.compressed = true;
    recipe.major = 2;
    recipe.minor = 4;
    recipe.imageSize = argc > 2 ? size_t(std::strtoul(argv[2], nullptr, 10)) : 5000;
    recipe.randomPayload = true;
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
