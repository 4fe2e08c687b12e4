// The handler releases the port at once, even inside a wait for the device, and
// then ends the program by the same signal. Nothing else needs saving: the port
// choice is written to the settings store when it is made.
#include "signal_release.h"

#include <csignal>

#include "com_port.h"

namespace {

void OnEndingSignal(int signal) {
    ComReleaseAllPortsNow();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

}  // namespace

void ReleasePortOnEndingSignals() {
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaddset(&action.sa_mask, signal);
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaction(signal, &action, nullptr);
}
