#include "delay_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "loopback.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Held {
    Clock::time_point due;
    std::string bytes;
};

// One direction of one relayed connection.
struct Direction {
    int from = -1;
    int to = -1;
    std::deque<Held> queue;
    bool ended = false;  // `from` closed: pass the close on once the queue is empty
};

struct Relay {
    Direction up, down;
    bool closed = false;
};

void CloseRelay(Relay& relay) {
    if (!relay.closed) {
        ::close(relay.up.from);
        ::close(relay.up.to);
        relay.closed = true;
    }
}

}  // namespace

DelayProxy::DelayProxy(int targetPort, int oneWayMs) : targetPort_(targetPort), oneWayMs_(oneWayMs) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread(&DelayProxy::Run, this);
}

DelayProxy::~DelayProxy() {
    if (thread_.joinable()) {
        const char stop = 0;
        if (::write(wake_[1], &stop, 1) < 0) {
        }
        thread_.join();
    }
    for (int fd : {listener_, wake_[0], wake_[1]})
        if (fd >= 0) ::close(fd);
}

void DelayProxy::Run() {
    std::vector<std::unique_ptr<Relay>> relays;
    const auto hold = std::chrono::milliseconds(oneWayMs_);
    for (;;) {
        std::vector<pollfd> fds = {{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        std::vector<Direction*> readers;
        auto nextDue = Clock::time_point::max();
        for (auto& relay : relays) {
            if (relay->closed) continue;
            for (Direction* d : {&relay->up, &relay->down}) {
                if (!d->ended) {
                    fds.push_back({d->from, POLLIN, 0});
                    readers.push_back(d);
                }
                if (!d->queue.empty() && d->queue.front().due < nextDue) nextDue = d->queue.front().due;
            }
        }
        int timeoutMs = -1;
        if (nextDue != Clock::time_point::max()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(nextDue - Clock::now());
            timeoutMs = left.count() < 0 ? 0 : static_cast<int>(left.count()) + 1;
        }
        ::poll(fds.data(), fds.size(), timeoutMs);
        if (fds[0].revents) break;
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                const int server = ConnectLoopback(targetPort_);
                if (server < 0) {
                    ::close(client);
                } else {
                    auto relay = std::make_unique<Relay>();
                    relay->up.from = relay->down.to = client;
                    relay->up.to = relay->down.from = server;
                    relays.push_back(std::move(relay));
                }
            }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents) continue;
            Direction* d = readers[i - 2];
            char buffer[4096];
            const ssize_t n = ::read(d->from, buffer, sizeof buffer);
            if (n > 0)
                d->queue.push_back({Clock::now() + hold, std::string(buffer, static_cast<size_t>(n))});
            else
                d->ended = true;
        }
        const auto now = Clock::now();
        for (auto& relay : relays) {
            if (relay->closed) continue;
            for (Direction* d : {&relay->up, &relay->down}) {
                if (relay->closed) break;
                while (!d->queue.empty() && d->queue.front().due <= now) {
                    const std::string& bytes = d->queue.front().bytes;
                    if (::send(d->to, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) d->ended = true;
                    d->queue.pop_front();
                }
                // A side that closed closes the relay once what it sent has been passed on.
                if (d->ended && d->queue.empty()) CloseRelay(*relay);
            }
        }
    }
    for (auto& relay : relays)
        CloseRelay(*relay);
}
