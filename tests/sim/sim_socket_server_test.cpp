// The simulated unit served straight on a TCP port (the simulator's only way on
// Windows), reached through the utility's own network link and engine.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "com_port.h"
#include "sim_socket_server.h"
#include "zel_protocol.h"

namespace {

class SimSocketServerTest : public ::testing::TestWithParam<const char*> {
protected:
    void StartServing() {
        std::string error;
        ASSERT_TRUE(server.Listen(std::string(GetParam()) + "127.0.0.1:0", &error)) << error;
        serving = std::thread([this] { server.Serve(&stop); });
    }
    void TearDown() override {
        CloseComPort(&port);
        ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
        stop = 1;
        if (serving.joinable()) serving.join();
    }

    SteadyClock clock;
    SimDevice device{SimConfig{}, clock};
    SimSocketServer server{device, clock};
    volatile std::sig_atomic_t stop = 0;
    std::thread serving;
    ComPort port;
};

TEST_P(SimSocketServerTest, TheEngineReadsAndWritesThroughTheServedPort) {
    StartServing();
    ASSERT_EQ(OpenComPort(&port, server.Name()), COM_OPEN_OK) << ComOpenFailureHint(port);
    uint32_t type = 0;
    ASSERT_EQ(ZelReadSetting(1, 5, &type), ZEL_OK);
    EXPECT_EQ(type, 5100u);
    ASSERT_EQ(ZelWriteSetting(0x81, 11, 100), ZEL_OK);
    uint32_t value = 0;
    ASSERT_EQ(ZelReadSetting(0x81, 11, &value), ZEL_OK);
    EXPECT_EQ(value, 100u);
}

TEST_P(SimSocketServerTest, ASecondClientIsToldTheLineIsInUseAndTheFirstCarriesOn) {
    StartServing();
    ASSERT_EQ(OpenComPort(&port, server.Name()), COM_OPEN_OK) << ComOpenFailureHint(port);
    ComPort second;
    EXPECT_EQ(OpenComPort(&second, server.Name()), COM_OPEN_FAILED);
    EXPECT_EQ(second.failure.problem, ComOpenProblem::ServerRefused);
    EXPECT_EQ(second.failure.detail, "Port already in use");
    CloseComPort(&second);
    // The refused opening registered no hooks: the engine still talks to the first.
    uint32_t type = 0;
    EXPECT_EQ(ZelReadSetting(1, 5, &type), ZEL_OK);
}

TEST_P(SimSocketServerTest, AClientMayComeBackAfterHangingUp) {
    StartServing();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(OpenComPort(&port, server.Name()), COM_OPEN_OK) << round << ComOpenFailureHint(port);
        uint32_t type = 0;
        EXPECT_EQ(ZelReadSetting(1, 5, &type), ZEL_OK) << round;
        CloseComPort(&port);
    }
}

INSTANTIATE_TEST_SUITE_P(RawAndTelnet, SimSocketServerTest, ::testing::Values("tcp://", "rfc2217://"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "tcp://" ? "Raw" : "Telnet";
                         });

}  // namespace
