// A TCP socket that never blocks, for the network link and the simulator's
// listener: the one place that knows the system's socket calls (BSD sockets,
// or Winsock on Windows). Callers never see a descriptor, a SOCKET or errno.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One address a name resolved to, as the system gave it.
struct SocketAddress {
    int family = 0;
    int type = 0;
    int protocol = 0;
    int length = 0;
    unsigned char bytes[128] = {};
};

// Resolves `host` and `port` (a number or a service name). `passive` asks for
// addresses to listen at. False with the system's words in *error.
bool ResolveAddresses(const std::string& host, const std::string& port, bool passive,
                      std::vector<SocketAddress>* addresses, std::string* error);

enum class SocketStatus {
    Done,
    Pending,  // a connection under way
    Refused,  // nothing listens there
    TimedOut,
    Failed,  // ErrorText() says why
};

class TcpSocket {
public:
    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    bool IsOpen() const { return handle_ != kNone; }
    void Close();

    // Begins connecting to `address` without waiting.
    SocketStatus StartConnect(const SocketAddress& address);
    // Waits up to `waitMs` for a connection begun with StartConnect.
    SocketStatus FinishConnect(int waitMs);
    // Listens at `address`. A port another program listens at is refused,
    // also on Windows, where it would otherwise be shared.
    bool Listen(const SocketAddress& address);
    // The port this socket is bound to; 0 when none.
    int LocalPort() const;
    // A waiting client; a socket that is not open when none waits.
    TcpSocket Accept();

    // Bytes received (> 0), 0 when none are waiting, -1 when the far end has
    // closed the connection or it broke.
    int Receive(uint8_t* into, int max);
    // Bytes taken (0 when the system's buffer is full), -1 when broken. Never
    // raises a signal.
    int Send(const uint8_t* bytes, int length);
    // The far end has closed or the connection broke; looks without taking
    // anything and without waiting.
    bool PeerGone() const;
    void SetNoDelay();
    // Waits up to `waitMs` until the socket can be read (or written, with
    // `forWrite`), or shows an error. False when the time ran out.
    bool Wait(bool forWrite, int waitMs) const;
    // The system's words for the last failure.
    const std::string& ErrorText() const { return errorText_; }

#ifndef _WIN32
    // For a poll() loop over sockets and other files together (the pseudo-
    // terminal relay of the simulator).
    int Descriptor() const {
        return int(handle_);
    }
#endif

private:
    friend bool WaitForInput(TcpSocket* const* sockets, int count, int64_t waitUs, bool* ready);
    static constexpr std::intptr_t kNone = -1;
    void NoteError(int code);

    std::intptr_t handle_ = kNone;
    std::string errorText_;
};

// Waits up to `waitUs` microseconds until one of the open sockets has input
// (or a client to accept); ready[i] tells which. False when the time ran out.
bool WaitForInput(TcpSocket* const* sockets, int count, int64_t waitUs, bool* ready);
