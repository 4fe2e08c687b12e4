// Restart and DHCP, run in virtual time.
#include "sim_test_support.h"

namespace {

class SimRestartTest : public SimTest {};

// Reads Mode the way the window waits for a rebooting device: read, pause, again.
// Returns the virtual milliseconds it took until a read succeeded.
int64_t WaitUntilAnswering(VirtualClock& clock, uint32_t* mode, int maxAttempts = 100) {
    int64_t start = clock.NowUs();
    for (int i = 0; i < maxAttempts; ++i) {
        if (ZelReadSetting(2, 1, mode) == ZEL_OK) return (clock.NowUs() - start) / 1000;
        clock.AdvanceMs(100);
    }
    return -1;
}

TEST_F(SimRestartTest, RebootSilencesTheDeviceForTheRestartTime) {
    SimConfig config;
    config.restartMs = 3000;
    Start(config);
    int64_t rebootUs = clock.NowUs();
    ASSERT_EQ(ZelWriteSetting(3, 5, 1), ZEL_REPLY_IGNORED);

    uint32_t mode = 0;
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_E_RX_FAILED);
    ASSERT_GE(WaitUntilAnswering(clock, &mode), 0);
    int64_t downMs = (clock.NowUs() - rebootUs) / 1000;
    EXPECT_GE(downMs, 3000);
    EXPECT_LT(downMs, 3000 + 1600);  // one more read cycle at most
    EXPECT_EQ(mode, 1u);
    EXPECT_FALSE(device->Restarting());
}

TEST_F(SimRestartTest, ModeWriteIsAnsweredThenTheDeviceRestartsInTheNewMode) {
    SimConfig config;
    config.mode = 1;
    Start(config);
    EXPECT_EQ(Text(Exchange(SimFrame("400201w00"), 0)), Text(SimFrame("400201W00")));
    EXPECT_TRUE(device->Restarting());
    EXPECT_TRUE(Exchange(SimRaw("400201r67"), 100).empty());

    uint32_t mode = 9;
    ASSERT_GE(WaitUntilAnswering(clock, &mode), 0);
    EXPECT_EQ(mode, 0u);
    EXPECT_EQ(device->Stats().restarts, 1u);
}

TEST_F(SimRestartTest, ApplicationWriteRestartsTooButARefusedWriteDoesNot) {
    Start();
    EXPECT_EQ(ZelWriteSetting(2, 1, 2), ZEL_E_ERROR_REPLY);
    EXPECT_FALSE(device->Restarting());
    EXPECT_EQ(ZelWriteSetting(2, 2, 0), ZEL_OK);
    EXPECT_TRUE(device->Restarting());
}

TEST_F(SimRestartTest, StartUpNoiseComesWhenTheDeviceIsUp) {
    SimConfig config;
    config.restartMs = 2000;
    config.startupNoise = "ZEL boot\r\n";
    Start(config);
    device->Receive(SimRaw("400305w01FC").data(), 13);
    EXPECT_TRUE(Collect(1999).empty());
    EXPECT_EQ(Text(Collect(1)), "ZEL boot\r\n");
    EXPECT_EQ(Exchange(SimRaw("400201r67")), SimRaw("400201R0126"));
}

// The window's wait after a reboot: 2.5 s, reads until one succeeds, 1 s, a drain of
// what the device printed, a last read.
TEST_F(SimRestartTest, TheWindowsReconnectSequenceFindsTheDeviceAgain) {
    SimConfig config;
    config.restartMs = 4000;
    config.startupNoise = std::string(40, '#');
    Start(config);
    ASSERT_EQ(ZelWriteSetting(3, 5, 1), ZEL_REPLY_IGNORED);
    clock.AdvanceMs(2500);
    uint32_t mode = 0;
    ASSERT_GE(WaitUntilAnswering(clock, &mode), 0);
    clock.AdvanceMs(1000);
    uint8_t drain[500];
    int got = 0;
    ZelGetTransport().receive(ZelGetTransport().context, 64, drain, 500, &got, 100);
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    EXPECT_EQ(mode, 1u);
}

