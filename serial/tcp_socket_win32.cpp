// TCP sockets on Windows: Winsock in non-blocking mode, waits in select().
// Winsock differs from BSD sockets in the places marked: a failed connection
// is reported as an exception, not as writability; SO_REUSEADDR would let a
// second program bind a port already listened at, so SO_EXCLUSIVEADDRUSE is
// asked for instead; and no send raises SIGPIPE.
#include "tcp_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <algorithm>
#include <cstring>
#include <mutex>

#include "socket_addresses.h"
#include "windows_text_win32.h"

namespace {

// Winsock must be started once in every process before any other call.
void StartWinsock() {
    static std::once_flag started;
    std::call_once(started, [] {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    });
}

SOCKET AsSocket(std::intptr_t handle) {
    return SOCKET(handle);
}

timeval Timeval(int64_t us) {
    if (us < 0) us = 0;
    timeval t;
    t.tv_sec = long(us / 1000000);
    t.tv_usec = long(us % 1000000);
    return t;
}

// Waits up to `waitMs` until the socket is readable (or writable) or failed.
// False when the time ran out; *failed tells an exception (a refused connection).
bool SelectOne(SOCKET s, bool forWrite, int waitMs, bool* failed) {
    fd_set ready, failures;
    FD_ZERO(&ready);
    FD_ZERO(&failures);
    FD_SET(s, &ready);
    FD_SET(s, &failures);
    timeval wait = Timeval(int64_t(std::max(waitMs, 0)) * 1000);
    const int n = ::select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failures, &wait);
    *failed = n > 0 && FD_ISSET(s, &failures);
    return n > 0;
}

}  // namespace

bool ResolveAddresses(const std::string& host, const std::string& port, bool passive,
                      std::vector<SocketAddress>* addresses, std::string* error) {
    StartWinsock();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = passive ? AI_PASSIVE : AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (rc != 0 || !found) {
        if (error) *error = rc != 0 ? WindowsErrorText(DWORD(rc)) : "no address";
        if (found) ::freeaddrinfo(found);
        return false;
    }
    *addresses = CopyAddresses(found);
    ::freeaddrinfo(found);
    return !addresses->empty();
}

void TcpSocket::Close() {
    if (handle_ == kNone) return;
    ::closesocket(AsSocket(handle_));
    handle_ = kNone;
}

void TcpSocket::NoteError(int code) {
    errorText_ = WindowsErrorText(DWORD(code));
}

SocketStatus TcpSocket::StartConnect(const SocketAddress& address) {
    Close();
    StartWinsock();
    const SOCKET s = ::socket(address.family, address.type, address.protocol);
    if (s == INVALID_SOCKET) {
        NoteError(WSAGetLastError());
        return SocketStatus::Failed;
    }
    handle_ = std::intptr_t(s);
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, reinterpret_cast<const sockaddr*>(address.bytes), address.length) == 0)
        return SocketStatus::Done;
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK || error == WSAEINPROGRESS) return SocketStatus::Pending;
    NoteError(error);
    Close();
    return error == WSAECONNREFUSED ? SocketStatus::Refused : SocketStatus::Failed;
}

SocketStatus TcpSocket::FinishConnect(int waitMs) {
    if (handle_ == kNone) return SocketStatus::Failed;
    const SOCKET s = AsSocket(handle_);
    bool failed = false;
    if (!SelectOne(s, true, waitMs, &failed)) return SocketStatus::Pending;
    if (!failed) return SocketStatus::Done;
    int error = 0;
    int size = sizeof error;
    if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
        error = WSAGetLastError();
    NoteError(error);
    Close();
    if (error == WSAECONNREFUSED) return SocketStatus::Refused;
    return error == WSAETIMEDOUT ? SocketStatus::TimedOut : SocketStatus::Failed;
}

bool TcpSocket::Listen(const SocketAddress& address) {
    Close();
    StartWinsock();
    const SOCKET s = ::socket(address.family, address.type, address.protocol);
    if (s == INVALID_SOCKET) {
        NoteError(WSAGetLastError());
        return false;
    }
    handle_ = std::intptr_t(s);
    BOOL on = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    if (::bind(s, reinterpret_cast<const sockaddr*>(address.bytes), address.length) != 0 ||
        ::listen(s, 4) != 0) {
        NoteError(WSAGetLastError());
        Close();
        return false;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    return true;
}

int TcpSocket::LocalPort() const {
    sockaddr_storage bound{};
    int size = sizeof bound;
    if (handle_ == kNone || ::getsockname(AsSocket(handle_), reinterpret_cast<sockaddr*>(&bound), &size) != 0)
        return 0;
    if (bound.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

TcpSocket TcpSocket::Accept() {
    TcpSocket client;
    if (handle_ == kNone) return client;
    const SOCKET s = ::accept(AsSocket(handle_), nullptr, nullptr);
    if (s == INVALID_SOCKET) return client;
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    client.handle_ = std::intptr_t(s);
    return client;
}

int TcpSocket::Receive(uint8_t* into, int max) {
    if (handle_ == kNone) return -1;
    const int n = ::recv(AsSocket(handle_), reinterpret_cast<char*>(into), max, 0);
    if (n > 0) return n;
    if (n == 0) return -1;
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) return 0;
    NoteError(error);
    return -1;
}

int TcpSocket::Send(const uint8_t* bytes, int length) {
    if (handle_ == kNone) return -1;
    const int n = ::send(AsSocket(handle_), reinterpret_cast<const char*>(bytes), length, 0);
    if (n >= 0) return n;
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) return 0;
    NoteError(error);
    return -1;
}

bool TcpSocket::PeerGone() const {
    if (handle_ == kNone) return true;
    char peek;
    const int n = ::recv(AsSocket(handle_), &peek, 1, MSG_PEEK);
    if (n == 0) return true;
    return n < 0 && WSAGetLastError() != WSAEWOULDBLOCK;
}

void TcpSocket::SetNoDelay() {
    BOOL on = TRUE;
    if (handle_ != kNone)
        ::setsockopt(AsSocket(handle_), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                     sizeof on);
}

bool TcpSocket::Wait(bool forWrite, int waitMs) const {
    if (handle_ == kNone) return true;
    bool failed = false;
    return SelectOne(AsSocket(handle_), forWrite, waitMs, &failed);
}

bool WaitForInput(TcpSocket* const* sockets, int count, int64_t waitUs, bool* ready) {
    fd_set readable;
    FD_ZERO(&readable);
    int open = 0;
    for (int i = 0; i < count; ++i) {
        ready[i] = false;
        if (sockets[i] && sockets[i]->IsOpen()) {
            FD_SET(AsSocket(sockets[i]->handle_), &readable);
            ++open;
        }
    }
    timeval wait = Timeval(waitUs);
    // select() with no socket at all fails at once instead of waiting.
    if (open == 0) {
        ::Sleep(DWORD(waitUs / 1000));
        return false;
    }
    if (::select(0, &readable, nullptr, nullptr, &wait) <= 0) return false;
    for (int i = 0; i < count; ++i) {
        if (sockets[i] && sockets[i]->IsOpen())
            ready[i] = FD_ISSET(AsSocket(sockets[i]->handle_), &readable) != 0;
    }
    return true;
}
