// Whole upgrades over a pseudo-terminal: the serial link talks to the simulated device
// served on the terminal's other side, in real time.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <thread>

#include "com_port.h"
#include "firmware_builder.h"
#include "front_end_upload.h"
#include "sim_pty_server.h"

namespace {

class PtyUpgrade : public ::testing::Test {
protected:
    void TearDown() override {
        Stop();
        ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    }

    // Serves a device with this configuration, sends it a zlib file of more than
    // 100 KiB through the serial link, and checks that it arrived byte-exact.
    void UploadTo(SimConfig config) {
        config.countersMove = false;
        config.firmwareVersion = 23;
        device_ = std::make_unique<SimDevice>(config, clock_);
        device_->OnImageFinished([this](const std::vector<uint8_t>& image) {
            finishedImages_.push_back(image);
            finishedStatus_ = device_->UpgradeStatus();
        });
        server_ = std::make_unique<SimPtyServer>(*device_, clock_);
        std::string error;
        ASSERT_TRUE(server_->Open("", &error)) << error;
        thread_ = std::thread([this] { server_->Serve(&stop_); });
        ASSERT_EQ(OpenComPort(&port_, server_->SlavePath()), COM_OPEN_OK) << ComOpenFailureHint(port_);

        FirmwareSpec recipe;
        recipe.compressed = true;
        recipe.randomPayload = true;
        recipe.imageSize = 110 * 1024 + 5;
        recipe.seed = 11;
        const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
        ASSERT_GE(file.size(), 100u * 1024);
        TempFile onDisk(file);
        FrontEndUpload upload;
        ASSERT_TRUE(upload.Run(onDisk.path(), 23)) << upload.check.text;
        EXPECT_EQ(upload.result, ZEL_OK) << ZelResultName(upload.result);
        Stop();

        ASSERT_EQ(finishedImages_.size(), 1u);
        EXPECT_EQ(finishedImages_[0], file);
        EXPECT_EQ(finishedStatus_.partsReceived, static_cast<int>((file.size() + 1023) / 1024));
        EXPECT_EQ(finishedStatus_.hexParts, 0);
    }

    // Stops the server so that what the device kept can be read without a race.
    void Stop() {
        CloseComPort(&port_);
        stop_ = 1;
        if (thread_.joinable()) thread_.join();
    }

    SteadyClock clock_;
    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<SimPtyServer> server_;
    volatile std::sig_atomic_t stop_ = 0;
    std::thread thread_;
    ComPort port_;
    std::vector<std::vector<uint8_t>> finishedImages_;
    SimUpgradeStatus finishedStatus_;
};

TEST_F(PtyUpgrade, ZlibFileToA5100ArrivesByteExactInSevenBit) {
    SimConfig config;
    config.deviceType = 5100;
    UploadTo(config);
    EXPECT_EQ(finishedStatus_.upgradeType, 1);
}

TEST_F(PtyUpgrade, ZlibFileToA5137ArrivesByteExact) {
    SimConfig config;
    config.deviceType = 5137;
    config.eraseBusyMs = 300;
    UploadTo(config);
    EXPECT_EQ(finishedStatus_.upgradeType, 2);
    EXPECT_EQ(finishedStatus_.phase, SimUpgradePhase::Verified);
}

TEST_F(PtyUpgrade, LostReplyMidTransferIsRecovered) {
    SimConfig config;
    config.deviceType = 5100;
    config.faults.dropReplyPercent = 2;
    config.faults.seed = 3;
    UploadTo(config);
    // At least one part's reply was lost: the device took that part twice.
    EXPECT_GT(finishedStatus_.partWrites, finishedStatus_.partsReceived);
}

}  // namespace
