// The device's side of the firmware upgrade, driven step by step through the protocol
// module: announcement, parts in both encodings, programming, erase, verify, and the
// firmware version that follows the image.
#include "sim_test_support.h"

#include <zlib.h>

#include <cstring>

#include "sim_image.h"
#include "zel_upgrade.h"

namespace {

std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<uint8_t>(seed >> 16);
    }
    return bytes;
}

void PutLe16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A firmware file whose image carries version major.minor; zlib-compressed on request.
std::vector<uint8_t> FirmwareFile(uint16_t major, uint16_t minor, bool compressed, size_t imageSize = 3000) {
    std::vector<uint8_t> image = Pattern(imageSize, major * 100u + minor);
    PutLe16(image, 12, 1);  // one application
    PutLe16(image, 76, major);
    PutLe16(image, 78, minor);
    if (!compressed) {
        PutLe16(image, 14, 0);
        return image;
    }
    uLongf capacity = compressBound(static_cast<uLong>(imageSize - 32));
    std::vector<uint8_t> file(32 + capacity);
    EXPECT_EQ(compress(file.data() + 32, &capacity, image.data() + 32, static_cast<uLong>(imageSize - 32)),
              Z_OK);
    file.resize(32 + capacity);
    std::memcpy(file.data(), image.data(), 32);
    PutLe32(file, 4, static_cast<uint32_t>(imageSize));
    PutLe32(file, 8, static_cast<uint32_t>(file.size()));
    PutLe16(file, 14, 0xC000);  // compressed, zlib
    return file;
}

class SimUpgradeTest : public SimTest {
protected:
    // Announces an image of `size` bytes as a type-1 upgrade does.
    void Announce(size_t size) {
        int parts = static_cast<int>((size + 1023) / 1024);
        ASSERT_EQ(ZelWriteSetting(0x80, 4, 1), ZEL_OK);
        ASSERT_EQ(ZelWriteSetting(0x80, 7, static_cast<uint32_t>(parts)), ZEL_OK);
        ASSERT_EQ(ZelWriteSetting(0x80, 8, 1024), ZEL_OK);
        ASSERT_EQ(ZelWriteSetting(0x80, 9, static_cast<uint32_t>(size - (parts - 1) * 1024)), ZEL_OK);
    }

    ZelResult SendPart(int category, const std::vector<uint8_t>& image, int part, bool sevenBit) {
        size_t from = static_cast<size_t>(part - 1) * 1024;
        int count = static_cast<int>(std::min<size_t>(1024, image.size() - from));
        std::memcpy(ZelPartBuffer, image.data() + from, static_cast<size_t>(count));
        int n = sevenBit ? ZelEncode7Bit(count) : ZelEncodeHex(count);
        return ZelWriteData(category, category == 0x80 ? 2 : 3, part, n);
    }

    void SendAllType1(const std::vector<uint8_t>& image, bool sevenBit) {
        Announce(image.size());
        int parts = static_cast<int>((image.size() + 1023) / 1024);
        for (int k = 1; k <= parts; ++k)
            ASSERT_EQ(SendPart(0x80, image, k, sevenBit), ZEL_OK) << "part " << k;
    }

    // Polls Error and Progress as the upgrade does until Progress reaches 100 or
    // Error turns non-zero; returns the Progress values read.
    std::vector<uint32_t> PollProgress(uint32_t* error) {
        std::vector<uint32_t> seen;
        for (int i = 0; i < 50; ++i) {
            clock.AdvanceMs(300);
            ZelReadSetting(0x80, 6, error);
            if (*error != 0) break;
            uint32_t progress = 0;
            if (ZelReadSetting(0x80, 5, &progress) == ZEL_OK) seen.push_back(progress);
            if (progress >= 100) break;
        }
        return seen;
    }
};

