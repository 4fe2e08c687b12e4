// Whole upgrades against the simulated device, in virtual time: the file a front end
// checks and sends arrives at the device byte-exact, through both upgrade types, both
// encodings and a lossy line.
#include <gtest/gtest.h>

#include "firmware_builder.h"
#include "front_end_upload.h"
#include "sim_transport.h"

namespace {

constexpr const char* FINISHED_TEXT = "Firmware upgrade current phase: Finished, current progress: 100";

class SimulatorUpgrade : public ::testing::Test {
protected:
    void Start(int deviceType, int firmwareVersion, void (*adjust)(SimConfig&) = nullptr) {
        SimConfig config;
        config.deviceType = deviceType;
        config.firmwareVersion = firmwareVersion;
        config.countersMove = false;
        if (adjust) adjust(config);
        transport_.reset();
        finishedImages.clear();
        device_ = std::make_unique<SimDevice>(config, clock_);
        device_->OnImageFinished([this](const std::vector<uint8_t>& image) {
            finishedImages.push_back(image);
            finishedStatus = device_->UpgradeStatus();
        });
        transport_ = std::make_unique<SimTransport>(*device_, clock_);
        transport_->SetRecording(false);
        transport_->Install();
    }

    // Checks and sends the file as a front end does; the check must pass.
    ZelResult Upload(const std::vector<uint8_t>& file, int32_t firmwareVersion) {
        TempFile onDisk(file);
        upload = FrontEndUpload();
        if (!upload.Run(onDisk.path(), firmwareVersion)) {
            ADD_FAILURE() << upload.check.text;
            return -1;
        }
        return upload.result;
    }

    void ExpectArrived(const std::vector<uint8_t>& file) {
        ASSERT_EQ(finishedImages.size(), 1u);
        EXPECT_EQ(finishedImages[0], file);
        EXPECT_EQ(upload.statusTexts.back(), FINISHED_TEXT);
    }

    // A multi-part zlib file of more than 100 KiB: the payload does not compress.
    static std::vector<uint8_t> LargeZlibFile() {
        FirmwareSpec recipe;
        recipe.compressed = true;
        recipe.randomPayload = true;
        recipe.imageSize = 120 * 1024 + 77;
        std::vector<uint8_t> file = BuildFirmwareFile(recipe);
        EXPECT_GE(file.size(), 100u * 1024);
        return file;
    }

    static int Parts(const std::vector<uint8_t>& file) {
        return static_cast<int>((file.size() + 1023) / 1024);
    }

    VirtualClock clock_;
    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<SimTransport> transport_;
    std::vector<std::vector<uint8_t>> finishedImages;
    SimUpgradeStatus finishedStatus;
    FrontEndUpload upload;
};

TEST_F(SimulatorUpgrade, Type1ZlibFileArrivesSevenBitAndTheDeviceRestarts) {
    Start(5100, 23);
    const std::vector<uint8_t> file = LargeZlibFile();
    EXPECT_EQ(Upload(file, 23), ZEL_OK);
    ExpectArrived(file);
    EXPECT_EQ(finishedStatus.upgradeType, 1);
    EXPECT_EQ(finishedStatus.partsAnnounced, Parts(file));
    EXPECT_EQ(finishedStatus.sevenBitParts, Parts(file));
    EXPECT_EQ(finishedStatus.hexParts, 0);
    EXPECT_EQ(device_->Stats().restarts, 1u);  // the closing Reboot write
}

TEST_F(SimulatorUpgrade, Type1OnFirmware13SendsHex) {
    Start(5100, 13);
    FirmwareSpec recipe;  // firmware 1.3 cannot take a zlib file
    recipe.imageSize = 5 * 1024 + 1;
    recipe.randomPayload = true;
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    EXPECT_EQ(Upload(file, 13), ZEL_OK);
    ExpectArrived(file);
    EXPECT_EQ(finishedStatus.hexParts, 6);
    EXPECT_EQ(finishedStatus.sevenBitParts, 0);
}

TEST_F(SimulatorUpgrade, Type2ZlibFileArrivesAfterTheErase) {
    Start(5137, 23);
    const std::vector<uint8_t> file = LargeZlibFile();
    EXPECT_EQ(Upload(file, 23), ZEL_OK);
    ExpectArrived(file);
    EXPECT_EQ(finishedStatus.upgradeType, 2);
    EXPECT_EQ(finishedStatus.phase, SimUpgradePhase::Verified);
    EXPECT_EQ(finishedStatus.sevenBitParts, Parts(file));
}

TEST_F(SimulatorUpgrade, LostRepliesAreRecoveredAndTheImageStillArrives) {
    for (int deviceType : {5100, 5137}) {
        SCOPED_TRACE(deviceType);
        Start(deviceType, 23, [](SimConfig& config) {
            config.faults.dropReplyPercent = 3;
            config.faults.seed = 5;
        });
        const std::vector<uint8_t> file = LargeZlibFile();
        EXPECT_EQ(Upload(file, 23), ZEL_OK);
        ExpectArrived(file);
        // A part whose reply was lost was taken by the device and sent again.
        EXPECT_GT(finishedStatus.partWrites, finishedStatus.partsReceived);
    }
}

TEST_F(SimulatorUpgrade, Type2InTheWrongModeIsRefusedBeforeTheErase) {
    Start(5137, 23, [](SimConfig& config) { config.upgradeMode = 0; });
    EXPECT_EQ(Upload(LargeZlibFile(), 23), ZEL_E_INVALID_MODE);
    EXPECT_EQ(device_->UpgradeStatus().phase, SimUpgradePhase::Idle);
}

TEST_F(SimulatorUpgrade, DeviceThatFailsIsReported) {
    const struct {
        int deviceType;
        ZelResult result;
    } cases[] = {{5100, ZEL_E_UPG_FAILED}, {5137, ZEL_E_UPG_VERIFY_FAILED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceType);
        Start(c.deviceType, 23, [](SimConfig& config) { config.failUpgrade = true; });
        EXPECT_EQ(Upload(LargeZlibFile(), 23), c.result);
        EXPECT_NE(upload.statusTexts.back(), FINISHED_TEXT);
    }
}

}  // namespace
