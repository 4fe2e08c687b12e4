// The register of open ports. A signal may arrive at any point, so an entry is
// filled before it is marked in use, a part added later is marked by an atomic
// store after it is written, and an entry is unmarked before it is released; the
// release itself uses only async-signal-safe calls.
#include "held_ports.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <atomic>
#include <climits>
#include <cstring>

#include "port_lock.h"

namespace {

// A slot is free, claimed by one thread while it fills it in, or in use. Claiming
// is one compare-and-swap, so that two threads opening ports at once never share a
// slot; a signal handler releases only slots in use.
constexpr int kFree = 0;
constexpr int kClaimed = 2;
constexpr int kInUse = 1;

struct HeldPort {
    std::atomic<int> inUse{kFree};
    std::atomic<int> fd{-1};
    std::atomic<bool> restoreSettings{false};
    termios settings{};
    char lockPath[PATH_MAX] = {};
};

// Far more than one program opens at a time.
constexpr int kHeldPorts = 32;
HeldPort g_held[kHeldPorts];

void Release(HeldPort& port) {
    // The lock file goes while the port is still open. Closing the last descriptor
    // of a pseudo-terminal whose far end is gone frees its number, and the next
    // pseudo-terminal made anywhere gets that number at once: a lock file still
    // naming this (live) process would then lock its new user out.
    if (port.lockPath[0]) RemoveLockFileIfOurs(port.lockPath);
    const int fd = port.fd.load();
    if (fd >= 0) {
        if (port.restoreSettings.load()) ::tcsetattr(fd, TCSANOW, &port.settings);
        // The exclusive mode belongs to the terminal, not to this descriptor, and
        // a pseudo-terminal outlives the close: give it back explicitly.
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
    }
}

}  // namespace

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the register is read in signal handlers");

int HoldPort(int fd, const std::string& lockPath) {
    if (lockPath.size() >= PATH_MAX) return -1;
    for (int slot = 0; slot < kHeldPorts; ++slot) {
        HeldPort& port = g_held[slot];
        int expected = kFree;
        if (!port.inUse.compare_exchange_strong(expected, kClaimed)) continue;
        port.fd.store(fd);
        port.restoreSettings.store(false);
        std::memcpy(port.lockPath, lockPath.c_str(), lockPath.size() + 1);
        port.inUse.store(kInUse);
        return slot;
    }
    return -1;
}

void SetHeldPortDescriptor(int slot, int fd) {
    if (slot < 0 || slot >= kHeldPorts) return;
    g_held[slot].fd.store(fd);
}

void KeepSettingsToRestore(int slot, const termios& settings) {
    if (slot < 0 || slot >= kHeldPorts) return;
    HeldPort& port = g_held[slot];
    port.settings = settings;
    port.restoreSettings.store(true);
}

bool LockFileHeldHere(const std::string& lockPath) {
    for (const HeldPort& port : g_held) {
        if (port.inUse.load() == kInUse && lockPath == port.lockPath) return true;
    }
    return false;
}

void ReleaseHeldPort(int slot) {
    if (slot < 0 || slot >= kHeldPorts) return;
    HeldPort& port = g_held[slot];
    // Unmarked first: a signal from here on finds nothing to release twice.
    int expected = kInUse;
    if (!port.inUse.compare_exchange_strong(expected, kFree)) return;
    Release(port);
}

void ReleaseAllHeldPorts() {
    for (HeldPort& port : g_held) {
        int expected = kInUse;
        if (port.inUse.compare_exchange_strong(expected, kFree)) Release(port);
    }
}