TEST_F(SimUpgradeTest, Type1ImageIsReassembledInBothEncodingsAndProgressRises) {
    for (bool sevenBit : {false, true}) {
        SCOPED_TRACE(sevenBit ? "7-bit" : "hex");
        SimConfig config;
        config.upgradeProgressSteps = 4;
        Start(config);
        std::vector<uint8_t> finished;
        device->OnImageFinished([&](const std::vector<uint8_t>& image) { finished = image; });
        std::vector<uint8_t> image = Pattern(2500, 1);
        SendAllType1(image, sevenBit);
        EXPECT_EQ(device->UpgradeImage(), image);
        EXPECT_TRUE(finished.empty());

        ASSERT_EQ(ZelWriteSetting(0x80, 3, 1), ZEL_OK);
        uint32_t error = 0;
        EXPECT_EQ(PollProgress(&error), (std::vector<uint32_t>{25, 50, 75, 100}));
        EXPECT_EQ(error, 0u);
        EXPECT_EQ(finished, image);
        SimUpgradeStatus status = device->UpgradeStatus();
        EXPECT_EQ(status.phase, SimUpgradePhase::Programmed);
        EXPECT_EQ(status.partsAnnounced, 3);
        EXPECT_EQ(status.lastPartSize, 452);
        EXPECT_EQ(sevenBit ? status.sevenBitParts : status.hexParts, 3);
    }
}

// A command whose reply the line lost comes again; the device is already carrying
// it out and answers it without starting over.
TEST_F(SimUpgradeTest, RepeatedUpdateAndEraseAreAnsweredAndChangeNothing) {
    Start(SimConfig());
    std::vector<uint8_t> image = Pattern(1500, 3);
    SendAllType1(image, true);
    ASSERT_EQ(ZelWriteSetting(0x80, 3, 1), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(0x80, 3, 1), ZEL_OK);
    uint32_t error = 0;
    EXPECT_EQ(PollProgress(&error).back(), 100u);
    EXPECT_EQ(error, 0u);
    ASSERT_EQ(ZelWriteSetting(0x80, 3, 1), ZEL_OK);
    EXPECT_EQ(device->UpgradeStatus().phase, SimUpgradePhase::Programmed);
    EXPECT_EQ(device->UpgradeImage(), image);

    SimConfig zel5137;
    zel5137.deviceType = 5137;
    zel5137.eraseBusyMs = 800;
    Start(zel5137);
    ASSERT_EQ(ZelWriteSetting(0x85, 2, 1), ZEL_OK);
    clock.AdvanceMs(400);
    ASSERT_EQ(ZelWriteSetting(0x85, 2, 1), ZEL_OK);
    clock.AdvanceMs(400);  // the erase ends when the first one would have
    uint32_t busy = 1;
    ASSERT_EQ(ZelReadSetting(1, 12, &busy), ZEL_OK);
    EXPECT_EQ(busy, 0u);
}

TEST_F(SimUpgradeTest, Type1PartsThatDoNotFitTheAnnouncementAreRefused) {
    Start();
    std::vector<uint8_t> image = Pattern(2500, 2);
    // Nothing announced yet.
    EXPECT_EQ(SendPart(0x80, image, 1, true), ZEL_E_ERROR_REPLY);
    Announce(image.size());
    EXPECT_EQ(SendPart(0x80, Pattern(4096, 2), 4, true), ZEL_E_ERROR_REPLY);  // beyond the count
    std::vector<uint8_t> shorter(image.begin(), image.begin() + 2000);
    EXPECT_EQ(SendPart(0x80, shorter, 2, true), ZEL_E_ERROR_REPLY);  // 976 bytes, not 1024
    std::memcpy(ZelTransferBuffer, "61626", 5);                      // odd digit count
    EXPECT_EQ(ZelWriteData(0x80, 2, 3, 5), ZEL_E_ERROR_REPLY);
    EXPECT_EQ(device->UpgradeStatus().partsReceived, 0);

    // A part sent twice (its reply was lost) is kept once.
    EXPECT_EQ(SendPart(0x80, image, 1, true), ZEL_OK);
    EXPECT_EQ(SendPart(0x80, image, 1, false), ZEL_OK);
    EXPECT_EQ(device->UpgradeStatus().partsReceived, 1);
    EXPECT_EQ(device->UpgradeStatus().partWrites, 2);
}

TEST_F(SimUpgradeTest, UpdateWithPartsMissingSetsError) {
    Start();
    std::vector<uint8_t> image = Pattern(2500, 3);
    Announce(image.size());
    ASSERT_EQ(SendPart(0x80, image, 1, true), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(0x80, 3, 1), ZEL_OK);
    uint32_t error = 0;
    PollProgress(&error);
    EXPECT_NE(error, 0u);
    EXPECT_EQ(device->UpgradeStatus().phase, SimUpgradePhase::Failed);
}

