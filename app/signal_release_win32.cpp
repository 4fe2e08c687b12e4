// Ctrl+C, Ctrl+Break or the console closing, where the window was started from a
// console: the port is released at once, and the next handler ends the program.
#include <windows.h>

#include "com_port.h"
#include "signal_release.h"

namespace {

BOOL WINAPI OnConsoleEvent(DWORD /*event*/) {
    ComReleaseAllPortsNow();
    return FALSE;
}

}  // namespace

void ReleasePortOnEndingSignals() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
