// Connecting to a terminal server and carrying the line's bytes over the socket.
#include "network_link_posix.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "network_link.h"
#include "network_port_name.h"

namespace {

using Clock = SerialLink::Clock;

// How long resolving the name, connecting, and the server's first answer may take.
constexpr std::chrono::milliseconds kStepBound(3000);
// The slice of a wait between calls of the wait hook.
constexpr int kSliceMs = 20;
// After connecting to a raw port: how long to watch for a server that speaks
// Telnet or refuses with a text, beyond the round trip.
constexpr int kRawSettleMs = 150;
// The most a reply's start may add to the round trip learnt on a raw port: a
// slower start is the device's own doing, not the network's.
constexpr int kLearntRoundTripCapMs = 500;

int MsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : int(left);
}

// getaddrinfo() has no time-out of its own: it runs in a thread of its own,
// which is left to finish alone when the bound runs out.
struct Resolution {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int rc = 0;
    addrinfo* result = nullptr;
};

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() {
        if (head) ::freeaddrinfo(head);
    }
};

// The server's words as one line of text: printable bytes, runs of others as one space.
std::string ServerText(const std::vector<uint8_t>& bytes) {
    std::string text;
    bool gap = false;
    for (uint8_t b : bytes) {
        if (b >= 0x20 && b < 0x7F) {
            if (gap && !text.empty()) text += ' ';
            gap = false;
            text += char(b);
        } else {
            gap = true;
        }
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.size() > 200) text.resize(200);
    return text;
}

}  // namespace

NetworkLink::~NetworkLink() { Close(); }

void NetworkLink::Close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

void NetworkLink::Pump() {
    if (hook_) hook_(hookContext_);
}

int NetworkLink::Open(const std::string& name, ComOpenFailure* failure) {
    Close();
    *failure = ComOpenFailure();
    gone_ = false;
    pending_.clear();
    decoder_ = telnet::Decoder();
    sawTelnet_ = comPortRefused_ = false;
    answered_.clear();
    willSent_.clear();
    doSent_.clear();
    refusedSent_.clear();
    roundTripMs_ = 0;
    awaitingReply_ = false;

    NetworkPortName parsed;
    std::string error;
    if (!ParseNetworkPortName(name, &parsed, &error)) {
        failure->problem = ComOpenProblem::Other;
        failure->detail = error;
        return COM_OPEN_FAILED;
    }
    telnet_ = parsed.telnet;
    const int code = Connect(parsed.host, parsed.port, failure);
    if (code != COM_OPEN_OK) return code;
    const std::string where = (parsed.host.find(':') != std::string::npos ? "[" + parsed.host + "]" : parsed.host) +
                              ":" + parsed.port;
    const int settled = telnet_ ? NegotiateComPort(where, failure) : SettleRaw(where, failure);
    if (settled != COM_OPEN_OK) Close();
    return settled;
}

int NetworkLink::Connect(const std::string& host, const std::string& port, ComOpenFailure* failure) {
    auto resolution = std::make_shared<Resolution>();
    std::thread([resolution, host, port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_ADDRCONFIG;
        addrinfo* result = nullptr;
        const int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &result);
        std::lock_guard<std::mutex> lock(resolution->mutex);
        if (resolution->abandoned) {
            if (result) ::freeaddrinfo(result);
        } else {
            resolution->rc = rc;
            resolution->result = result;
        }
        resolution->finished = true;
        resolution->done.notify_all();
    }).detach();

    AddressList addresses;
    const Clock::time_point resolveBy = Clock::now() + kStepBound;
    {
        std::unique_lock<std::mutex> lock(resolution->mutex);
        while (!resolution->finished && Clock::now() < resolveBy) {
            resolution->done.wait_for(lock, std::chrono::milliseconds(kSliceMs));
            lock.unlock();
            Pump();
            lock.lock();
        }
        if (!resolution->finished) {
            resolution->abandoned = true;
            failure->problem = ComOpenProblem::NoAnswer;
            failure->detail = "looking up " + host;
            return COM_OPEN_FAILED;
        }
        addresses.head = resolution->result;
        resolution->result = nullptr;
        if (resolution->rc != 0 || !addresses.head) {
            failure->problem = ComOpenProblem::NameNotResolved;
            failure->detail = host;
            return COM_OPEN_FAILED;
        }
    }

    const Clock::time_point connectBy = Clock::now() + kStepBound;
    bool refused = false;
    int otherError = 0;
    for (addrinfo* a = addresses.head; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            otherError = errno;
            continue;
        }
        const Clock::time_point start = Clock::now();
        int error = 0;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            error = errno;
            while (error == EINPROGRESS || error == EINTR) {
                pollfd p{fd, POLLOUT, 0};
                const int left = MsUntil(connectBy);
                if (left <= 0) {
                    error = ETIMEDOUT;
                    break;
                }
                const int ready = ::poll(&p, 1, std::min(left, kSliceMs));
                Pump();
                if (ready > 0) {
                    socklen_t size = sizeof error;
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
                    break;
                }
            }
        }
        if (error == 0) {
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            roundTripMs_ = int(took);
            int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            fd_ = fd;
            return COM_OPEN_OK;
        }
        ::close(fd);
        if (error == ECONNREFUSED) refused = true;
        else otherError = error;
        if (error == ETIMEDOUT && MsUntil(connectBy) <= 0) break;
    }
    if (refused) {
        failure->problem = ComOpenProblem::ConnectionRefused;
        failure->detail = host + ":" + port;
    } else if (otherError == ETIMEDOUT || otherError == 0) {
        failure->problem = ComOpenProblem::NoAnswer;
        failure->detail = "connecting to " + host + ":" + port;
    } else {
        failure->problem = ComOpenProblem::Other;
        failure->detail = std::string("Cannot connect to ") + host + ":" + port + ": " + std::strerror(otherError);
    }
    return COM_OPEN_FAILED;
}

