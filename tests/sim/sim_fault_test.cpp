// Injected line faults: each kind does what it says, and a seed repeats them exactly.
#include "sim_test_support.h"

#include "sim_faults.h"

namespace {

class SimFaultTest : public SimTest {
protected:
    void StartWith(void (*set)(SimFaultConfig&)) {
        SimConfig config;
        set(config.faults);
        Start(config);
    }
};

TEST_F(SimFaultTest, DroppedReplyMeansTheWriteWasDoneButNothingCame) {
    StartWith([](SimFaultConfig& f) { f.dropReplyPercent = 100; });
    EXPECT_TRUE(Exchange(SimFrame("40810Bw00000200")).empty());
    EXPECT_EQ(device->Value(0x81, 11), 0x200u);
    EXPECT_EQ(device->Stats().dropped, 1u);
}

TEST_F(SimFaultTest, InjectedRefusalsAndBusyRepliesDoNothing) {
    StartWith([](SimFaultConfig& f) { f.errorReplyPercent = 100; });
    EXPECT_EQ(Text(Exchange(SimFrame("40810Bw00000200"))), Text(SimFrame("40810BE0000")));
    EXPECT_EQ(device->Value(0x81, 11), 100u);

    StartWith([](SimFaultConfig& f) { f.busyReplyPercent = 100; });
    EXPECT_EQ(Text(Exchange(SimFrame("40810Bw00000200"))), Text(SimFrame("40810BB0000")));
    EXPECT_EQ(device->Value(0x81, 11), 100u);
    uint32_t mode = 0;
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_E_B_REPLY);
}

TEST_F(SimFaultTest, CorruptedReplyFailsItsChecksOnEveryAttempt) {
    StartWith([](SimFaultConfig& f) { f.corruptBytePercent = 100; });
    std::vector<uint8_t> good = SimRaw("400201R0126");
    std::vector<uint8_t> bad = Exchange(SimRaw("400201r67"));
    ASSERT_EQ(bad.size(), good.size());
    int differing = 0;
    for (size_t i = 0; i < good.size(); ++i)
        differing += good[i] != bad[i];
    EXPECT_EQ(differing, 1);
    EXPECT_EQ(bad.front(), ZEL_STX);
    EXPECT_EQ(bad.back(), ZEL_ETX);

    uint32_t mode = 0;
    EXPECT_NE(ZelReadSetting(2, 1, &mode), ZEL_OK);
    EXPECT_EQ(transport->RecordsOf(SimWireRecord::Transmit).size(), 3u);
}

TEST_F(SimFaultTest, NoiseComesBeforeTheReply) {
    StartWith([](SimFaultConfig& f) { f.noisePercent = 100; });
    std::vector<uint8_t> good = SimRaw("400201R0126");
    std::vector<uint8_t> got = Exchange(SimRaw("400201r67"));
    ASSERT_GT(got.size(), good.size());
    ASSERT_LE(got.size(), good.size() + 8);
    EXPECT_TRUE(std::equal(good.begin(), good.end(), got.end() - static_cast<long>(good.size())));
    uint32_t mode = 0;
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_E_INCOMPLETE_MSG);
}

TEST_F(SimFaultTest, DelayedReplyArrivesAfterTheTimeOutAndIsDrained) {
    StartWith([](SimFaultConfig& f) {
        f.delayReplyPercent = 100;
        f.delayPastTimeoutMs = 50;
    });
    device->Receive(SimRaw("400201r67").data(), 11);
    EXPECT_TRUE(Collect(300).empty());
    EXPECT_EQ(Collect(50), SimRaw("400201R0126"));

    uint32_t mode = 0;
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_E_RX_FAILED);
    // Each late reply landed in the drain that followed its attempt.
    auto receives = transport->RecordsOf(SimWireRecord::Receive);
    ASSERT_EQ(receives.size(), 6u);
    for (size_t i = 0; i < receives.size(); i += 2) {
        EXPECT_TRUE(receives[i].bytes.empty());
        EXPECT_EQ(receives[i + 1].bytes, SimRaw("400201R0126"));
    }
}

TEST_F(SimFaultTest, DeviceGoesSilentAfterTheGivenNumberOfRequests) {
    StartWith([](SimFaultConfig& f) { f.silentAfterFrames = 2; });
    uint32_t mode = 0;
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_E_RX_FAILED);
    clock.AdvanceMs(60000);
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_E_RX_FAILED);
}

TEST_F(SimFaultTest, HeldReplyGoesOutWhenTheNextRequestArrives) {
    StartWith([](SimFaultConfig& f) { f.holdReplies = true; });
    EXPECT_TRUE(Exchange(SimFrame("40810Bw00000200")).empty());
    // The read gets the write's reply; its own waits for the request after it.
    EXPECT_EQ(Text(Exchange(SimFrame("40810Br0000"))), Text(SimFrame("40810BW00000200")));
    EXPECT_EQ(Text(Exchange(SimRaw("400201r67"))), Text(SimFrame("40810BR00000200")));
    EXPECT_EQ(device->Value(0x81, 11), 0x200u);
}

TEST_F(SimFaultTest, IgnoredWriteIsAnsweredButChangesNothing) {
    StartWith([](SimFaultConfig& f) { f.ignoreWrites = true; });
    EXPECT_EQ(Text(Exchange(SimFrame("40810Bw00000200"))), Text(SimFrame("40810BW00000200")));
    EXPECT_EQ(device->Value(0x81, 11), 100u);
}

TEST_F(SimFaultTest, HangUpComesAfterTheLastAnsweredRequest) {
    StartWith([](SimFaultConfig& f) { f.hangUpAfterFrames = 1; });
    EXPECT_FALSE(device->HangingUp());
    EXPECT_EQ(Exchange(SimRaw("400201r67")), SimRaw("400201R0126"));
    EXPECT_TRUE(device->HangingUp());
    EXPECT_TRUE(Exchange(SimRaw("400201r67")).empty());
}

// The whole output of a faulty device for a fixed list of requests.
std::vector<uint8_t> FaultyOutput(uint64_t seed) {
    SimConfig config;
    config.faults.seed = seed;
    config.faults.dropReplyPercent = 10;
    config.faults.corruptBytePercent = 10;
    config.faults.delayReplyPercent = 10;
    config.faults.noisePercent = 10;
    config.faults.errorReplyPercent = 5;
    config.faults.busyReplyPercent = 5;
    VirtualClock clock;
    SimDevice device(config, clock);
    std::vector<uint8_t> out;
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> request = SimRaw("400201r67");
        device.Receive(request.data(), request.size());
        clock.AdvanceMs(2000);
        uint8_t buffer[256];
        size_t n = device.Read(buffer, sizeof buffer);
        out.insert(out.end(), buffer, buffer + n);
        out.push_back('|');
    }
    return out;
}

TEST(SimFaultSeed, TheSameSeedGivesTheSameFaults) {
    EXPECT_EQ(FaultyOutput(42), FaultyOutput(42));
    EXPECT_NE(FaultyOutput(42), FaultyOutput(43));
}

TEST(SimFaultSeed, ChancesComeOutNearTheirPercentages) {
    SimFaultConfig config;
    config.dropReplyPercent = 30;
    config.seed = 7;
    SimFaults faults(config);
    int drops = 0;
    for (int i = 0; i < 10000; ++i)
        drops += faults.Draw().drop;
    EXPECT_GT(drops, 2700);
    EXPECT_LT(drops, 3300);
}

}  // namespace
