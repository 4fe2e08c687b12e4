// Whole upgrades against the simulated device, in virtual time: the file a front end
// checks and sends arrives at the device byte-exact, through both upgrade types, both
// encodings and a lossy line.
#include <gtest/gtest.h>

#include "firmware_builder.h"
#include "front_end_upload.h"
#include "sim_transport.h"

namespace {

constexpr const char* FINISHED_TEXT = "Firmware upgrade current phase: Finished, current progress: 100";

// A multi-part zlib file of more than 100 KiB: the payload does not compress.
std::vector<uint8_t> LargeZlibFile() {
    FirmwareSpec spec;
    spec.compressed = true;
    spec.randomPayload = true;
    spec.imageSize = 120 * 1024 + 77;
    std::vector<uint8_t> file = BuildFirmwareFile(spec);
    EXPECT_GE(file.size(), 100u * 1024);
    return file;
}

class SimulatorUpgrade : public ::testing::Test {
protected:
    void Start(const SimConfig& config) {
        transport_.reset();
        device_ = std::make_unique<SimDevice>(config, clock_);
        device_->OnImageFinished([this](const std::vector<uint8_t>& image) {
            finishedImages.push_back(image);
            finishedStatus = device_->UpgradeStatus();
        });
        transport_ = std::make_unique<SimTransport>(*device_, clock_);
        transport_->SetRecording(false);
        transport_->Install();
    }

    static SimConfig Config(int deviceType, int firmwareVersion) {
        SimConfig config;
        config.deviceType = deviceType;
        config.firmwareVersion = firmwareVersion;
        config.countersMove = false;
        return config;
    }

    size_t Parts(const std::vector<uint8_t>& file) const { return (file.size() + 1023) / 1024; }

    VirtualClock clock_;
    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<SimTransport> transport_;
    std::vector<std::vector<uint8_t>> finishedImages;
    SimUpgradeStatus finishedStatus;
    FrontEndUpload upload;
};

TEST_F(SimulatorUpgrade, Type1ZlibFileArrivesSevenBitAndTheDeviceRestarts) {
    Start(Config(5100, 23));
    const std::vector<uint8_t> file = LargeZlibFile();
    TempFile onDisk(file);
    ASSERT_TRUE(upload.Run(onDisk.path(), 23)) << upload.check.text;
    EXPECT_EQ(upload.result, ZEL_OK);

    ASSERT_EQ(finishedImages.size(), 1u);
    EXPECT_EQ(finishedImages[0], file);
    EXPECT_EQ(finishedStatus.upgradeType, 1);
    EXPECT_EQ(finishedStatus.partsAnnounced, static_cast<int>(Parts(file)));
    EXPECT_EQ(finishedStatus.sevenBitParts, static_cast<int>(Parts(file)));
    EXPECT_EQ(finishedStatus.hexParts, 0);
    EXPECT_EQ(upload.statusTexts.back(), FINISHED_TEXT);
    EXPECT_EQ(device_->Stats().restarts, 1u);  // the closing Reboot write
}

TEST_F(SimulatorUpgrade, Type1OnFirmware13SendsHex) {
    Start(Config(5100, 13));
    FirmwareSpec spec;  // firmware 1.3 cannot take a zlib file
    spec.imageSize = 5 * 1024 + 1;
    spec.randomPayload = true;
    const std::vector<uint8_t> file = BuildFirmwareFile(spec);
    TempFile onDisk(file);
    ASSERT_TRUE(upload.Run(onDisk.path(), 13)) << upload.check.text;
    EXPECT_EQ(upload.result, ZEL_OK);

    ASSERT_EQ(finishedImages.size(), 1u);
    EXPECT_EQ(finishedImages[0], file);
    EXPECT_EQ(finishedStatus.hexParts, 6);
    EXPECT_EQ(finishedStatus.sevenBitParts, 0);
}

TEST_F(SimulatorUpgrade, Type2ZlibFileArrivesAfterTheErase) {
    Start(Config(5137, 23));
    const std::vector<uint8_t> file = LargeZlibFile();
    TempFile onDisk(file);
    ASSERT_TRUE(upload.Run(onDisk.path(), 23)) << upload.check.text;
    EXPECT_EQ(upload.result, ZEL_OK);

    ASSERT_EQ(finishedImages.size(), 1u);
    EXPECT_EQ(finishedImages[0], file);
    EXPECT_EQ(finishedStatus.upgradeType, 2);
    EXPECT_EQ(finishedStatus.phase, SimUpgradePhase::Verified);
    EXPECT_EQ(finishedStatus.sevenBitParts, static_cast<int>(Parts(file)));
    EXPECT_EQ(upload.statusTexts.back(), FINISHED_TEXT);
}

TEST_F(SimulatorUpgrade, LostRepliesAreRecoveredAndTheImageStillArrives) {
    for (int deviceType : {5100, 5137}) {
        SimConfig config = Config(deviceType, 23);
        config.faults.dropReplyPercent = 3;
        config.faults.seed = 5;
        Start(config);
        finishedImages.clear();
        const std::vector<uint8_t> file = LargeZlibFile();
        TempFile onDisk(file);
        ASSERT_TRUE(upload.Run(onDisk.path(), 23)) << upload.check.text;
        EXPECT_EQ(upload.result, ZEL_OK) << deviceType;

        ASSERT_EQ(finishedImages.size(), 1u) << deviceType;
        EXPECT_EQ(finishedImages[0], file) << deviceType;
        // A part whose reply was lost was taken by the device and sent again.
        EXPECT_GT(finishedStatus.partWrites, finishedStatus.partsReceived) << deviceType;
        EXPECT_GT(device_->Stats().dropped, 0u) << deviceType;
    }
}

TEST_F(SimulatorUpgrade, Type2InTheWrongModeIsRefusedBeforeTheErase) {
    SimConfig config = Config(5137, 23);
    config.upgradeMode = 0;
    Start(config);
    TempFile onDisk(LargeZlibFile());
    ASSERT_TRUE(upload.Run(onDisk.path(), 23));
    EXPECT_EQ(upload.result, ZEL_E_INVALID_MODE);
    EXPECT_EQ(device_->UpgradeStatus().phase, SimUpgradePhase::Idle);
}

TEST_F(SimulatorUpgrade, DeviceThatFailsIsReported) {
    const struct {
        int deviceType;
        ZelResult result;
    } cases[] = {{5100, ZEL_E_UPG_FAILED}, {5137, ZEL_E_UPG_VERIFY_FAILED}};
    for (const auto& c : cases) {
        SimConfig config = Config(c.deviceType, 23);
        config.failUpgrade = true;
        Start(config);
        TempFile onDisk(LargeZlibFile());
        ASSERT_TRUE(upload.Run(onDisk.path(), 23));
        EXPECT_EQ(upload.result, c.result) << c.deviceType;
        EXPECT_NE(upload.statusTexts.back(), FINISHED_TEXT) << c.deviceType;
    }
}

}  // namespace
