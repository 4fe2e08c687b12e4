// Thousands of reads and writes, and whole firmware upgrades, against the simulated
// device on a lossy line, in virtual time: every operation succeeds with the right
// value or reports its error, the device never holds a value nobody wrote, and the
// engine's three attempts hold up as well as the loss rate says they should.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include "firmware_builder.h"
#include "front_end_upload.h"
#include "lossy_line.h"
#include "sim_transport.h"
#include "soak_checks.h"
#include "soak_plan.h"

namespace {

std::string Describe(const SoakOp& op, int index) {
    char text[96];
    std::snprintf(text, sizeof text, "operation %d: %s 0x%02X/%d", index, op.write ? "write" : "read",
                  op.category, op.setting);
    return text;
}

class VirtualSoak : public ::testing::Test {
protected:
    void Start(const SimConfig& config) {
        config_ = config;
        device_ = std::make_unique<SimDevice>(config, clock_);
        transport_ = std::make_unique<SimTransport>(*device_, clock_);
        transport_->SetRecording(false);
        transport_->Install();
        counter_.Install();
        log_.Attach(*device_);
    }
    void TearDown() override {
        counter_.Uninstall();
        transport_.reset();
    }

    uint64_t Held(int key) { return device_->Value(SoakCategory(key), SoakSetting(key)).value_or(~0ull); }

