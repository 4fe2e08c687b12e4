#include "sim_pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <vector>

namespace {

constexpr int kMaxPollMs = 100;
// A client that died without closing its port leaves the terminal marked
// exclusive, which would lock every later client out. After this long without
// traffic the mark is taken back; an advisory lock still keeps two clients apart.
constexpr int64_t kStaleExclusiveUs = 1000000;

std::string ErrnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

SimPtyServer::~SimPtyServer() {
    Close();
}

bool SimPtyServer::Open(const std::string& linkPath, std::string* error) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        *error = ErrnoText("openpty");
        return false;
    }
    slavePath_ = name;
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B115200);
        ::cfsetospeed(&tio, B115200);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    // Started in a session of its own (setsid), the simulator makes the terminal
    // its controlling terminal, so that no program opening it later without
    // O_NOCTTY (wine's server, for one) takes it as its own and is hung up with
    // it. Where the simulator has a controlling terminal already this is refused,
    // and nothing changes.
    ::ioctl(slave_, TIOCSCTTY, 0);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);

    if (!linkPath.empty()) {
        struct stat st {};
        if (::lstat(linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                *error = "'" + linkPath + "' exists and is not a symlink";
                Close();
                return false;
            }
            ::unlink(linkPath.c_str());
        }
        if (::symlink(slavePath_.c_str(), linkPath.c_str()) != 0) {
            *error = ErrnoText(("symlink " + linkPath).c_str());
            Close();
            return false;
        }
        linkPath_ = linkPath;
    }
    lastTrafficUs_ = clock_.NowUs();
    return true;
}

void SimPtyServer::Close() {
    if (!linkPath_.empty()) {
        // Only our own link goes: someone may have pointed it elsewhere meanwhile.
        char target[256] = {};
        ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
        if (n > 0 && slavePath_ == std::string(target, static_cast<size_t>(n))) ::unlink(linkPath_.c_str());
        linkPath_.clear();
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

void SimPtyServer::ReleaseStaleExclusive(int64_t nowUs) {
#ifdef TIOCGEXCL
    if (nowUs - lastTrafficUs_ < kStaleExclusiveUs) return;
    int exclusive = 0;
    if (::ioctl(slave_, TIOCGEXCL, &exclusive) == 0 && exclusive) ::ioctl(slave_, TIOCNXCL);
    lastTrafficUs_ = nowUs;
#else
    (void)nowUs;
#endif
}

void SimPtyServer::Serve(const volatile std::sig_atomic_t* stop) {
    std::vector<uint8_t> pending;
    uint8_t buffer[4096];
    while (!*stop && master_ >= 0) {
        size_t n;
        while ((n = device_.Read(buffer, sizeof buffer)) > 0)
            pending.insert(pending.end(), buffer, buffer + n);
        if (!pending.empty()) {
            ssize_t written = ::write(master_, pending.data(), pending.size());
            if (written > 0) pending.erase(pending.begin(), pending.begin() + written);
        }
        if (device_.HangingUp() && pending.empty() && device_.PendingOutput() == 0) {
            // Once the client has taken the last reply (or a second has passed), the
            // line goes away under it: a hang-up discards what it has not read.
            int unread = 0;
            const int64_t now = clock_.NowUs();
            if (hangUpSinceUs_ < 0) hangUpSinceUs_ = now;
            if (::ioctl(slave_, FIONREAD, &unread) != 0 || unread == 0 || now - hangUpSinceUs_ > 1000000) {
                Close();
                return;
            }
        }

        // Waits are kept to the microsecond: paced reply bytes are due 86.8 us apart,
        // and a wait rounded up to whole milliseconds would hold each one back.
        int64_t now = clock_.NowUs();
        int64_t waitUs = int64_t(kMaxPollMs) * 1000;
        int64_t next = device_.NextOutputUs();
        if (next >= 0) {
            int64_t untilNext = next > now ? next - now : 0;
            if (untilNext < waitUs) waitUs = untilNext;
        }
        pollfd p{master_, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0};
        timespec wait{static_cast<time_t>(waitUs / 1000000), static_cast<long>(waitUs % 1000000) * 1000};
        int ready = ::ppoll(&p, 1, &wait, nullptr);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (ready == 0) {
            ReleaseStaleExclusive(clock_.NowUs());
            continue;
        }
        if (p.revents & POLLIN) {
            ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got > 0) {
                lastTrafficUs_ = clock_.NowUs();
                device_.Receive(buffer, static_cast<size_t>(got));
                continue;
            }
        }
        if (p.revents & (POLLHUP | POLLERR)) {
            // Should not happen while we hold the slave open; do not spin on it.
            ::usleep(20000);
        }
    }
}
