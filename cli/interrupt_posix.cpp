// Signals: Ctrl+C, termination, a hang-up of the terminal and a reader that went away.
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <ctime>

#include "interrupt.h"
#include "interrupt_platform.h"

namespace {

void OnInterrupt(int signal) {
    if (!EndAfterInterrupt(signal == SIGINT)) return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

int64_t InterruptClockMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void WriteInterruptText(const char* text) {
    if (!text) return;
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, text, left);
        if (n <= 0) return;
        text += n;
        left -= size_t(n);
    }
}

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
