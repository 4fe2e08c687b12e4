#include "held_ports_win32.h"

#include <mutex>

namespace {

struct HeldComPort {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool restore = false;
    DCB state{};
    COMMTIMEOUTS timeouts{};
};

// Far more than one program opens at a time.
constexpr int kHeldPorts = 32;
HeldComPort g_held[kHeldPorts];
std::mutex g_lock;

void Release(HeldComPort& port) {
    if (port.handle == INVALID_HANDLE_VALUE) return;
    if (port.restore) {
        SetCommState(port.handle, &port.state);
        SetCommTimeouts(port.handle, &port.timeouts);
    }
    CloseHandle(port.handle);
    port = HeldComPort();
}

}  // namespace

int HoldComPort(HANDLE handle) {
    std::lock_guard<std::mutex> lock(g_lock);
    for (int slot = 0; slot < kHeldPorts; ++slot) {
        if (g_held[slot].handle != INVALID_HANDLE_VALUE) continue;
        g_held[slot] = HeldComPort();
        g_held[slot].handle = handle;
        return slot;
    }
    return -1;
}

void KeepComStateToRestore(int slot, const DCB& state, const COMMTIMEOUTS& timeouts) {
    if (slot < 0 || slot >= kHeldPorts) return;
    std::lock_guard<std::mutex> lock(g_lock);
    g_held[slot].state = state;
    g_held[slot].timeouts = timeouts;
    g_held[slot].restore = true;
}

void ReleaseHeldComPort(int slot) {
    if (slot < 0 || slot >= kHeldPorts) return;
    std::lock_guard<std::mutex> lock(g_lock);
    Release(g_held[slot]);
}

void ReleaseAllHeldComPorts() {
    std::lock_guard<std::mutex> lock(g_lock);
    for (HeldComPort& port : g_held)
        Release(port);
}
