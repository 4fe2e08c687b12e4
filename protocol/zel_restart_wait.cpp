#include "zel_restart_wait.h"

#include "zel_wait_budget.h"

namespace {

constexpr int MODE_CATEGORY = 0x02;
constexpr int MODE_SETTING = 1;

}  // namespace

RestartWaitOutcome AwaitRestartedDevice(int limitMs, const std::function<void(int)>& onAttempt) {
    RestartWaitOutcome outcome;
    ZelWaitBudget budget(limitMs);

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
