#include "zel_restart_wait.h"

#include "zel_setting_ids.h"
#include "zel_wait_budget.h"

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
        outcome.lastRead = ZelReadSetting(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE, &mode);
        budget.Sleep(RESTART_RETRY_PAUSE_MS);
        if (outcome.lastRead == ZEL_OK) break;
    }

    budget.Sleep(RESTART_SETTLE_MS);
    const ZelTransport transport = ZelGetTransport();
    if (transport.receive) {
        uint8_t discard[RESTART_DISCARD_BYTES];
        int received = 0;
        transport.receive(transport.context, ZEL_DEVICE_ADDRESS, discard, RESTART_DISCARD_BYTES, &received,
                          RESTART_DISCARD_MS);
    }
    // The window reads the mode once more here without looking at the result; the
    // caller's own identification that follows decides.
    uint32_t mode = 0;
    if (ZelReadSetting(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE, &mode) == ZEL_OK) outcome.mode = mode;
    outcome.result = ZEL_OK;
    return outcome;
}
