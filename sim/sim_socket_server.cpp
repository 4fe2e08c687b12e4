#include "sim_socket_server.h"

#include <algorithm>

namespace {

// The longest wait between looks at the device when it has nothing due.
constexpr int64_t kMaxWaitUs = 100000;
// While the client's side is full, look again this soon.
constexpr int64_t kBackPressureWaitUs = 1000;

}  // namespace

bool SimSocketServer::Listen(const std::string& name, std::string* error) {
    return ListenAt(name, &listener_, error);
}

void SimSocketServer::Accept() {
    TcpSocket incoming = listener_.socket.Accept();
    if (!incoming.IsOpen()) return;
    // A client that hung up just before this one came is seen only once its
    // bytes are taken: a client coming back is no second client.
    if (client_.IsOpen()) TakeClientBytes();
    if (client_.IsOpen()) {
        const std::string busy = SimListener::kBusyText;
        incoming.Send(reinterpret_cast<const uint8_t*>(busy.data()), int(busy.size()));
        return;
    }
    client_ = std::move(incoming);
    client_.SetNoDelay();
    unsent_.clear();
    telnet_ = SimTelnetSide();
    if (listener_.telnet) unsent_ = telnet_.Greeting();
}

void SimSocketServer::TakeClientBytes() {
    uint8_t buffer[4096];
    for (int round = 0; round < 16 && client_.IsOpen(); ++round) {
        const int n = client_.Receive(buffer, int(sizeof buffer));
        if (n < 0) {
            client_.Close();
            return;
        }
        if (n == 0) return;
        if (!listener_.telnet) {
            device_.Receive(buffer, size_t(n));
            continue;
        }
        std::vector<uint8_t> data;
        const std::vector<uint8_t> answer = telnet_.Handle(buffer, n, &data);
        if (!data.empty()) device_.Receive(data.data(), data.size());
        unsent_.insert(unsent_.end(), answer.begin(), answer.end());
    }
}

bool SimSocketServer::SendDeviceBytes() {
    uint8_t buffer[4096];
    size_t n;
    while ((n = device_.Read(buffer, sizeof buffer)) > 0) {
        // Nobody connected: what the device says is lost, as on a line with no one listening.
        if (!client_.IsOpen()) continue;
        if (listener_.telnet)
            telnet::AppendData(&unsent_, buffer, int(n));
        else
            unsent_.insert(unsent_.end(), buffer, buffer + n);
    }
    if (!client_.IsOpen() || unsent_.empty()) return true;
    const int sent = client_.Send(unsent_.data(), int(unsent_.size()));
    if (sent < 0) {
        client_.Close();
        unsent_.clear();
        return false;
    }
    unsent_.erase(unsent_.begin(), unsent_.begin() + sent);
    return true;
}

void SimSocketServer::Serve(const volatile std::sig_atomic_t* stop) {
    while (!*stop) {
        SendDeviceBytes();
        // The device has said its last and hangs up: the line goes away under the client.
        if (device_.HangingUp() && unsent_.empty() && device_.PendingOutput() == 0) break;

        const int64_t now = clock_.NowUs();
        int64_t waitUs = unsent_.empty() ? kMaxWaitUs : kBackPressureWaitUs;
        const int64_t next = device_.NextOutputUs();
        if (next >= 0) waitUs = std::min(waitUs, std::max<int64_t>(next - now, 0));
        TcpSocket* sockets[2] = {&listener_.socket, &client_};
        bool ready[2] = {false, false};
        if (!WaitForInput(sockets, 2, waitUs, ready)) continue;
        if (ready[0]) Accept();
        if (ready[1]) TakeClientBytes();
    }
    client_.Close();
}
