// Connecting to a terminal server and carrying the line's bytes over the socket.
#include "network_link.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

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
    bool resolved = false;
    std::vector<SocketAddress> addresses;
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
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (text.size() > 200) text.resize(200);
    return text;
}

}  // namespace

NetworkLink::~NetworkLink() {
    Close();
}

void NetworkLink::Close() {
    socket_.Close();
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
    const std::string where =
        (parsed.host.find(':') != std::string::npos ? "[" + parsed.host + "]" : parsed.host) + ":" +
        parsed.port;
    const int settled = telnet_ ? NegotiateComPort(where, failure) : SettleRaw(where, failure);
    if (settled != COM_OPEN_OK) Close();
    return settled;
}

int NetworkLink::Connect(const std::string& host, const std::string& port, ComOpenFailure* failure) {
    auto resolution = std::make_shared<Resolution>();
    std::thread([resolution, host, port] {
        std::vector<SocketAddress> addresses;
        const bool resolved = ResolveAddresses(host, port, false, &addresses, nullptr);
        std::lock_guard<std::mutex> lock(resolution->mutex);
        if (!resolution->abandoned) {
            resolution->resolved = resolved;
            resolution->addresses = std::move(addresses);
        }
        resolution->finished = true;
        resolution->done.notify_all();
    }).detach();

    std::vector<SocketAddress> addresses;
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
        if (!resolution->resolved) {
            failure->problem = ComOpenProblem::NameNotResolved;
            failure->detail = host;
            return COM_OPEN_FAILED;
        }
        addresses = std::move(resolution->addresses);
    }

    const Clock::time_point connectBy = Clock::now() + kStepBound;
    bool refused = false;
    bool timedOut = false;
    std::string otherError;
    for (const SocketAddress& address : addresses) {
        const Clock::time_point start = Clock::now();
        SocketStatus status = socket_.StartConnect(address);
        while (status == SocketStatus::Pending) {
            const int left = MsUntil(connectBy);
            if (left <= 0) {
                socket_.Close();
                status = SocketStatus::TimedOut;
                break;
            }
            status = socket_.FinishConnect(std::min(left, kSliceMs));
            Pump();
        }
        if (status == SocketStatus::Done) {
            const auto took =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            roundTripMs_ = int(took);
            socket_.SetNoDelay();
            return COM_OPEN_OK;
        }
        if (status == SocketStatus::Refused)
            refused = true;
        else if (status == SocketStatus::TimedOut)
            timedOut = true;
        else
            otherError = socket_.ErrorText();
        if (status == SocketStatus::TimedOut && MsUntil(connectBy) <= 0) break;
    }
    if (refused) {
        failure->problem = ComOpenProblem::ConnectionRefused;
        failure->detail = host + ":" + port;
    } else if (timedOut || otherError.empty()) {
        failure->problem = ComOpenProblem::NoAnswer;
        failure->detail = "connecting to " + host + ":" + port;
    } else {
        failure->problem = ComOpenProblem::Other;
        failure->detail = "Cannot connect to " + host + ":" + port + ": " + otherError;
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
    const auto add = [&hello](const std::vector<uint8_t>& bytes) {
        hello.insert(hello.end(), bytes.begin(), bytes.end());
    };
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
    if (!socket_.IsOpen() || gone_) return;
    if (!socket_.Wait(false, waitMs)) return;
    for (int round = 0; round < 64; ++round) {
        uint8_t buffer[4096];
        const int n = socket_.Receive(buffer, int(sizeof buffer));
        if (n > 0) {
            if (!telnet_) {
                pending_.insert(pending_.end(), buffer, buffer + n);
                if (awaitingReply_) {
                    awaitingReply_ = false;
                    const int took =
                        int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastWrite_)
                                .count());
                    if (took > roundTripMs_ && took <= kLearntRoundTripCapMs) roundTripMs_ = took;
                }
            } else {
                std::vector<telnet::Event> events;
                decoder_.Feed(buffer, int(n), &pending_, &events);
                for (const telnet::Event& event : events)
                    HandleEvent(event);
            }
            if (size_t(n) < sizeof buffer) return;
            continue;
        }
        if (n == 0) return;
        gone_ = true;  // closed by the server, or broken
        return;
    }
}

bool NetworkLink::SendAll(const std::vector<uint8_t>& bytes, Deadline deadline) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = socket_.Send(bytes.data() + sent, int(bytes.size() - sent));
        if (n > 0) {
            sent += size_t(n);
            continue;
        }
        if (n < 0) {
            gone_ = true;
            return false;
        }
        const int left = MsUntil(deadline);
        if (left <= 0) return false;
        socket_.Wait(true, left);
    }
    return true;
}

bool NetworkLink::Write(const uint8_t* bytes, int length, Deadline deadline) {
    if (!socket_.IsOpen() || LineGone()) return false;
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
    if (!socket_.IsOpen() || !into || count <= 0) return 0;
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
    if (!socket_.IsOpen()) return;
    awaitingReply_ = false;
    Take(0);
    pending_.clear();
}

void NetworkLink::PurgeFarEnd() {
    if (!socket_.IsOpen() || !telnet_ || gone_) return;
    SendAll(telnet::ComPortCommandBytes(telnet::kPurgeData, telnet::kPurgeReceived, 1),
            Clock::now() + std::chrono::milliseconds(200));
}

bool NetworkLink::LineGone() const {
    return !socket_.IsOpen() || gone_ || socket_.PeerGone();
}

std::unique_ptr<SerialLink> MakeNetworkLink() {
    return std::make_unique<NetworkLink>();
}
