#include "restart_wait.h"

#include <chrono>

#include "setting_views.h"

namespace {

class Budget {
public:
    explicit Budget(int limitMs) : limitMs_(limitMs), start_(std::chrono::steady_clock::now()) {}

    void Sleep(int ms) {
        const ZelTransport transport = ZelGetTransport();
        if (transport.sleep) transport.sleep(transport.context, ms);
        sleptMs_ += ms;
    }

    bool Exhausted() const {
        const auto clockMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start_)
                                 .count();
        return sleptMs_ >= limitMs_ || clockMs >= limitMs_;
    }

private:
    int64_t limitMs_;
    int64_t sleptMs_ = 0;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace

RestartWaitOutcome AwaitRestartedDevice(int limitMs, const std::function<void(int)>& onAttempt) {
    RestartWaitOutcome outcome;
    Budget budget(limitMs);

    budget.Sleep(RESTART_GOING_DOWN_MS);
    for (;;) {
        if (budget.Exhausted()) {
            outcome.result = ZEL_E_TIME_OUT;
            return outcome;
        }
        ++outcome.attempts;
        if (onAttempt) onAttempt(outcome.attempts);
        uint32_t mode = 0;
        outcome.lastRead = ZelReadSetting(MODE_CATEGORY, MODE_SETTING, &mode);
        budget.Sleep(RESTART_RETRY_PAUSE_MS);
        if (outcome.lastRead == ZEL_OK) break;
    }

    budget.Sleep(RESTART_SETTLE_MS);
    const ZelTransport transport = ZelGetTransport();
    if (transport.receive) {
        uint8_t discard[RESTART_DISCARD_BYTES];
        int received = 0;
        transport.receive(transport.context, ZEL_DEVICE_ADDRESS, discard, RESTART_DISCARD_BYTES,
                          &received, RESTART_DISCARD_MS);
    }
    // The window reads the mode once more here without looking at the result; the
    // caller's own identification that follows decides.
    uint32_t mode = 0;
    if (ZelReadSetting(MODE_CATEGORY, MODE_SETTING, &mode) == ZEL_OK) outcome.mode = mode;
    outcome.result = ZEL_OK;
    return outcome;
}