TEST_F(SimUpgradeTest, FailingDeviceReportsErrorPartWay) {
    SimConfig config;
    config.failUpgrade = true;
    config.upgradeProgressSteps = 4;
    Start(config);
    std::vector<uint8_t> image = Pattern(1024, 4);
    SendAllType1(image, true);
    ASSERT_EQ(ZelWriteSetting(0x80, 3, 1), ZEL_OK);
    uint32_t error = 0;
    std::vector<uint32_t> seen = PollProgress(&error);
    EXPECT_NE(error, 0u);
    ASSERT_FALSE(seen.empty());
    EXPECT_LT(seen.back(), 100u);
}

// After a type-1 upgrade the device runs the image's version from its next start.
TEST_F(SimUpgradeTest, FirmwareVersionFollowsTheImageAfterTheRestart) {
    struct Case {
        int firmware;
        bool compressed;
        uint16_t major, minor;
    };
    const Case cases[] = {{23, true, 3, 1}, {23, false, 2, 5}, {13, false, 1, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "v" << c.firmware << (c.compressed ? " zlib" : " plain"));
        SimConfig config;
        config.firmwareVersion = c.firmware;
        config.restartMs = 2000;
        Start(config);
        std::vector<uint8_t> file = FirmwareFile(c.major, c.minor, c.compressed);
        SendAllType1(file, c.firmware >= 14);
        ASSERT_EQ(ZelWriteSetting(0x80, 3, 1), ZEL_OK);
        uint32_t error = 0;
        PollProgress(&error);
        int expected = c.major * 10 + c.minor;
        EXPECT_EQ(device->PendingFirmwareVersion(), expected);
        EXPECT_EQ(device->FirmwareVersion(), c.firmware);
        if (c.firmware >= 14) {
            // Newer firmware waits for the host's Reboot ...
            EXPECT_FALSE(device->Restarting());
            EXPECT_EQ(ZelWriteSetting(3, 5, 1), ZEL_REPLY_IGNORED);
        }
        // ... older firmware restarts by itself once programming is done.
        EXPECT_TRUE(device->Restarting());
        clock.AdvanceMs(config.restartMs);
        uint32_t version = 0;
        ASSERT_EQ(ZelReadSetting(1, 3, &version), ZEL_OK);
        EXPECT_EQ(version, static_cast<uint32_t>(expected));
        EXPECT_EQ(device->UpgradeStatus().phase, SimUpgradePhase::Idle);
    }
}

TEST_F(SimUpgradeTest, Type2ErasesThenTakesPartsAndVerifies) {
    SimConfig config;
    config.deviceType = 5137;
    config.eraseBusyMs = 800;
    Start(config);
    uint32_t mode = 0, busy = 0, verify = 9;
    ASSERT_EQ(ZelReadSetting(0x85, 1, &mode), ZEL_OK);
    EXPECT_EQ(mode, 1u);
    ASSERT_EQ(ZelReadSetting(0x85, 4, &verify), ZEL_OK);
    EXPECT_EQ(verify, 0u);  // nothing erased or sent yet

    std::vector<uint8_t> image = Pattern(2100, 5);
    EXPECT_EQ(SendPart(0x85, image, 1, true), ZEL_E_ERROR_REPLY);  // not erased
    ASSERT_EQ(ZelWriteSetting(0x85, 2, 1), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(1, 12, &busy), ZEL_OK);
    EXPECT_EQ(busy, 1u);
    EXPECT_EQ(SendPart(0x85, image, 1, true), ZEL_E_B_REPLY);  // still erasing
    clock.AdvanceMs(800);
    ASSERT_EQ(ZelReadSetting(1, 12, &busy), ZEL_OK);
    EXPECT_EQ(busy, 0u);

    for (int k = 1; k <= 3; ++k)
        ASSERT_EQ(SendPart(0x85, image, k, true), ZEL_OK);
    EXPECT_EQ(device->UpgradeImage(), image);
    ASSERT_EQ(ZelReadSetting(0x85, 4, &verify), ZEL_OK);
    EXPECT_EQ(verify, 1u);
    EXPECT_EQ(device->UpgradeStatus().phase, SimUpgradePhase::Verified);
}

