// Waiting for the device after a command that restarts it, shared by the window and
// the command-line tool:
// a pause while it goes down, then reads of its mode until it answers, a pause
// while it settles, and the bytes it printed while starting thrown away. The wait
// has an end: a device that does not answer within the limit is reported instead of
// waited for forever.
#pragma once

#include <functional>

#include "zel_protocol.h"

constexpr int RESTART_LIMIT_MS = 60 * 1000;
constexpr int RESTART_GOING_DOWN_MS = 2500;
constexpr int RESTART_RETRY_PAUSE_MS = 100;
constexpr int RESTART_SETTLE_MS = 1000;
constexpr int RESTART_DISCARD_BYTES = 500;
constexpr int RESTART_DISCARD_MS = 100;

struct RestartWaitOutcome {
    ZelResult result = ZEL_OK;    // ZEL_OK, or ZEL_E_TIME_OUT when the limit ran out
    ZelResult lastRead = ZEL_OK;  // result of the last mode read
    int attempts = 0;             // mode reads made
    uint32_t mode = 0;            // the mode the device answered with
};

// Runs on the registered transport; every pause goes through its sleep hook and the
// limit counts both the clock and the pauses. `onAttempt` is told each attempt number.
RestartWaitOutcome AwaitRestartedDevice(int limitMs = RESTART_LIMIT_MS,
                                        const std::function<void(int)>& onAttempt = nullptr);
