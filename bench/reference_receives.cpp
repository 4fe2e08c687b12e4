#include "reference_receives.h"

#include <unistd.h>
#include <cerrno>
#include <ctime>

#include "com_port.h"
#include "terminal_link_posix.h"

namespace {

int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Reads until `count` bytes are in or the time-out has run out, pausing between
// reads for `pauseNs` (none: spin).
ZelResult ReadLoop(void* context, uint8_t* buffer, int count, int* received, int timeoutMs, long pauseNs) {
    const ComPort* port = static_cast<const ComPort*>(context);
    const int64_t start = NowNs();
    const int64_t limit = int64_t(timeoutMs > 0 ? timeoutMs : 0) * 1000000;
    int got = 0;
    const int fd = port ? TerminalDescriptor(*port) : -1;
    if (fd >= 0 && buffer && count > 0) {
        for (;;) {
            ssize_t n = ::read(fd, buffer + got, size_t(count - got));
            if (n > 0) got += int(n);
            if (got >= count || NowNs() - start >= limit) break;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) break;
            if (pauseNs > 0) {
                const timespec pause{0, pauseNs};
                nanosleep(&pause, nullptr);
            }
        }
    }
    if (received) *received = got;
    return got > 0 ? ZEL_OK : ZEL_E_RX_FAILED;
}

}  // namespace

ZelResult PollingReceive(void* context, int /*address*/, uint8_t* buffer, int count, int* received,
                         int timeoutMs) {
    return ReadLoop(context, buffer, count, received, timeoutMs, 1000000);
}

ZelResult SpinningReceive(void* context, int /*address*/, uint8_t* buffer, int count, int* received,
                          int timeoutMs) {
    return ReadLoop(context, buffer, count, received, timeoutMs, 0);
}
