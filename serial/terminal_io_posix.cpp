// Writing to and reading from a serial terminal: non-blocking descriptor, waits in poll().
#include "terminal_link_posix.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <ctime>

namespace {

// poll() takes whole milliseconds: round up so that a wait never ends early.
int PollTimeoutMs(int64_t remainingNs) {
    if (remainingNs <= 0) return 0;
    int64_t ms = (remainingNs + 999999) / 1000000;
    return ms > 1000000000 ? 1000000000 : int(ms);
}

// A byte's time on the line at 115200 baud: start bit, 8 data bits, stop bit.
constexpr int64_t kByteNs = 10 * int64_t(1000000000) / 115200;

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

// Nanoseconds left until `deadline`; negative once it has passed.
int64_t RemainingNs(SerialLink::Deadline deadline) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - SerialLink::Clock::now()).count();
}

}  // namespace

// Bounded, so that a line that never stops talking cannot hold the request back.
void TerminalLink::DiscardInput() {
    if (fd_ < 0) return;
    ::tcflush(fd_, TCIFLUSH);
    uint8_t scratch[256];
    for (int round = 0; round < 64; ++round) {
        int n = 0;
        if (ReadSome(fd_, scratch, int(sizeof scratch), &n) != ReadOutcome::Data) return;
    }
}

bool TerminalLink::Write(const uint8_t* bytes, int length, Deadline deadline) {
    if (fd_ < 0) return false;
    int sent = 0;
    while (sent < length) {
        ssize_t n = ::write(fd_, bytes + sent, size_t(length - sent));
        if (n > 0) {
            sent += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        // Driver buffer full: wait until it takes more.
        int64_t remaining = RemainingNs(deadline);
        if (remaining <= 0) return false;
        pollfd p{fd_, POLLOUT, 0};
        int ready = ::poll(&p, 1, PollTimeoutMs(remaining));
        if (ready < 0 && errno != EINTR) return false;
        if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
    }
    return true;
}

// Between reads the thread sleeps in poll().
int TerminalLink::Read(uint8_t* into, int count, Deadline deadline) {
    int got = 0;
    if (fd_ < 0 || !into || count <= 0) return 0;
    bool hungUp = false;
    for (;;) {
        int n = 0;
        ReadOutcome outcome = ReadSome(fd_, into + got, count - got, &n);
        got += n;
        if (got >= count || outcome == ReadOutcome::LineGone) break;
        // poll() said the line is down and nothing more is there to take.
        if (outcome == ReadOutcome::Nothing && hungUp) break;

        int64_t remaining = RemainingNs(deadline);
        if (remaining <= 0) break;
        if (outcome == ReadOutcome::Data) {
            SleepWhileTheLineCarries(count - got, remaining);
            continue;
        }

        pollfd p{fd_, POLLIN, 0};
        int ready = ::poll(&p, 1, PollTimeoutMs(remaining));
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0 && (p.revents & POLLNVAL)) break;
        // After a hang-up the next read still takes what had arrived.
        hungUp = ready > 0 && (p.revents & (POLLHUP | POLLERR));
    }
    return got;
}

bool TerminalLink::LineGone() const {
    if (fd_ < 0) return true;
    pollfd p{fd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}
