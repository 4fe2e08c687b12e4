// Console events: Ctrl+C, Ctrl+Break, and the console window closing or the
// user logging off. Windows calls the handler in a thread of its own; returning
// FALSE lets the next handler, the one that ends the process, run.
#include <windows.h>

#include <cstring>

#include "interrupt.h"
#include "interrupt_platform.h"

namespace {

BOOL WINAPI OnConsoleEvent(DWORD event) {
    return EndAfterInterrupt(event == CTRL_C_EVENT) ? FALSE : TRUE;
}

}  // namespace

int64_t InterruptClockMs() {
    return int64_t(GetTickCount64());
}

void WriteInterruptText(const char* text) {
    if (!text) return;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, DWORD(std::strlen(text)), &written, nullptr);
}

void InstallInterruptHandlers() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