TEST_F(SimUpgradeTest, Type2VerifyFailsForAGapOrWhenToldTo) {
    SimConfig config;
    config.deviceType = 5137;
    config.eraseBusyMs = 0;
    Start(config);
    std::vector<uint8_t> image = Pattern(3000, 6);
    ASSERT_EQ(ZelWriteSetting(0x85, 2, 1), ZEL_OK);
    ASSERT_EQ(SendPart(0x85, image, 1, true), ZEL_OK);
    ASSERT_EQ(SendPart(0x85, image, 3, true), ZEL_OK);
    uint32_t verify = 9;
    ASSERT_EQ(ZelReadSetting(0x85, 4, &verify), ZEL_OK);
    EXPECT_EQ(verify, 0u);

    config.failUpgrade = true;
    Start(config);
    ASSERT_EQ(ZelWriteSetting(0x85, 2, 1), ZEL_OK);
    for (int k = 1; k <= 3; ++k)
        ASSERT_EQ(SendPart(0x85, image, k, true), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(0x85, 4, &verify), ZEL_OK);
    EXPECT_EQ(verify, 0u);

    // Erase needs Mode 1.
    config.upgradeMode = 0;
    Start(config);
    EXPECT_EQ(ZelWriteSetting(0x85, 2, 1), ZEL_E_ERROR_REPLY);
}

TEST(SimPartDecoding, BothEncodingsDecodeBackToThePart) {
    const uint8_t abc7[] = {0xE1, 0xC4, 0x8D, 0x83};
    std::vector<uint8_t> part;
    SimPartEncoding encoding;
    ASSERT_TRUE(DecodeSimPart(abc7, sizeof abc7, &part, &encoding));
    EXPECT_EQ(part, Bytes("abc"));
    EXPECT_EQ(encoding, SimPartEncoding::SevenBit);

    for (int size : {1, 2, 6, 7, 8, 13, 14, 100, 1023, 1024}) {
        SCOPED_TRACE(size);
        std::vector<uint8_t> original = Pattern(static_cast<size_t>(size), static_cast<uint32_t>(size));
        std::memcpy(ZelPartBuffer, original.data(), original.size());
        int n = ZelEncode7Bit(size);
        ASSERT_TRUE(DecodeSimPart(ZelTransferBuffer, static_cast<size_t>(n), &part, &encoding));
        EXPECT_EQ(part, original);
        n = ZelEncodeHex(size);
        ASSERT_TRUE(DecodeSimPart(ZelTransferBuffer, static_cast<size_t>(n), &part, &encoding));
        EXPECT_EQ(encoding, SimPartEncoding::Hex);
        EXPECT_EQ(part, original);
    }

    const uint8_t mixed[] = {0xE1, '4'};
    EXPECT_FALSE(DecodeSimPart(mixed, sizeof mixed, &part, &encoding));
    EXPECT_FALSE(DecodeSimPart(mixed, 0, &part, &encoding));
}

TEST(SimImageVersion, ReadFromPlainAndZlibFilesAndRefusedWhenUnreadable) {
    EXPECT_EQ(SimImageFirmwareVersion(FirmwareFile(2, 3, false)), 23);
    EXPECT_EQ(SimImageFirmwareVersion(FirmwareFile(3, 1, true)), 31);

    std::vector<uint8_t> shortFile(79, 0);
    EXPECT_EQ(SimImageFirmwareVersion(shortFile), std::nullopt);
    std::vector<uint8_t> lzw = FirmwareFile(2, 3, true);
    PutLe16(lzw, 14, 0x8000);
    EXPECT_EQ(SimImageFirmwareVersion(lzw), std::nullopt);
    std::vector<uint8_t> cut = FirmwareFile(2, 3, true);
    cut.resize(cut.size() / 2);
    EXPECT_EQ(SimImageFirmwareVersion(cut), std::nullopt);
    std::vector<uint8_t> huge = FirmwareFile(2, 3, true);
    PutLe32(huge, 4, 0xFFFFFFF0u);
    EXPECT_EQ(SimImageFirmwareVersion(huge), std::nullopt);
}

}  // namespace
