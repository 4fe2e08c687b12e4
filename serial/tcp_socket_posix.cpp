// TCP sockets on POSIX systems: non-blocking descriptors, waits in poll().
#include "tcp_socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "socket_addresses.h"

namespace {

int PollOne(int fd, short events, int waitMs, short* revents) {
    pollfd p{fd, events, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, waitMs);
    } while (ready < 0 && errno == EINTR);
    *revents = p.revents;
    return ready;
}

}  // namespace

bool ResolveAddresses(const std::string& host, const std::string& port, bool passive,
                      std::vector<SocketAddress>* addresses, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = passive ? AI_PASSIVE : AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (rc != 0 || !found) {
        if (error) *error = rc != 0 ? ::gai_strerror(rc) : "no address";
        if (found) ::freeaddrinfo(found);
        return false;
    }
    *addresses = CopyAddresses(found);
    ::freeaddrinfo(found);
    return !addresses->empty();
}

void TcpSocket::Close() {
    if (handle_ == kNone) return;
    ::close(int(handle_));
    handle_ = kNone;
}

void TcpSocket::NoteError(int code) {
    errorText_ = std::strerror(code);
}

SocketStatus TcpSocket::StartConnect(const SocketAddress& address) {
    Close();
    const int fd = ::socket(address.family, address.type | SOCK_NONBLOCK | SOCK_CLOEXEC, address.protocol);
    if (fd < 0) {
        NoteError(errno);
        return SocketStatus::Failed;
    }
    handle_ = fd;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(address.bytes), socklen_t(address.length)) == 0)
        return SocketStatus::Done;
    if (errno == EINPROGRESS || errno == EINTR) return SocketStatus::Pending;
    const int error = errno;
    NoteError(error);
    Close();
    return error == ECONNREFUSED ? SocketStatus::Refused : SocketStatus::Failed;
}

SocketStatus TcpSocket::FinishConnect(int waitMs) {
    if (handle_ == kNone) return SocketStatus::Failed;
    short revents = 0;
    if (PollOne(int(handle_), POLLOUT, waitMs, &revents) == 0) return SocketStatus::Pending;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(int(handle_), SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
    if (error == 0) return SocketStatus::Done;
    NoteError(error);
    Close();
    if (error == ECONNREFUSED) return SocketStatus::Refused;
    return error == ETIMEDOUT ? SocketStatus::TimedOut : SocketStatus::Failed;
}

bool TcpSocket::Listen(const SocketAddress& address) {
    Close();
    const int fd = ::socket(address.family, address.type | SOCK_CLOEXEC, address.protocol);
    if (fd < 0) {
        NoteError(errno);
        return false;
    }
    handle_ = fd;
    // A port whose last connection is still in TIME_WAIT may be taken at once;
    // a port another program listens at is refused all the same.
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(address.bytes), socklen_t(address.length)) != 0 ||
        ::listen(fd, 4) != 0) {
        NoteError(errno);
        Close();
        return false;
    }
    return true;
}

int TcpSocket::LocalPort() const {
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    if (handle_ == kNone || ::getsockname(int(handle_), reinterpret_cast<sockaddr*>(&bound), &size) != 0)
        return 0;
    if (bound.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

TcpSocket TcpSocket::Accept() {
    TcpSocket client;
    if (handle_ == kNone) return client;
    const int fd = ::accept4(int(handle_), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd >= 0) client.handle_ = fd;
    return client;
}

int TcpSocket::Receive(uint8_t* into, int max) {
    if (handle_ == kNone) return -1;
    for (;;) {
        const ssize_t n = ::recv(int(handle_), into, size_t(max), MSG_DONTWAIT);
        if (n > 0) return int(n);
        if (n == 0) return -1;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        NoteError(errno);
        return -1;
    }
}

int TcpSocket::Send(const uint8_t* bytes, int length) {
    if (handle_ == kNone) return -1;
    for (;;) {
        const ssize_t n = ::send(int(handle_), bytes, size_t(length), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) return int(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        NoteError(errno);
        return -1;
    }
}

bool TcpSocket::PeerGone() const {
    if (handle_ == kNone) return true;
    uint8_t peek;
    const ssize_t n = ::recv(int(handle_), &peek, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return true;
    return n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
}

void TcpSocket::SetNoDelay() {
    int on = 1;
    if (handle_ != kNone) ::setsockopt(int(handle_), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool TcpSocket::Wait(bool forWrite, int waitMs) const {
    if (handle_ == kNone) return true;
    short revents = 0;
    return PollOne(int(handle_), forWrite ? POLLOUT : POLLIN, std::max(waitMs, 0), &revents) != 0;
}

bool WaitForInput(TcpSocket* const* sockets, int count, int64_t waitUs, bool* ready) {
    std::vector<pollfd> fds;
    for (int i = 0; i < count; ++i) {
        ready[i] = false;
        if (sockets[i] && sockets[i]->IsOpen()) fds.push_back({int(sockets[i]->handle_), POLLIN, 0});
    }
    const timespec wait{time_t(waitUs / 1000000), long(waitUs % 1000000) * 1000};
    const int n = ::ppoll(fds.data(), fds.size(), &wait, nullptr);
    if (n <= 0) return false;
    size_t next = 0;
    for (int i = 0; i < count; ++i) {
        if (!sockets[i] || !sockets[i]->IsOpen()) continue;
        ready[i] = fds[next++].revents != 0;
    }
    return true;
}
