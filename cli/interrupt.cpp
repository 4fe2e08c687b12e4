#include "interrupt.h"

#include <csignal>

#include "com_port.h"

namespace {

volatile sig_atomic_t g_graceful = 0;
volatile sig_atomic_t g_requested = 0;

void OnInterrupt(int signal) {
    if (g_graceful) {
        g_requested = 1;
        return;
    }
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

void SetGracefulInterrupt(bool graceful) { g_graceful = graceful ? 1 : 0; }
bool InterruptRequested() { return g_requested != 0; }