TEST_F(SimRestartTest, DhcpAddressGoesFromNothingToLinkLocalToRoutable) {
    SimConfig config;
    config.dhcpEnabled = true;
    config.dhcpLinkLocalMs = 2000;
    config.dhcpLeaseMs = 6000;
    Start(config);
    struct Step {
        int atMs;
        uint32_t address, subnet, gateway;
    };
    const Step steps[] = {
        {0, 0, 0, 0},
        {1900, 0, 0, 0},
        {2100, config.linkLocalAddress, 0xFFFF0000, 0},
        {5900, config.linkLocalAddress, 0xFFFF0000, 0},
        {6100, config.leaseAddress, config.leaseSubnet, config.leaseGateway},
    };
    int64_t startUs = clock.NowUs();
    for (const Step& s : steps) {
        clock.AdvanceTo(startUs + static_cast<int64_t>(s.atMs) * 1000);
        SCOPED_TRACE(s.atMs);
        uint32_t address = 1, subnet = 1, gateway = 1, dhcp = 0;
        ASSERT_EQ(ZelReadSetting(3, 1, &address), ZEL_OK);
        ASSERT_EQ(ZelReadSetting(3, 2, &subnet), ZEL_OK);
        ASSERT_EQ(ZelReadSetting(3, 3, &gateway), ZEL_OK);
        ASSERT_EQ(ZelReadSetting(3, 4, &dhcp), ZEL_OK);
        EXPECT_EQ(address, s.address);
        EXPECT_EQ(subnet, s.subnet);
        EXPECT_EQ(gateway, s.gateway);
        EXPECT_EQ(dhcp, 1u);
    }
    EXPECT_EQ(config.linkLocalAddress >> 16, 0xA9FEu);  // 169.254.x.x
}

TEST_F(SimRestartTest, DhcpThatNeverLeasesStaysLinkLocal) {
    SimConfig config;
    config.dhcpEnabled = true;
    config.dhcpLeaseMs = -1;
    Start(config);
    clock.AdvanceMs(3600 * 1000);
    uint32_t address = 0;
    ASSERT_EQ(ZelReadSetting(3, 1, &address), ZEL_OK);
    EXPECT_EQ(address, config.linkLocalAddress);
}

TEST_F(SimRestartTest, NetworkWritesTakeEffectAtTheNextRestart) {
    SimConfig config;
    config.restartMs = 1000;
    config.dhcpLinkLocalMs = 500;
    config.dhcpLeaseMs = 1500;
    Start(config);
    ASSERT_EQ(ZelWriteSetting(3, 4, 1), ZEL_OK);
    EXPECT_EQ(device->Value(3, 4), 0u);
    EXPECT_EQ(device->Value(3, 1), config.staticAddress);

    ASSERT_EQ(ZelWriteSetting(3, 5, 1), ZEL_REPLY_IGNORED);
    uint32_t mode = 0;
    ASSERT_GE(WaitUntilAnswering(clock, &mode), 0);
    uint32_t dhcp = 0, address = 1;
    ASSERT_EQ(ZelReadSetting(3, 4, &dhcp), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(3, 1, &address), ZEL_OK);
    EXPECT_EQ(dhcp, 1u);
    EXPECT_EQ(address, 0u);  // just started: no address yet
    clock.AdvanceMs(2000);
    ASSERT_EQ(ZelReadSetting(3, 1, &address), ZEL_OK);
    EXPECT_EQ(address, config.leaseAddress);

    // Back to a static address: IP, subnet and gateway written, DHCP off.
    ASSERT_EQ(ZelWriteSetting(3, 1, 0x0A000005), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(3, 2, 0xFF000000), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(3, 3, 0x0A000001), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(3, 4, 0), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(3, 1, &address), ZEL_OK);
    EXPECT_EQ(address, config.leaseAddress);
    device->Restart();
    clock.AdvanceMs(config.restartMs);
    uint32_t subnet = 0, gateway = 0;
    ASSERT_EQ(ZelReadSetting(3, 1, &address), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(3, 2, &subnet), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(3, 3, &gateway), ZEL_OK);
    EXPECT_EQ(address, 0x0A000005u);
    EXPECT_EQ(subnet, 0xFF000000u);
    EXPECT_EQ(gateway, 0x0A000001u);
}

}  // namespace
