// The utility's own serial link and engine talking to zel5100-sim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <csignal>

#include "com_port.h"
#include "sim_process.h"
#include "zel_protocol.h"

namespace {

class SimSerialTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CloseComPort(&port);
        ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    ComPort port;
};

TEST_F(SimSerialTest, ReadThroughOpenComPortAndTheEngine)
{
    SimProcess sim({"--mode", "0", "--firmware", "14"});
    std::string path = sim.FirstLine();
    ASSERT_FALSE(path.empty()) << sim.ErrorOutput();
    ASSERT_EQ(OpenComPort(&port, path), COM_OPEN_OK);

    uint32_t type = 0, mode = 9, firmware = 0;
    ASSERT_EQ(ZelReadSetting(1, 5, &type), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    ASSERT_EQ(ZelReadSetting(1, 3, &firmware), ZEL_OK);
    EXPECT_EQ(type, 5100u);
    EXPECT_EQ(mode, 0u);
    EXPECT_EQ(firmware, 14u);
    uint64_t mac = 0;
    ASSERT_EQ(ZelReadSetting64(3, 6, &mac), ZEL_OK);
    EXPECT_EQ(mac, 0x020000123456ULL);
}

// A reboot with start-up noise, waited for as the window does, over a real line.
TEST_F(SimSerialTest, RebootIsWaitedForAndTheStartUpBytesAreDrained)
{
    SimProcess sim({"--restart-ms", "400", "--noise", "ZEL-5100 starting\\r\\n"});
    std::string path = sim.FirstLine();
    ASSERT_FALSE(path.empty()) << sim.ErrorOutput();
    ASSERT_EQ(OpenComPort(&port, path), COM_OPEN_OK);
    EXPECT_EQ(ZelWriteSetting(3, 5, 1), ZEL_REPLY_IGNORED);

    uint32_t mode = 9;
    ZelResult result = ZEL_E_RX_FAILED;
    for (int attempt = 0; attempt < 20 && result != ZEL_OK; ++attempt)
        result = ZelReadSetting(2, 1, &mode);
    ASSERT_EQ(result, ZEL_OK);
    EXPECT_EQ(mode, 1u);
    ComSleep(&port, 300);
    uint8_t drained[500];
    int got = 0;
    ComReceive(&port, 64, drained, sizeof drained, &got, 100);
    ASSERT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    EXPECT_EQ(mode, 1u);
}

// A 0xFF the device sends reaches the engine once over either network scheme:
// Telnet doubles it on the way and the link undoes that.
TEST_F(SimSerialTest, AnFFByteFromTheDeviceArrivesOnceOverTheNetwork)
{
    for (const char* scheme : {"rfc2217", "tcp"}) {
        SCOPED_TRACE(scheme);
        SimProcess sim({"--restart-ms", "400", "--noise", "\\xFF", "--listen", std::string(scheme) + "://127.0.0.1:0"});
        const std::string name = sim.FirstLine();
        ASSERT_FALSE(name.empty()) << sim.ErrorOutput();
        ASSERT_EQ(OpenComPort(&port, name), COM_OPEN_OK) << ComOpenFailureHint(port);
        EXPECT_GE(ComRoundTripMs(port), 0);
        EXPECT_EQ(ZelWriteSetting(3, 5, 1), ZEL_REPLY_IGNORED);
        uint8_t first = 0;
        int got = 0;
        for (int attempt = 0; attempt < 100 && got == 0; ++attempt)
            ComReceive(&port, 64, &first, 1, &got, 100);
        ASSERT_EQ(got, 1);
        EXPECT_EQ(first, 0xFF);
        uint8_t more[16];
        ComReceive(&port, 64, more, sizeof more, &got, 300);
        EXPECT_EQ(got, 0);
        uint32_t mode = 9;
        EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
        CloseComPort(&port);
    }
}

TEST_F(SimSerialTest, PortHeldByAClientThatWentAwayCanBeOpenedAgain)
{
    SimProcess sim({});
    std::string path = sim.FirstLine();
    ASSERT_FALSE(path.empty()) << sim.ErrorOutput();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(OpenComPort(&port, path), COM_OPEN_OK);
        uint32_t mode = 9;
        EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
        CloseComPort(&port);
    }
}

}  // namespace
