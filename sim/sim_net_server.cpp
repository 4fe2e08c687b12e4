#include "sim_net_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <set>
#include <vector>

#include "network_port_name.h"
#include "telnet_codec.h"

namespace {

bool WriteAll(int fd, const uint8_t* bytes, size_t length) {
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::send(fd, bytes + done, length - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

// The terminal side is non-blocking; the device reads fast, so wait briefly when full.
void WriteTerminal(int fd, const uint8_t* bytes, size_t length) {
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, bytes + done, length - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 100);
    }
}

// One client's Telnet: the server's side of the negotiation and of COM Port Control.
struct TelnetServerSide {
    telnet::Decoder decoder;
    // Answers client traffic; data bytes for the device go to `data`.
    std::vector<uint8_t> Handle(const uint8_t* bytes, int length, std::vector<uint8_t>* data) {
        using namespace telnet;
        std::vector<Event> events;
        decoder.Feed(bytes, length, data, &events);
        std::vector<uint8_t> out;
        const auto add = [&out](const std::vector<uint8_t>& b) { out.insert(out.end(), b.begin(), b.end()); };
        for (const Event& e : events) {
            if (e.kind == Event::Negotiation) {
                const bool ours = e.option == kOptionBinary || e.option == kOptionComPort;
                // Answers only a request: agreeing again to an agreement would loop.
                if (e.verb == kWill && ours && agreedDo.insert(e.option).second) add(Negotiation(kDo, e.option));
                if (e.verb == kDo && ours && agreedWill.insert(e.option).second) add(Negotiation(kWill, e.option));
                if (e.verb == kWill && !ours) add(Negotiation(kDont, e.option));
                if (e.verb == kDo && !ours) add(Negotiation(kWont, e.option));
            } else if (e.kind == Event::Subnegotiation && e.option == kOptionComPort && !e.payload.empty()) {
                std::vector<uint8_t> answer = e.payload;
                answer[0] = uint8_t(answer[0] + kServerOffset);
                add(Subnegotiation(kOptionComPort, answer));
            }
        }
        return out;
    }
    std::vector<uint8_t> Greeting() {
        using namespace telnet;
        agreedWill.insert(kOptionBinary);
        agreedDo.insert(kOptionBinary);
        agreedDo.insert(kOptionComPort);
        std::vector<uint8_t> out = Negotiation(kWill, kOptionBinary);
        for (uint8_t b : Negotiation(kDo, kOptionBinary)) out.push_back(b);
        for (uint8_t b : Negotiation(kDo, kOptionComPort)) out.push_back(b);
        return out;
    }
    std::set<uint8_t> agreedWill, agreedDo;
};

}  // namespace

SimNetServer::~SimNetServer() {
    if (listener_ >= 0) ::close(listener_);
}

bool SimNetServer::Listen(const std::string& name, std::string* error) {
    // Port 0 is no port to connect to, but here it asks for a free one.
    std::string checked = name;
    const bool anyPort = checked.size() > 2 && checked.compare(checked.size() - 2, 2, ":0") == 0;
    if (anyPort) checked.back() = '1';
    NetworkPortName parsed;
    if (!ParseNetworkPortName(checked, &parsed, error)) return false;
    telnet_ = parsed.telnet;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (::getaddrinfo(parsed.host.c_str(), anyPort ? "0" : parsed.port.c_str(), &hints, &found) != 0 || !found) {
        *error = "cannot resolve " + parsed.host;
        return false;
    }
    listener_ = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const bool ok = listener_ >= 0 && ::bind(listener_, found->ai_addr, found->ai_addrlen) == 0 &&
                    ::listen(listener_, 4) == 0;
    ::freeaddrinfo(found);
    if (!ok) {
        *error = "cannot listen at " + name + ": " + std::strerror(errno);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &size);
    const int port = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                                 : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    const std::string host = parsed.host.find(':') != std::string::npos ? "[" + parsed.host + "]" : parsed.host;
    name_ = std::string(telnet_ ? "rfc2217://" : "tcp://") + host + ":" + std::to_string(port);
    return true;
}

void SimNetServer::Serve(const std::string& terminalPath, const volatile std::sig_atomic_t* stop) {
    const int terminal = ::open(terminalPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (terminal < 0) return;
    int client = -1;
    TelnetServerSide telnetSide;
    while (!*stop) {
        pollfd fds[3] = {{listener_, POLLIN, 0}, {terminal, POLLIN, 0}, {client, POLLIN, 0}};
        if (::poll(fds, client >= 0 ? 3 : 2, 100) <= 0) continue;
        if (fds[0].revents & POLLIN) {
            const int incoming = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (incoming >= 0 && client >= 0) {
                static const char kBusy[] = "Port already in use\r\n";
                WriteAll(incoming, reinterpret_cast<const uint8_t*>(kBusy), sizeof kBusy - 1);
                ::close(incoming);
            } else if (incoming >= 0) {
                client = incoming;
                int one = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                telnetSide = TelnetServerSide();
                if (telnet_) {
                    const std::vector<uint8_t> hello = telnetSide.Greeting();
                    WriteAll(client, hello.data(), hello.size());
                }
            }
        }
        // The terminal hung up: the line is gone, as when a terminal server loses its device.
        if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[1].revents & POLLIN)) break;
        if (fds[1].revents & POLLIN) {
            uint8_t buffer[4096];
            const ssize_t n = ::read(terminal, buffer, sizeof buffer);
            // Nobody connected: what the device says is lost, as on a line with no one listening.
            if (n > 0 && client >= 0) {
                std::vector<uint8_t> out;
                if (telnet_) telnet::AppendData(&out, buffer, int(n));
                else out.assign(buffer, buffer + n);
                if (!WriteAll(client, out.data(), out.size())) {
                    ::close(client);
                    client = -1;
                }
            }
        }
        if (client >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            uint8_t buffer[4096];
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                ::close(client);
                client = -1;
                continue;
            }
            if (!telnet_) {
                WriteTerminal(terminal, buffer, size_t(n));
                continue;
            }
            std::vector<uint8_t> data;
            const std::vector<uint8_t> answer = telnetSide.Handle(buffer, int(n), &data);
            WriteTerminal(terminal, data.data(), data.size());
            if (!answer.empty() && !WriteAll(client, answer.data(), answer.size())) {
                ::close(client);
                client = -1;
            }
        }
    }
    if (client >= 0) ::close(client);
    ::close(terminal);
}