    VirtualClock clock_{1000000};
    SimConfig config_;
    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<SimTransport> transport_;
    AttemptCounter counter_;
    HostWriteLog log_;
};

TEST_F(VirtualSoak, EveryOperationSucceedsWithTheRightValueOrReportsItsError) {
    constexpr int kOperations = 20000;
    Start(LossyDevice(20261210));
    SoakPlan plan(config_, 4711);

    std::map<int, uint64_t> held;
    for (int key : plan.WritableKeys())
        held[key] = Held(key);
    std::vector<SoakOp> writes;
    int64_t answeredAfter[4] = {};  // by the number of attempts it took
    int64_t unanswered = 0;

    for (int i = 0; i < kOperations; ++i) {
        const SoakOp op = plan.Next();
        const int key = SoakKey(op.category, op.setting);
        const int64_t sentBefore = counter_.Transmits();
        const int64_t startUs = clock_.NowUs();
        uint64_t read = 0;
        const ZelResult result = RunSoakOp(op, &read);
        const int64_t attempts = counter_.Transmits() - sentBefore;
        SCOPED_TRACE(Describe(op, i) + " gave " + ZelResultName(result));

        // Bounded: three attempts, each the time-out and a drain at most.
        ASSERT_LE(clock_.NowUs() - startUs,
                  int64_t(ZEL_ATTEMPTS) * (ZelCategoryTimeout(op.category) + ZEL_DRAIN_TIMEOUT_MS) * 1000);
        ASSERT_GE(attempts, 1);
        ASSERT_LE(attempts, ZEL_ATTEMPTS);
        if (Answered(result)) {
            ++answeredAfter[attempts];
        } else {
            ASSERT_EQ(attempts, ZEL_ATTEMPTS) << "gave up early";
            ++unanswered;
        }

        if (!op.write) {
            // The device refuses nothing the plan reads: a failure is the line's.
            ASSERT_TRUE(result == ZEL_OK || !Answered(result));
            if (result == ZEL_OK) {
                ASSERT_EQ(read, Held(key));
            }
        } else {
            writes.push_back(op);
            const uint64_t now = Held(key);
            if (op.expectRefusal) {
                ASSERT_NE(result, ZEL_OK) << "a refused write reported as success";
                ASSERT_TRUE(result == ZEL_E_ERROR_REPLY || !Answered(result));
                ASSERT_EQ(now, held[key]);
            } else {
                ASSERT_TRUE(result == ZEL_OK || !Answered(result));
                if (result == ZEL_OK) {
                    ASSERT_EQ(now, op.value);
                }
                // A write whose every reply was lost may have been carried out: the old
                // value or the new one, nothing else.
                ASSERT_TRUE(now == op.value || now == held[key]) << "holds " << now;
                held[key] = now;
            }
        }
        for (const auto& [otherKey, value] : held)
            ASSERT_EQ(Held(otherKey), value) << "0x" << std::hex << otherKey << " changed behind our back";
    }
    EXPECT_TRUE(WritesAsIntended(writes, log_.Writes()));

    // Each attempt fails with chance q, independently: an operation needs a second
    // attempt with chance q, a third with q^2, and fails with q^3.
    const double q = AttemptFailureChance(config_.faults);
    const int64_t answered = answeredAfter[1] + answeredAfter[2] + answeredAfter[3];
    const int64_t attempts = answeredAfter[1] + 2 * answeredAfter[2] + 3 * answeredAfter[3] + 3 * unanswered;
    const double observedQ = double(attempts - answered) / double(attempts);
    EXPECT_NEAR(observedQ, q, 5 * std::sqrt(q * (1 - q) / double(attempts)) + 0.005);

    const double n = kOperations;
    const double thirdSaves = n * q * q * (1 - q);
    EXPECT_NEAR(double(answeredAfter[3]), thirdSaves, 6 * std::sqrt(thirdSaves) + 3);
    EXPECT_GT(answeredAfter[3], 0) << "no operation ever needed its third attempt";
    const double lost = n * q * q * q;
    EXPECT_LE(double(unanswered), lost + 6 * std::sqrt(lost) + 3);

    const SimStats& stats = device_->Stats();
    std::printf(
        "[ soak ] %d operations, %lld attempts; attempt failure %.4f (line promises %.4f); "
        "needed 2 attempts: %lld, 3: %lld (expected %.1f); failed: %lld (expected %.1f)\n"
        "[ soak ] faults: %llu dropped, %llu corrupted, %llu noisy, %llu delayed\n",
        kOperations, (long long)attempts, observedQ, q, (long long)answeredAfter[2],
        (long long)answeredAfter[3], thirdSaves, (long long)unanswered, lost,
        (unsigned long long)stats.dropped, (unsigned long long)stats.corrupted,
        (unsigned long long)stats.noisy, (unsigned long long)stats.delayed);
}

struct UpgradeCase {
    const char* name;
    int deviceType;
    int32_t firmwareVersion;
    bool compressed;
    uint64_t seed;
};

void PrintTo(const UpgradeCase& c, std::ostream* os) {
    *os << c.name;
}

class VirtualUpgradeSoak : public VirtualSoak, public ::testing::WithParamInterface<UpgradeCase> {};

// Several upgrades in a row, the operator trying again after each failure as often
// as it takes; every image the device takes as complete must be the file, byte for
// byte, and every failure must be reported as one.
TEST_P(VirtualUpgradeSoak, ImagesArriveByteExactOrTheUpgradeReportsItsError) {
    constexpr int kUpgrades = 8;
    constexpr int kTriesEach = 10;
    const UpgradeCase& c = GetParam();
    SimConfig config = LossyDevice(c.seed);
    config.deviceType = c.deviceType;
    config.firmwareVersion = c.firmwareVersion;
    config.eraseBusyMs = 400;
    Start(config);
    std::vector<std::vector<uint8_t>> finished;
    device_->OnImageFinished([&](const std::vector<uint8_t>& image) { finished.push_back(image); });

    FirmwareSpec recipe;
    recipe.compressed = c.compressed;
    recipe.randomPayload = true;
    recipe.imageSize = 150 * 1024 + 321;
    const std::vector<uint8_t> file = BuildFirmwareFile(recipe);
    TempFile onDisk(file);

    std::map<std::string, int> outcomes;
    for (int done = 0; done < kUpgrades; ++done) {
        ZelResult result = ZEL_E_UPG_FAILED;
        for (int attempt = 0; attempt < kTriesEach && result != ZEL_OK; ++attempt) {
            FrontEndUpload upload;
            ASSERT_TRUE(upload.Run(onDisk.path(), c.firmwareVersion)) << upload.check.text;
            result = upload.result;
            ++outcomes[ZelResultName(result)];
        }
        ASSERT_EQ(result, ZEL_OK) << "upgrade " << done << " did not succeed in " << kTriesEach << " tries";
        ASSERT_EQ(finished.size(), size_t(done) + 1) << "the device did not take the image as complete";
        EXPECT_EQ(finished.back(), file);
        // Let a restarting device come back before the next upgrade.
        clock_.AdvanceMs(config.restartMs);
    }

    std::printf("[ soak ] %s, %d upgrades:", c.name, kUpgrades);
    for (const auto& [name, count] : outcomes)
        std::printf(" %s x%d", name.c_str(), count);
    std::printf("; %llu replies dropped, %llu corrupted\n", (unsigned long long)device_->Stats().dropped,
                (unsigned long long)device_->Stats().corrupted);
}

INSTANTIATE_TEST_SUITE_P(Devices, VirtualUpgradeSoak,
                         ::testing::Values(UpgradeCase{"Zel5100SevenBit", 5100, 23, true, 99},
                                           UpgradeCase{"Zel5100Hex", 5100, 13, false, 100},
                                           UpgradeCase{"Zel5137", 5137, 23, true, 101}),
                         [](const ::testing::TestParamInfo<UpgradeCase>& info) { return info.param.name; });

}  // namespace
