// The check over truncated and bit-flipped variants of valid files. Each variant sits in a
// heap block of exactly its size, so any read past it fails under AddressSanitizer.
#include <gtest/gtest.h>

#include <memory>

#include "firmware_builder.h"
#include "firmware_check.h"

namespace {

void ExpectSound(const std::vector<uint8_t>& variant, const char* what, size_t where) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[variant.size() ? variant.size() : 1]);
    std::copy(variant.begin(), variant.end(), copy.get());
    const FirmwareCheck check = CheckFirmwareData(copy.get(), variant.size(), 20);
    ASSERT_GE(check.result, FwCheckOk) << what << " " << where;
    ASSERT_LE(check.result, FwImageTooShort) << what << " " << where;
    if (check.result == FwCheckOk)
        ASSERT_EQ(check.storedSize, static_cast<int32_t>(variant.size())) << what << " " << where;
    else
        ASSERT_FALSE(check.text.empty()) << what << " " << where;
}

std::vector<std::vector<uint8_t>> ValidFiles() {
    FirmwareSpec packed;
    packed.compressed = true;
    packed.imageSize = 6000;  // highly compressible: a small stream that expands a lot
    FirmwareSpec noisy = packed;
    noisy.imageSize = 700;
    noisy.randomPayload = true;
    FirmwareSpec plain;
    plain.imageSize = 120;
    plain.major = 2;
    plain.minor = 1;
    return {BuildFirmwareFile(packed), BuildFirmwareFile(noisy), BuildFirmwareFile(plain)};
}

TEST(FirmwareCheckRobustness, EveryTruncation) {
    for (const std::vector<uint8_t>& file : ValidFiles()) {
        ExpectSound(file, "whole", file.size());
        for (size_t length = 0; length < file.size(); ++length)
            ExpectSound(std::vector<uint8_t>(file.begin(), file.begin() + length), "truncated to", length);
    }
}

TEST(FirmwareCheckRobustness, EverySingleBitFlip) {
    for (const std::vector<uint8_t>& file : ValidFiles()) {
        for (size_t bit = 0; bit < file.size() * 8; ++bit) {
            std::vector<uint8_t> variant = file;
            variant[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
            ExpectSound(variant, "bit flipped", bit);
        }
    }
}

TEST(FirmwareCheckRobustness, FlippedHeaderOnTruncatedFiles) {
    const std::vector<uint8_t> file = ValidFiles()[0];
    for (size_t length = 32; length < file.size(); length += 5) {
        for (size_t bit = 32; bit < 128; ++bit) {  // the size and flag fields
            std::vector<uint8_t> variant(file.begin(), file.begin() + length);
            variant[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
            ExpectSound(variant, "header flip on length", length * 1000 + bit);
        }
    }
}

}  // namespace