int NetworkLink::Refused(ComOpenFailure* failure) {
    const std::string text = ServerText(pending_);
    failure->problem = text.empty() ? ComOpenProblem::ServerClosed : ComOpenProblem::ServerRefused;
    failure->detail = text;
    return COM_OPEN_FAILED;
}

// A raw port says nothing of its own; a Telnet server negotiates at once, and
// a server whose line is taken writes why and hangs up.
int NetworkLink::SettleRaw(const std::string& where, ComOpenFailure* failure) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(kRawSettleMs + 2 * roundTripMs_);
    while (!gone_) {
        const int left = MsUntil(until);
        if (left <= 0) break;
        Take(std::min(left, kSliceMs));
        Pump();
        if (pending_.size() >= 2 && pending_[0] == telnet::kIac && pending_[1] >= telnet::kWill) {
            failure->problem = ComOpenProblem::TelnetAtRawPort;
            failure->detail = where;
            return COM_OPEN_FAILED;
        }
    }
    if (gone_) return Refused(failure);
    // Whatever the device sent while nobody was connected is no answer to us.
    pending_.clear();
    return COM_OPEN_OK;
}

int NetworkLink::NegotiateComPort(const std::string& where, ComOpenFailure* failure) {
    using namespace telnet;
    std::vector<uint8_t> hello;
    const auto add = [&hello](const std::vector<uint8_t>& bytes) { hello.insert(hello.end(), bytes.begin(), bytes.end()); };
    add(Negotiation(kWill, kOptionBinary));
    add(Negotiation(kDo, kOptionBinary));
    add(Negotiation(kWill, kOptionComPort));
    willSent_ = {kOptionBinary, kOptionComPort};
    doSent_ = {kOptionBinary};
    add(ComPortCommandBytes(kSetBaudRate, 115200, 4));
    add(ComPortCommandBytes(kSetDataSize, 8, 1));
    add(ComPortCommandBytes(kSetParity, kParityNone, 1));
    add(ComPortCommandBytes(kSetStopSize, 1, 1));
    add(ComPortCommandBytes(kSetControl, kControlNoFlowControl, 1));
    add(ComPortCommandBytes(kPurgeData, kPurgeReceived, 1));
    const Clock::time_point start = Clock::now();
    const Clock::time_point answerBy = start + kStepBound;
    if (!SendAll(hello, answerBy)) return Refused(failure);

    // The link is good once the server has answered a command: a server that
    // will refuse this client negotiates all the same before it says why.
    while (!gone_ && !comPortRefused_ && !answered_.count(kSetBaudRate)) {
        const int left = MsUntil(answerBy);
        if (left <= 0) break;
        Take(std::min(left, kSliceMs));
        Pump();
    }
    if (gone_) return Refused(failure);
    if (comPortRefused_) {
        failure->problem = ComOpenProblem::Other;
        failure->detail = "The server at " + where + " does not offer COM Port Control";
        return COM_OPEN_FAILED;
    }
    if (!answered_.count(kSetBaudRate)) {
        if (!sawTelnet_) {
            failure->problem = ComOpenProblem::RawAtTelnetPort;
            failure->detail = where;
        } else {
            failure->problem = ComOpenProblem::NoAnswer;
            failure->detail = "setting the line at " + where;
        }
        return COM_OPEN_FAILED;
    }
    roundTripMs_ = int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    // The server answers in order: once the purge is answered, the device's
    // bytes from before it are all here, and go.
    const Clock::time_point purgedBy = Clock::now() + std::chrono::milliseconds(1000 + 2 * roundTripMs_);
    while (!gone_ && !answered_.count(kPurgeData)) {
        const int left = MsUntil(purgedBy);
        if (left <= 0) break;
        Take(std::min(left, kSliceMs));
        Pump();
    }
    if (gone_) return Refused(failure);
    pending_.clear();
    return COM_OPEN_OK;
}

