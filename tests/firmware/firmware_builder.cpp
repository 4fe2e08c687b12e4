#include "firmware_builder.h"

#include <filesystem>

#include "temp_folder.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

void PutLe16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
    bytes.at(offset) = static_cast<uint8_t>(value);
    bytes.at(offset + 1) = static_cast<uint8_t>(value >> 8);
}

void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> BuildImage(const FirmwareSpec& recipe) {
    std::vector<uint8_t> image(recipe.imageSize);
    uint32_t state = recipe.seed * 2654435761u + 1;
    for (size_t i = 0; i < image.size(); ++i) {
        state = state * 1103515245u + 12345u;
        image[i] =
            recipe.randomPayload ? static_cast<uint8_t>(state >> 24) : static_cast<uint8_t>(i % 7 + 'a');
    }
    if (image.size() >= 32) {
        // Bytes the device owns; the check passes them on untouched.
        for (int i = 0; i < 4; ++i)
            image[i] = static_cast<uint8_t>(0xA0 + i);
        for (int i = 16; i < 32; ++i)
            image[i] = static_cast<uint8_t>(0xB0 + i);
        PutLe32(image, 4, static_cast<uint32_t>(image.size()));
        PutLe32(image, 8, static_cast<uint32_t>(image.size()));
        PutLe16(image, 12, recipe.applications);
        PutLe16(image, 14, 0x0123);
    }
    if (image.size() >= 80) {
        PutLe16(image, 76, recipe.major);
        PutLe16(image, 78, recipe.minor);
    }
    return image;
}

std::vector<uint8_t> BuildFirmwareFile(const FirmwareSpec& recipe) {
    std::vector<uint8_t> image = BuildImage(recipe);
    if (!recipe.compressed) return image;

    uLongf length = compressBound(image.size() - 32);
    std::vector<uint8_t> file(32 + length);
    if (compress(file.data() + 32, &length, image.data() + 32, image.size() - 32) != Z_OK)
        throw std::runtime_error("compress failed");
    file.resize(32 + length);
    std::copy(image.begin(), image.begin() + 32, file.begin());
    PutLe32(file, 4, static_cast<uint32_t>(image.size()));
    PutLe32(file, 8, static_cast<uint32_t>(file.size()));
    PutLe16(file, 14, static_cast<uint16_t>(0x8000 | (recipe.zlib ? 0x4000 : 0) | 0x0123));
    return file;
}

TempFile::TempFile(const std::vector<uint8_t>& contents, const std::string& name) {
    directory_ = MakeTempFolder("zelfw");
    path_ = directory_ + "/" + name;
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot create " + path_);
    if (!contents.empty()) std::fwrite(contents.data(), 1, contents.size(), file);
    std::fclose(file);
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
    std::error_code error;
    std::filesystem::remove(directory_, error);
}
