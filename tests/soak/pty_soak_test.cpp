// The soak over a pseudo-terminal, in real time: the serial link's own receive,
// transmit and drain against the simulated device on a lossy line. Fewer operations
// than in virtual time, since every lost reply costs its time-out for real.
#include <gtest/gtest.h>

#include <chrono>

#include "com_port.h"
#include "firmware_builder.h"
#include "front_end_upload.h"
#include "lossy_line.h"
#include "served_device.h"
#include "soak_checks.h"
#include "soak_plan.h"

namespace {

using Clock = std::chrono::steady_clock;

// Slack on top of the engine's own bound, for a loaded machine.
constexpr int kSchedulingSlackMs = 2000;

int64_t MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class PtySoak : public ::testing::Test {
protected:
    void TearDown() override {
        CloseComPort(&port_);
        ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    ComPort port_;
};

TEST_F(PtySoak, ReadsWritesAndAnUpgradeOnALossyLine) {
    constexpr int kOperations = 400;
    SimConfig config = LossyDevice(31337);
    ServedDevice served(config);
    HostWriteLog log;
    log.Attach(served.Device());
    std::vector<std::vector<uint8_t>> finished;
    served.Device().OnImageFinished(
        [&finished](const std::vector<uint8_t>& image) { finished.push_back(image); });
    std::string error;
    ASSERT_TRUE(served.Start(&error)) << error;
    ASSERT_EQ(OpenComPort(&port_, served.PortName()), COM_OPEN_OK) << ComOpenFailureHint(port_);
    AttemptCounter counter;
    counter.Install();

    // Categories with the short time-out, so that lost replies stay cheap.
    SoakPlan plan(config, 8, {0x01, 0x02, 0x03, 0x81, 0x84});
    ShadowDevice shadow(config);
    std::vector<SoakOp> writes;
    int failed = 0;
    for (int i = 0; i < kOperations; ++i) {
        const SoakOp op = plan.Next();
        const Clock::time_point start = Clock::now();
        const int64_t sentBefore = counter.Transmits();
        uint64_t read = 0;
        const ZelResult result = RunSoakOp(op, &read);
        const int64_t sent = counter.Transmits() - sentBefore;
        SCOPED_TRACE(testing::Message()
                     << "operation " << i << ": " << (op.write ? "write" : "read") << " 0x" << std::hex
                     << op.category << std::dec << "/" << op.setting << " gave " << ZelResultName(result));
        ASSERT_LE(MsSince(start), ZEL_ATTEMPTS * (ZelCategoryTimeout(op.category) + ZEL_DRAIN_TIMEOUT_MS) +
                                      kSchedulingSlackMs);
        if (result != ZEL_OK) ++failed;
        if (!op.write) {
            ASSERT_TRUE(result == ZEL_OK || !Answered(result));
            if (result == ZEL_OK) {
                ASSERT_EQ(read, shadow.Value(op.category, op.setting));
            }
            continue;
        }
        writes.push_back(op);
        if (op.expectRefusal) {
            ASSERT_NE(result, ZEL_OK) << "a refused write reported as success";
            ASSERT_TRUE(result == ZEL_E_ERROR_REPLY || !Answered(result));
        } else {
            ASSERT_TRUE(result == ZEL_OK || !Answered(result));
        }
        // Only replies are lost on this line: every request sent reaches the device,
        // retries included (some writes count, like the persist command).
        for (int64_t k = 0; k < sent; ++k)
            shadow.Write(op.category, op.setting, op.value);
    }

    // A multi-part upgrade on the same line; the operator tries again after a failure.
    FirmwareSpec recipe;
    recipe.compressed = true;
    recipe.randomPayload = true;
    recipe.imageSize = 24 * 1024 + 100;
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    TempFile onDisk(file);
    ZelResult upgrade = ZEL_E_UPG_FAILED;
    for (int attempt = 0; attempt < 5 && upgrade != ZEL_OK; ++attempt) {
        FrontEndUpload upload;
        ASSERT_TRUE(upload.Run(onDisk.path(), config.firmwareVersion)) << upload.check.text;
        upgrade = upload.result;
    }
    EXPECT_EQ(upgrade, ZEL_OK);

    counter.Uninstall();
    CloseComPort(&port_);
    served.Unplug();
    ASSERT_FALSE(finished.empty());
    for (const std::vector<uint8_t>& image : finished)
        EXPECT_EQ(image, file);
    EXPECT_TRUE(WritesAsIntended(writes, log.Writes()));
    for (int key : plan.ReadableKeys()) {
        EXPECT_EQ(served.Device().Value(SoakCategory(key), SoakSetting(key)).value_or(~0ull),
                  shadow.Value(SoakCategory(key), SoakSetting(key)))
            << "0x" << std::hex << key;
    }
    const SimStats& stats = served.Device().Stats();
    std::printf(
        "[ soak ] %d operations over the terminal, %d failed; %llu replies dropped, %llu corrupted, "
        "%llu noisy, %llu delayed\n",
        kOperations, failed, (unsigned long long)stats.dropped, (unsigned long long)stats.corrupted,
        (unsigned long long)stats.noisy, (unsigned long long)stats.delayed);
}

}  // namespace
