// A firmware upgrade against the scripted device: the image the read-part hook serves, the
// progress reports it receives, and the image reassembled from the data writes.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "scripted_device.h"
#include "zel_upgrade.h"

class UpgradeTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.Install();
        ZelSetUpgradeHooks(ReadPart, this, Progress, this);
    }
    void TearDown() override { ZelSetUpgradeHooks(nullptr, nullptr, nullptr, nullptr); }

    void Device5100(int32_t firmwareVersion) {
        device.SetValue(0x01, 5, 5100);
        device.SetValue(0x01, 3, static_cast<uint32_t>(firmwareVersion));
        device.SetValue(0x80, 5, 100);
        device.SetValue(0x80, 6, 0);
    }
    void Device5137() {
        device.SetValue(0x01, 5, 5137);
        device.SetValue(0x01, 7, 1);
        device.SetValue(0x85, 1, 1);
        device.SetValue(0x01, 12, 0);
        device.SetValue(0x85, 4, 1);
    }

    void UseImage(size_t size, uint32_t seed = 7) {
        image.resize(size);
        for (size_t i = 0; i < size; ++i) {
            seed = seed * 1103515245u + 12345u;
            image[i] = static_cast<uint8_t>(seed >> 24);
        }
        readOffset = 0;
    }

    // The image as the device would store it: the last write of each part, decoded.
    std::vector<uint8_t> Reassembled(int category, int setting, bool sevenBit) const {
        std::map<int, std::vector<uint8_t>> parts;
        for (const ScriptedRequest& r : device.RequestsTo(category, setting, false))
            parts[r.index] = r.data;
        std::vector<uint8_t> out;
        const size_t count = (image.size() + 1023) / 1024;
        for (size_t k = 1; k <= count; ++k) {
            auto found = parts.find(static_cast<int>(k));
            if (found == parts.end()) return {};
            const size_t size = k == count ? image.size() - (count - 1) * 1024 : 1024;
            std::vector<uint8_t> part = sevenBit ? Decode7Bit(found->second, size) : DecodeHex(found->second);
            out.insert(out.end(), part.begin(), part.end());
        }
        return out;
    }

    std::vector<int> PercentsOf(int phase) const {
        std::vector<int> out;
        for (const auto& r : reports)
            if (r.first == phase) out.push_back(r.second);
        return out;
    }

    static ZelResult ReadPart(void* context, uint8_t* destination, int count) {
        auto* self = static_cast<UpgradeTest*>(context);
        if (self->failReadAt == self->partsRead + 1) return ZEL_E_UPG_FILE_ERROR;
        if (count < 1 || count > 1024 || self->readOffset + count > self->image.size())
            return ZEL_E_UPG_FILE_ERROR;
        std::copy(self->image.begin() + self->readOffset, self->image.begin() + self->readOffset + count,
                  destination);
        self->readOffset += count;
        ++self->partsRead;
        return ZEL_OK;
    }

    static void Progress(void* context, int phase, int percent) {
        auto* self = static_cast<UpgradeTest*>(context);
        self->reports.emplace_back(phase, percent);
        self->device.Log("progress " + std::to_string(phase) + " " + std::to_string(percent));
    }

    ScriptedDevice device;
    std::vector<uint8_t> image;
    size_t readOffset = 0;
    int partsRead = 0;
    int failReadAt = 0;  // part number whose read fails; 0 for none
    std::vector<std::pair<int, int>> reports;
};
