// The transport hooks over the open COM port: transmit, receive, sleep, pump.
#include "com_port.h"

#include <cerrno>
#include <ctime>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Serial waits are measured on the monotonic clock: a clock step by NTP or
// the operator must not stretch or cut a time-out.
int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// poll() takes whole milliseconds: round up so that a wait never ends early.
int PollTimeoutMs(int64_t remainingNs) {
    if (remainingNs <= 0) return 0;
    int64_t ms = (remainingNs + 999999) / 1000000;
    return ms > 1000000000 ? 1000000000 : int(ms);
}

int OpenFd(void* context) {
    const ComPort* port = static_cast<const ComPort*>(context);
    return port ? port->fd : -1;
}

// A byte's time on the line at 115200 baud: start bit, 8 data bits, stop bit.
constexpr int64_t kByteNs = 10 * int64_t(1000000000) / 115200;

// Time allowed for a write to get into the driver: the bytes' own time on
// the line at 115200 baud plus a second. Output flow control is off, so a
// port that takes nothing for that long is stuck (a pseudo-terminal whose
// other end reads nothing), and the write fails instead of hanging.
int64_t WriteAllowanceNs(int length) {
    return int64_t(length) * kByteNs + 1000000000;
}

// Once a reply has begun, the rest of it cannot come faster than the line carries
// it: sleep through all but its last two bytes' time instead of waking for every
// byte that trickles in. The last bytes are waited for in poll(), so the reply is
// still taken the moment it is complete.
void SleepWhileTheLineCarries(int missing, int64_t remainingNs) {
    int64_t ns = int64_t(missing - 2) * kByteNs;
    if (ns > remainingNs) ns = remainingNs;
    if (ns <= 0) return;
    timespec pause{time_t(ns / 1000000000), long(ns % 1000000000)};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

enum class ReadOutcome { Data, Nothing, LineGone };

ReadOutcome ReadSome(int fd, uint8_t* into, int wanted, int* got) {
    *got = 0;
    for (;;) {
        ssize_t n = ::read(fd, into, size_t(wanted));
        if (n > 0) {
            *got = int(n);
            return ReadOutcome::Data;
        }
        // The port is non-blocking with VMIN 1: an empty line gives EAGAIN,
        // and 0 is the end of a hung-up terminal.
        if (n == 0) return ReadOutcome::LineGone;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadOutcome::Nothing;
        return ReadOutcome::LineGone;  // EIO after an unplug, EBADF, ...
    }
}

// Whatever waits in the input when a request is about to go out belongs to an
// earlier exchange (a reply that came after its time-out): it must not be taken
// for this request's reply. Bounded, so that a line that never stops talking
// cannot hold the request back.
void DiscardPendingInput(int fd) {
    ::tcflush(fd, TCIFLUSH);
    uint8_t scratch[256];
    for (int round = 0; round < 64; ++round) {
        int n = 0;
        if (ReadSome(fd, scratch, int(sizeof scratch), &n) != ReadOutcome::Data) return;
    }
}

}  // namespace

ZelResult ComTransmit(void* context, int /*address*/, const uint8_t* bytes, int length) {
    int fd = OpenFd(context);
    if (fd < 0 || length < 0 || (length > 0 && !bytes)) return ZEL_E_TX_FAILED;

    DiscardPendingInput(fd);
    const int64_t deadline = NowNs() + WriteAllowanceNs(length);
    int sent = 0;
    while (sent < length) {
        ssize_t n = ::write(fd, bytes + sent, size_t(length - sent));
        if (n > 0) {
            sent += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return ZEL_E_TX_FAILED;
        // Driver buffer full: wait until it takes more.
        int64_t remaining = deadline - NowNs();
        if (remaining <= 0) return ZEL_E_TX_FAILED;
        pollfd p{fd, POLLOUT, 0};
        int ready = ::poll(&p, 1, PollTimeoutMs(remaining));
        if (ready < 0 && errno != EINTR) return ZEL_E_TX_FAILED;
        if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return ZEL_E_TX_FAILED;
    }
    return ZEL_OK;
}

// Collects up to `count` bytes, returning as soon as they are all there, when
// the time-out has run out since the call began, or at once when the line has
// gone away. The first read is made even with a time-out of 0. Between reads
// the thread sleeps in poll(). 0 when anything arrived, otherwise 11.
ZelResult ComReceive(void* context, int /*address*/, uint8_t* buffer, int count, int* received,
                     int timeoutMs) {
    const int64_t deadline = NowNs() + int64_t(timeoutMs > 0 ? timeoutMs : 0) * 1000000;
    int got = 0;
    int fd = OpenFd(context);

    if (fd >= 0 && buffer && count > 0) {
        bool hungUp = false;
        for (;;) {
            int n = 0;
            ReadOutcome outcome = ReadSome(fd, buffer + got, count - got, &n);
            got += n;
            if (got >= count || outcome == ReadOutcome::LineGone) break;
            // poll() said the line is down and nothing more is there to take.
            if (outcome == ReadOutcome::Nothing && hungUp) break;

            int64_t remaining = deadline - NowNs();
            if (remaining <= 0) break;
            if (outcome == ReadOutcome::Data) {
                SleepWhileTheLineCarries(count - got, remaining);
                continue;
            }

            pollfd p{fd, POLLIN, 0};
            int ready = ::poll(&p, 1, PollTimeoutMs(remaining));
            if (ready < 0 && errno != EINTR) break;
            if (ready > 0 && (p.revents & POLLNVAL)) break;
            // After a hang-up the next read still takes what had arrived.
            hungUp = ready > 0 && (p.revents & (POLLHUP | POLLERR));
        }
    }

    if (received) *received = got;
    return got > 0 ? ZEL_OK : ZEL_E_RX_FAILED;
}

bool ComLineGone(const ComPort* port) {
    if (!port || port->fd < 0) return true;
    pollfd p{port->fd, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

ZelResult ComSleep(void* /*context*/, int milliseconds) {
    if (milliseconds <= 0) return ZEL_OK;
    // An absolute wake-up time keeps the sleep exact across signal interruptions.
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    int64_t ns = int64_t(until.tv_nsec) + int64_t(milliseconds % 1000) * 1000000;
    until.tv_sec += milliseconds / 1000 + time_t(ns / 1000000000);
    until.tv_nsec = long(ns % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
    return ZEL_OK;
}

ZelResult ComPumpMessages(void* context) {
    const ComPort* port = static_cast<const ComPort*>(context);
    if (port && port->pump) port->pump(port->pumpContext);
    return ZEL_OK;
}
