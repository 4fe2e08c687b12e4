// ComTransmit, the raw line in both directions, ComSleep and ComPumpMessages.
#include "port_on_pty.h"

namespace {

Bytes EveryByteValue() {
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[size_t(i)] = uint8_t(i);
    return all;
}

class ComTransmitTest : public PortOnPty {};

TEST_F(ComTransmitTest, EveryByteReachesTheLineUnchanged) {
    // Firmware parts travel as bytes with the top bit set; CR, LF, XON, XOFF
    // and ETX (the interrupt character of a cooked terminal) must pass as well.
    const Bytes all = EveryByteValue();
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, all.data(), int(all.size())), ZEL_OK);
    EXPECT_EQ(pty.Read(all.size()), all);
}

TEST_F(ComTransmitTest, EveryByteFromTheLineArrivesUnchangedAndIsNotEchoed) {
    const Bytes all = EveryByteValue();
    pty.Write(all);
    Bytes got(all.size());
    int received = 0;
    EXPECT_EQ(ComReceive(&port, ZEL_DEVICE_ADDRESS, got.data(), int(got.size()), &received, 10000), ZEL_OK);
    EXPECT_EQ(received, int(all.size()));
    EXPECT_EQ(got, all);
    EXPECT_TRUE(pty.Read(1, std::chrono::milliseconds(50)).empty()) << "the port echoed";
}

TEST_F(ComTransmitTest, ClosedOrMissingPortFailsWith14) {
    const uint8_t frame[] = {0x02, '4', '0', 0x03};
    CloseComPort(&port);
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, frame, 4), ZEL_E_TX_FAILED);
    EXPECT_EQ(ComTransmit(nullptr, ZEL_DEVICE_ADDRESS, frame, 4), ZEL_E_TX_FAILED);
    ComPort neverOpened;
    EXPECT_EQ(ComTransmit(&neverOpened, ZEL_DEVICE_ADDRESS, frame, 4), ZEL_E_TX_FAILED);
}

TEST_F(ComTransmitTest, LineGoneFailsWith14) {
    const uint8_t frame[] = {0x02, '4', '0', 0x03};
    pty.CloseMaster();
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, frame, 4), ZEL_E_TX_FAILED);
}

TEST_F(ComTransmitTest, NothingToSendSucceedsAndMissingBytesFail) {
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, nullptr, 0), ZEL_OK);
    EXPECT_EQ(ComTransmit(&port, ZEL_DEVICE_ADDRESS, nullptr, 4), ZEL_E_TX_FAILED);
}

TEST_F(ComTransmitTest, LineThatTakesNothingFailsInsteadOfHanging) {
    // Nobody reads the far end: the buffers fill and a write can never finish.
    const Bytes longestRequest(2063, 0x80);
    ZelResult result = ZEL_OK;
    for (int frames = 0; frames < 500 && result == ZEL_OK; ++frames) {
        result = ComTransmit(&port, ZEL_DEVICE_ADDRESS, longestRequest.data(), int(longestRequest.size()));
    }
    EXPECT_EQ(result, ZEL_E_TX_FAILED);
}

TEST(ComSleepTest, SleepsAtLeastTheTimeAskedAndNotForNothing) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ComSleep(nullptr, 20), ZEL_OK);
    EXPECT_GE(MsSince(start), 20);
    EXPECT_EQ(ComSleep(nullptr, 0), ZEL_OK);
    EXPECT_EQ(ComSleep(nullptr, -3), ZEL_OK);
}

ZelResult CountPump(void* context) {
    ++*static_cast<int*>(context);
    return ZEL_E_RX_FAILED;  // a pump's result is of no interest to anyone
}

TEST(ComPumpMessagesTest, RunsTheInstalledPumpWithItsContext) {
    ComPort port;
    int pumped = 0;
    EXPECT_EQ(ComPumpMessages(&port), ZEL_OK);  // none installed: nothing to do
    port.pump = CountPump;
    port.pumpContext = &pumped;
    EXPECT_EQ(ComPumpMessages(&port), ZEL_OK);
    EXPECT_EQ(pumped, 1);
    EXPECT_EQ(ComPumpMessages(nullptr), ZEL_OK);
}

}  // namespace
