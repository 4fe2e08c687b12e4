#include "interrupt.h"

#include <unistd.h>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "com_port.h"

namespace {

volatile sig_atomic_t g_graceful = 0;
volatile sig_atomic_t g_requested = 0;
const char* volatile g_warning = nullptr;
const char* volatile g_ending = nullptr;
volatile int64_t g_armedUntilMs = 0;  // monotonic: a second Ctrl+C before this ends

constexpr int64_t kConfirmMs = 3000;

void WriteText(const char* text) {
    if (!text) return;
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, text, left);
        if (n <= 0) return;
        text += n;
        left -= size_t(n);
    }
}

// Only async-signal-safe calls: clock_gettime, write.
bool ConfirmedByASecondInterrupt() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int64_t nowMs = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    if (g_armedUntilMs != 0 && nowMs < g_armedUntilMs) {
        WriteText(g_ending);
        return true;
    }
    g_armedUntilMs = nowMs + kConfirmMs;
    WriteText(g_warning);
    return false;
}

void OnInterrupt(int signal) {
    if (g_graceful) {
        g_requested = 1;
        return;
    }
    if (signal == SIGINT && g_warning && !ConfirmedByASecondInterrupt()) return;
    ComReleaseAllPortsNow();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait in poll() or a sleep comes back early, so monitor can stop.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    // A reader that went away (zelctl monitor | head) ends the program the same way.
    sigaction(SIGPIPE, &action, nullptr);
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