void NetworkLink::HandleEvent(const telnet::Event& event) {
    using namespace telnet;
    sawTelnet_ = true;
    if (event.kind == Event::Subnegotiation) {
        if (event.option == kOptionComPort && !event.payload.empty() && event.payload[0] > kServerOffset) {
            answered_.insert(uint8_t(event.payload[0] - kServerOffset));
        }
        return;
    }
    if (event.kind != Event::Negotiation) return;
    const uint8_t option = event.option;
    std::vector<uint8_t> reply;
    switch (event.verb) {
    case kDo:
        if (option == kOptionBinary || option == kOptionComPort) {
            if (willSent_.insert(option).second) reply = Negotiation(kWill, option);
        } else if (refusedSent_.insert(option).second) {
            reply = Negotiation(kWont, option);
        }
        break;
    case kWill:
        if (option == kOptionBinary || option == kOptionSuppressGoAhead) {
            if (doSent_.insert(option).second) reply = Negotiation(kDo, option);
        } else if (refusedSent_.insert(uint8_t(option)).second) {
            reply = Negotiation(kDont, option);
        }
        break;
    case kDont:
        if (option == kOptionComPort) comPortRefused_ = true;
        break;
    default: break;
    }
    if (!reply.empty()) SendAll(reply, Clock::now() + kStepBound);
}

void NetworkLink::Take(int waitMs) {
    if (fd_ < 0 || gone_) return;
    pollfd p{fd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, waitMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return;
    for (int round = 0; round < 64; ++round) {
        uint8_t buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            if (!telnet_) {
                pending_.insert(pending_.end(), buffer, buffer + n);
                if (awaitingReply_) {
                    awaitingReply_ = false;
                    const int took = int(
                        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastWrite_).count());
                    if (took > roundTripMs_ && took <= kLearntRoundTripCapMs) roundTripMs_ = took;
                }
            } else {
                std::vector<telnet::Event> events;
                decoder_.Feed(buffer, int(n), &pending_, &events);
                for (const telnet::Event& event : events) HandleEvent(event);
            }
            if (size_t(n) < sizeof buffer) return;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        gone_ = true;  // 0: closed by the server; otherwise broken
        return;
    }
}

bool NetworkLink::SendAll(const std::vector<uint8_t>& bytes, Deadline deadline) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            gone_ = true;
            return false;
        }
        const int left = MsUntil(deadline);
        if (left <= 0) return false;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) return false;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) {
            gone_ = true;
            return false;
        }
    }
    return true;
}

bool NetworkLink::Write(const uint8_t* bytes, int length, Deadline deadline) {
    if (fd_ < 0 || LineGone()) return false;
    if (!telnet_) {
        const bool sent = SendAll(std::vector<uint8_t>(bytes, bytes + length), deadline);
        lastWrite_ = Clock::now();
        awaitingReply_ = sent;
        return sent;
    }
    std::vector<uint8_t> encoded;
    telnet::AppendData(&encoded, bytes, length);
    return SendAll(encoded, deadline);
}

int NetworkLink::Read(uint8_t* into, int count, Deadline deadline) {
    if (fd_ < 0 || !into || count <= 0) return 0;
    int got = 0;
    bool last = false;
    for (;;) {
        const int n = std::min(count - got, int(pending_.size()));
        std::copy(pending_.begin(), pending_.begin() + n, into + got);
        pending_.erase(pending_.begin(), pending_.begin() + n);
        got += n;
        if (got >= count || gone_ || last) break;
        const int left = MsUntil(deadline);
        // Takes what has arrived even once the deadline has passed.
        if (left <= 0) last = true;
        Take(left);
    }
    return got;
}

// Only what is here already: the far end's buffer is left alone, so that an
// exchange costs no extra round trip.
void NetworkLink::DiscardInput() {
    if (fd_ < 0) return;
    awaitingReply_ = false;
    Take(0);
    pending_.clear();
}

void NetworkLink::PurgeFarEnd() {
    if (fd_ < 0 || !telnet_ || gone_) return;
    SendAll(telnet::ComPortCommandBytes(telnet::kPurgeData, telnet::kPurgeReceived, 1),
            Clock::now() + std::chrono::milliseconds(200));
}

bool NetworkLink::LineGone() const {
    if (fd_ < 0 || gone_) return true;
    uint8_t peek;
    const ssize_t n = ::recv(fd_, &peek, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return true;
    return n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
}

std::unique_ptr<SerialLink> MakeNetworkLink() { return std::make_unique<NetworkLink>(); }
