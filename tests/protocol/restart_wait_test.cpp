// The wait for a restarting device, on a device model that runs in virtual time:
// it is silent until its restart is over, then answers mode reads, and it has
// printed start-up bytes that the wait must throw away.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "zel_restart_wait.h"

namespace {

class RestartingDevice {
public:
    explicit RestartingDevice(int64_t silentMs) : silentMs_(silentMs) {}

    void Install() { ZelSetTransport(Transmit, Receive, Sleep, nullptr, this); }

    int64_t nowMs = 0;
    int modeReads = 0;        // mode requests the device answered
    std::vector<int> sleeps;  // pauses asked for, in order
    int discardReads = 0;     // receives of the start-up output
    // The device prints a banner right after it first answers; the banner is on the
    // line until someone reads it away.
    bool startupOutputPending = false;

private:
    bool Up() const { return nowMs >= silentMs_; }

    static ZelResult Transmit(void* context, int, const uint8_t* bytes, int length) {
        auto* self = static_cast<RestartingDevice*>(context);
        self->lastRequest_.assign(reinterpret_cast<const char*>(bytes), size_t(length));
        return ZEL_OK;
    }

    static ZelResult Receive(void* context, int, uint8_t* buffer, int count, int* received, int timeoutMs) {
        auto* self = static_cast<RestartingDevice*>(context);
        *received = 0;
        std::string reply;
        if (count == RESTART_DISCARD_BYTES) {
            ++self->discardReads;
            if (self->startupOutputPending) reply = "ZEL-5100 boot\r\n";
            self->startupOutputPending = false;
        } else if (self->Up() && count == 13 &&  // a reply is collected, not drained
                   !self->lastRequest_.empty() &&
                   self->lastRequest_ == std::string("\x02"
                                                     "400201r67\x03")) {
            // Start-up output still on the line would spoil the reply.
            reply = self->startupOutputPending ? std::string("ZEL")
                                               : std::string(
                                                     "\x02"
                                                     "400201R0126\x03");
            self->lastRequest_.clear();
            if (++self->modeReads == 1) self->startupOutputPending = true;
        }
        if (reply.empty()) {
            self->nowMs += timeoutMs;
            return ZEL_E_RX_FAILED;
        }
        const int n = std::min<int>(count, int(reply.size()));
        std::memcpy(buffer, reply.data(), size_t(n));
        *received = n;
        self->nowMs += 2;
        return ZEL_OK;
    }

    static ZelResult Sleep(void* context, int ms) {
        auto* self = static_cast<RestartingDevice*>(context);
        self->sleeps.push_back(ms);
        self->nowMs += ms;
        return ZEL_OK;
    }

    int64_t silentMs_;
    std::string lastRequest_;
};

TEST(RestartWait, WaitsAsTheWindowDoesUntilTheDeviceAnswers) {
    // Silent for 4 s: the first read after the 2.5 s pause fails, later ones succeed.
    RestartingDevice device(4000);
    device.Install();
    std::vector<int> attempts;
    const RestartWaitOutcome outcome =
        AwaitRestartedDevice(RESTART_LIMIT_MS, [&](int n) { attempts.push_back(n); });

    EXPECT_EQ(outcome.result, ZEL_OK);
    EXPECT_EQ(outcome.lastRead, ZEL_OK);
    EXPECT_EQ(outcome.mode, 1u);
    ASSERT_GE(outcome.attempts, 2);
    EXPECT_EQ(attempts.size(), size_t(outcome.attempts));
    EXPECT_EQ(attempts.back(), outcome.attempts);
    ASSERT_GE(device.sleeps.size(), 3u);
    EXPECT_EQ(device.sleeps.front(), RESTART_GOING_DOWN_MS);
    EXPECT_EQ(device.sleeps.back(), RESTART_SETTLE_MS);
    // The start-up output was read away once, before the final read of the mode.
    EXPECT_EQ(device.discardReads, 1);
    EXPECT_FALSE(device.startupOutputPending);
}

TEST(RestartWait, GivesUpAfterTheLimitInsteadOfWaitingForever) {
    RestartingDevice device(INT64_MAX);
    device.Install();
    const RestartWaitOutcome outcome = AwaitRestartedDevice(RESTART_LIMIT_MS);

    EXPECT_EQ(outcome.result, ZEL_E_TIME_OUT);
    EXPECT_EQ(outcome.lastRead, ZEL_E_RX_FAILED);
    EXPECT_GT(outcome.attempts, 1);
    int slept = 0;
    for (int ms : device.sleeps)
        slept += ms;
    EXPECT_GE(slept, RESTART_LIMIT_MS - RESTART_GOING_DOWN_MS);  // pauses alone reach the limit
    EXPECT_LE(slept, RESTART_LIMIT_MS + RESTART_RETRY_PAUSE_MS);
    EXPECT_EQ(device.discardReads, 0);
}

}  // namespace
