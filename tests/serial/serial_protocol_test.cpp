// The protocol engine talking through OpenComPort's hooks to a device played
// on the far end of a pseudo-terminal.
#include "port_on_pty.h"

namespace {

// A read of category 2 setting 1 (Mode): STX, "400201r67", ETX.
const Bytes kReadModeRequest = {0x02, 0x34, 0x30, 0x30, 0x32, 0x30, 0x31, 0x72, 0x36, 0x37, 0x03};

class SerialProtocolTest : public PortOnPty {};

TEST_F(SerialProtocolTest, ReadOfModeGoesOutAsTheElevenBytesAndItsReplyIsDecoded) {
    Bytes request;
    std::thread device([&] {
        request = pty.Read(kReadModeRequest.size());
        pty.Write(
            ToBytes("\x02"
                    "400201R0126"
                    "\x03"));
    });
    uint32_t mode = 0xFFFFFFFF;
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    device.join();
    EXPECT_EQ(request, kReadModeRequest);
    EXPECT_EQ(mode, 1u);
}

TEST_F(SerialProtocolTest, UnansweredReadIsSentThreeTimesAndFailsWithRxFailed) {
    uint32_t mode = 7;
    EXPECT_EQ(ZelReadSetting(2, 1, &mode), ZEL_E_RX_FAILED);
    Bytes expected;
    for (int attempt = 0; attempt < 3; ++attempt) {
        expected.insert(expected.end(), kReadModeRequest.begin(), kReadModeRequest.end());
    }
    EXPECT_EQ(pty.Read(expected.size()), expected);
    EXPECT_TRUE(pty.Read(1, std::chrono::milliseconds(50)).empty());
}

}  // namespace
