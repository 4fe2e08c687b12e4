// Wire pacing in virtual time: 115200 baud 8N1 both ways, replies after the request.
#include "sim_test_support.h"

#include "sim_line.h"

namespace {

// Microseconds for n bytes at 115200 baud, 10 bits each, as the line rounds them.
int64_t LineUs(int64_t n) {
    return n * 10 * 1000000 / 115200;
}

TEST(SimLine, PacedBytesFollowEachOtherAtTheBaudRate) {
    SimLine line(true);
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(line.Send(bytes, 3, 1000), 1000 + LineUs(3));
    // The next run waits for the line to be free.
    EXPECT_EQ(line.Send(bytes, 1, 1000), 1000 + LineUs(3) + LineUs(1));
    uint8_t out[8];
    EXPECT_EQ(line.Take(out, sizeof out, 1000 + LineUs(1) - 1), 0u);
    EXPECT_EQ(line.Take(out, sizeof out, 1000 + LineUs(2)), 2u);
    EXPECT_EQ(line.NextArrivalUs(), 1000 + LineUs(3));

    SimLine unpaced(false);
    EXPECT_EQ(unpaced.Send(bytes, 3, 500), 500);
    EXPECT_EQ(unpaced.Take(out, sizeof out, 500), 3u);
}

TEST_F(SimTest, PacedReplyStartsAfterTheRequestHasArrivedAndTheTurnaround) {
    SimConfig config;
    config.wirePacing = true;
    config.turnaroundUs = 1000;
    Start(config);
    int64_t start = clock.NowUs();
    uint32_t mode = 0;
    ASSERT_EQ(ZelReadSetting(2, 1, &mode), ZEL_OK);
    EXPECT_EQ(mode, 1u);
    // 11 request bytes, the turnaround, 13 reply bytes.
    EXPECT_EQ(clock.NowUs() - start, LineUs(11) + 1000 + LineUs(13));
}

TEST_F(SimTest, PacedUpgradePartTakesTheTimeOfItsBytes) {
    SimConfig config;
    config.wirePacing = true;
    config.turnaroundUs = 0;
    Start(config);
    ASSERT_EQ(ZelWriteSetting(0x80, 7, 1), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(0x80, 8, 1024), ZEL_OK);
    ASSERT_EQ(ZelWriteSetting(0x80, 9, 1024), ZEL_OK);
    for (int i = 0; i < 2048; ++i)
        ZelTransferBuffer[i] = '5';
    int64_t start = clock.NowUs();
    ASSERT_EQ(ZelWriteData(0x80, 2, 1, 2048), ZEL_OK);
    // 2063 request bytes and the 19-byte reply.
    EXPECT_EQ(clock.NowUs() - start, LineUs(2063) + LineUs(19));
}

}  // namespace
