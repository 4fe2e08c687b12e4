// The device goes away in the middle of a refresh and in the middle of an upgrade:
// its terminal closes (unplugged cable or adapter), or it stops answering on a line
// that stays up. The operation in hand ends with an error within the engine's
// bound, and once the device is back the port opens again under the same name.
#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <chrono>

#include "com_port.h"
#include "firmware_builder.h"
#include "front_end_upload.h"
#include "served_device.h"
#include "settings_model.h"

namespace {

using Clock = std::chrono::steady_clock;

// Slack on top of the engine's own bound, for a loaded machine.
constexpr int kSchedulingSlackMs = 2000;
constexpr int kUpgradeBytes = 20 * 1024 + 7;
// Requests before the first part of a type-1 upgrade: Type twice, Firmware version,
// Abort and the three announcements.
constexpr int kUpgradeSetUpRequests = 7;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

// The engine's bound for one transaction whose attempts all go unanswered.
int64_t TransactionBoundMs(int category) {
    return ZEL_ATTEMPTS * (ZelCategoryTimeout(category) + ZEL_DRAIN_TIMEOUT_MS);
}

struct UnplugCase {
    const char* name;
    bool hangUp;         // the terminal closes; otherwise the device just falls silent
    bool duringUpgrade;  // otherwise during a refresh of the window's panels
};

void PrintTo(const UnplugCase& c, std::ostream* os) {
    *os << c.name;
}

class Unplug : public ::testing::TestWithParam<UnplugCase> {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelunplug.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        link_ = directory_ + "/ttyZEL";
    }
    void TearDown() override {
        CloseComPort(&port_);
        ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
        ::unlink(link_.c_str());
        ::rmdir(directory_.c_str());
    }

    static std::vector<uint8_t> UpgradeFile() {
        FirmwareSpec recipe;
        recipe.compressed = true;
        recipe.randomPayload = true;
        recipe.imageSize = kUpgradeBytes;
        return BuildFirmwareFile(recipe);
    }

    std::string directory_;
    std::string link_;
    ComPort port_;
};

TEST_P(Unplug, TheOperationEndsWithAnErrorInBoundedTimeAndThePortOpensAgain) {
    const UnplugCase& c = GetParam();
    // The device goes away when it takes in this request: the sixth part of the
    // upgrade, or a read in the middle of the second panel of a refresh.
    const int64_t goneAt = c.duringUpgrade ? kUpgradeSetUpRequests + 6 : 7;

    SimConfig config;
    config.countersMove = false;
    if (!c.hangUp) config.faults.silentAfterFrames = goneAt - 1;
    ServedDevice first(config, link_);
    std::atomic<int64_t> goneAtMs{0};
    int64_t requests = 0;  // counted on the serving thread
    first.Device().OnTrace([&, hangUp = c.hangUp](bool fromHost, const std::vector<uint8_t>&) {
        if (!fromHost || ++requests != goneAt) return;
        goneAtMs = NowMs();
        if (hangUp) first.UnplugFromCallback();
    });
    std::string error;
    ASSERT_TRUE(first.Start(&error)) << error;
    ASSERT_EQ(OpenComPort(&port_, link_), COM_OPEN_OK) << ComOpenFailureHint(port_);

    ZelResult result = ZEL_OK;
    int failedCategory = 0x80;
    if (c.duringUpgrade) {
        const std::vector<uint8_t> file = UpgradeFile();
        TempFile onDisk(file);
        FrontEndUpload upload;
        ASSERT_TRUE(upload.Run(onDisk.path(), config.firmwareVersion)) << upload.check.text;
        result = upload.result;
    } else {
        // The window's refresh of every panel in mode 1, setting by setting, until one fails.
        for (int round = 0; round < 2 && result == ZEL_OK; ++round) {
            for (int category : UsableCategories(1)) {
                for (const SettingView& view : FindPanel(category)->settings) {
                    uint64_t value = 0;
                    result = ZelReadSetting64(view.category, view.setting, &value);
                    failedCategory = view.category;
                    if (result != ZEL_OK) break;
                }
                if (result != ZEL_OK) break;
            }
        }
    }
    const int64_t endedMs = NowMs();

    ASSERT_NE(goneAtMs.load(), 0) << "the device never went away";
    EXPECT_NE(result, ZEL_OK);
    if (c.hangUp) {
        // The link notices the hang-up: writes fail, receives end at once.
        EXPECT_TRUE(result == ZEL_E_TX_FAILED || result == ZEL_E_RX_FAILED) << ZelResultName(result);
    } else {
        EXPECT_EQ(result, ZEL_E_RX_FAILED) << ZelResultName(result);
    }
    const int64_t tookMs = endedMs - goneAtMs.load();
    EXPECT_LE(tookMs, TransactionBoundMs(failedCategory) + kSchedulingSlackMs);
    std::printf("[ unplug ] %s: %s %lld ms after the device went away (bound %lld ms)\n", c.name,
                ZelResultName(result), (long long)tookMs, (long long)TransactionBoundMs(failedCategory));

    first.Unplug();
    CloseComPort(&port_);
    // While the device is away, choosing its port fails cleanly.
    if (c.hangUp) {
        EXPECT_EQ(OpenComPort(&port_, link_), COM_OPEN_FAILED);
    }

    // The device is back under the same name: the port opens and the device answers.
    SimConfig back;
    back.countersMove = false;
    ServedDevice second(back, link_);
    std::vector<std::vector<uint8_t>> finished;
    second.Device().OnImageFinished(
        [&finished](const std::vector<uint8_t>& image) { finished.push_back(image); });
    ASSERT_TRUE(second.Start(&error)) << error;
    ASSERT_EQ(OpenComPort(&port_, link_), COM_OPEN_OK) << ComOpenFailureHint(port_);
    uint32_t type = 0;
    EXPECT_EQ(ZelReadSetting(0x01, 5, &type), ZEL_OK);
    EXPECT_EQ(type, 5100u);
    if (c.duringUpgrade) {
        const std::vector<uint8_t> file = UpgradeFile();
        TempFile onDisk(file);
        FrontEndUpload upload;
        ASSERT_TRUE(upload.Run(onDisk.path(), back.firmwareVersion)) << upload.check.text;
        EXPECT_EQ(upload.result, ZEL_OK) << ZelResultName(upload.result);
        CloseComPort(&port_);
        second.Unplug();
        ASSERT_EQ(finished.size(), 1u);
        EXPECT_EQ(finished[0], file);
    }
}

INSTANTIATE_TEST_SUITE_P(FarEnd, Unplug,
                         ::testing::Values(UnplugCase{"HangUpDuringRefresh", true, false},
                                           UnplugCase{"HangUpDuringUpgrade", true, true},
                                           UnplugCase{"SilentDuringRefresh", false, false},
                                           UnplugCase{"SilentDuringUpgrade", false, true}),
                         [](const ::testing::TestParamInfo<UnplugCase>& info) { return info.param.name; });

}  // namespace
