// The relay between the pseudo-terminal and one network client, in one poll() loop.
#include "sim_net_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

#include "sim_telnet_side.h"

namespace {

bool WriteAll(TcpSocket& socket, const uint8_t* bytes, size_t length) {
    size_t done = 0;
    while (done < length) {
        const int n = socket.Send(bytes + done, int(length - done));
        if (n < 0) return false;
        if (n == 0 && !socket.Wait(true, 1000)) return false;
        done += size_t(n);
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

}  // namespace

bool SimNetServer::Listen(const std::string& name, std::string* error) {
    return ListenAt(name, &listener_, error);
}

void SimNetServer::Serve(const std::string& terminalPath, const volatile std::sig_atomic_t* stop) {
    const int terminal = ::open(terminalPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (terminal < 0) return;
    TcpSocket client;
    SimTelnetSide telnetSide;
    const bool telnet = listener_.telnet;
    while (!*stop) {
        pollfd fds[3] = {{listener_.socket.Descriptor(), POLLIN, 0},
                         {terminal, POLLIN, 0},
                         {client.IsOpen() ? client.Descriptor() : -1, POLLIN, 0}};
        if (::poll(fds, client.IsOpen() ? 3 : 2, 100) <= 0) continue;
        if (fds[0].revents & POLLIN) {
            TcpSocket incoming = listener_.socket.Accept();
            if (incoming.IsOpen() && client.IsOpen()) {
                const std::string busy = SimListener::kBusyText;
                WriteAll(incoming, reinterpret_cast<const uint8_t*>(busy.data()), busy.size());
            } else if (incoming.IsOpen()) {
                client = std::move(incoming);
                client.SetNoDelay();
                telnetSide = SimTelnetSide();
                if (telnet) {
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
            if (n > 0 && client.IsOpen()) {
                std::vector<uint8_t> out;
                if (telnet)
                    telnet::AppendData(&out, buffer, int(n));
                else
                    out.assign(buffer, buffer + n);
                if (!WriteAll(client, out.data(), out.size())) client.Close();
            }
        }
        if (client.IsOpen() && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            uint8_t buffer[4096];
            const int n = client.Receive(buffer, int(sizeof buffer));
            if (n < 0) {
                client.Close();
                continue;
            }
            if (n == 0) continue;
            if (!telnet) {
                WriteTerminal(terminal, buffer, size_t(n));
                continue;
            }
            std::vector<uint8_t> data;
            const std::vector<uint8_t> answer = telnetSide.Handle(buffer, n, &data);
            WriteTerminal(terminal, data.data(), data.size());
            if (!answer.empty() && !WriteAll(client, answer.data(), answer.size())) client.Close();
        }
    }
    ::close(terminal);
}
