#include "interrupt.h"

#include <csignal>

#include "com_port.h"
#include "interrupt_platform.h"

namespace {

volatile std::sig_atomic_t g_graceful = 0;
volatile std::sig_atomic_t g_requested = 0;
const char* volatile g_warning = nullptr;
const char* volatile g_ending = nullptr;
volatile int64_t g_armedUntilMs = 0;  // monotonic: a second Ctrl+C before this ends

constexpr int64_t kConfirmMs = 3000;

bool ConfirmedByASecondInterrupt() {
    const int64_t nowMs = InterruptClockMs();
    if (g_armedUntilMs != 0 && nowMs < g_armedUntilMs) {
        WriteInterruptText(g_ending);
        return true;
    }
    g_armedUntilMs = nowMs + kConfirmMs;
    WriteInterruptText(g_warning);
    return false;
}

}  // namespace

bool EndAfterInterrupt(bool fromKeyboard) {
    if (g_graceful) {
        g_requested = 1;
        return false;
    }
    if (fromKeyboard && g_warning && !ConfirmedByASecondInterrupt()) return false;
    ComReleaseAllPortsNow();
    return true;
}

void SetGracefulInterrupt(bool graceful) {
    g_graceful = graceful ? 1 : 0;
}
bool InterruptRequested() {
    return g_requested != 0;
}

void SetConfirmedInterrupt(const char* warning, const char* ending) {
    if (!warning) {
        g_warning = nullptr;
        g_armedUntilMs = 0;
        return;
    }
    // New texts keep a first Ctrl+C armed: the transfer moves on while the user decides.
    g_ending = ending;
    g_warning = warning;
}
