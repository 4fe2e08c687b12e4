#include "scripted_transport.h"

#include <algorithm>
#include <cstring>

namespace {

ZelResult onTransmit(void* context, int, const uint8_t* bytes, int length) {
    auto* self = static_cast<ScriptedTransport*>(context);
    ScriptedTransport::Call call{ScriptedTransport::Call::Transmit, {bytes, bytes + length}};
    self->calls.push_back(call);
    return self->transmitResult;
}

ZelResult onReceive(void* context, int, uint8_t* buffer, int count, int* received, int timeoutMs) {
    auto* self = static_cast<ScriptedTransport*>(context);
    ScriptedTransport::Call call{ScriptedTransport::Call::Receive, {}, count, timeoutMs};
    *received = 0;
    ZelResult result = ZEL_E_RX_FAILED;
    if (!self->replies.empty()) {
        ScriptedTransport::Reply reply = self->replies.front();
        self->replies.pop_front();
        const int n = std::min<int>(count, static_cast<int>(reply.bytes.size()));
        if (n > 0) std::memcpy(buffer, reply.bytes.data(), static_cast<size_t>(n));
        *received = n;
        call.bytes.assign(reply.bytes.begin(), reply.bytes.begin() + n);
        result = reply.result != ZEL_OK ? reply.result : (n > 0 ? ZEL_OK : ZEL_E_RX_FAILED);
    }
    self->calls.push_back(call);
    return result;
}

ZelResult onSleep(void* context, int milliseconds) {
    auto* self = static_cast<ScriptedTransport*>(context);
    self->calls.push_back({ScriptedTransport::Call::Sleep, {}, 0, milliseconds});
    return ZEL_OK;
}

}  // namespace

void ScriptedTransport::install(bool withReceive) {
    ZelSetTransport(onTransmit, withReceive ? onReceive : nullptr, onSleep, nullptr, this);
}

std::vector<uint8_t> ScriptedTransport::frame(const std::string& text) {
    std::vector<uint8_t> bytes{ZEL_STX};
    bytes.insert(bytes.end(), text.begin(), text.end());
    const int sum = ZelChecksum(bytes.data() + 1, static_cast<int>(text.size()));
    const char* digits = "0123456789ABCDEF";
    bytes.push_back(static_cast<uint8_t>(digits[sum >> 4]));
    bytes.push_back(static_cast<uint8_t>(digits[sum & 15]));
    bytes.push_back(ZEL_ETX);
    return bytes;
}

std::vector<uint8_t> ScriptedTransport::raw(const std::string& text) {
    std::vector<uint8_t> bytes{ZEL_STX};
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(ZEL_ETX);
    return bytes;
}

std::vector<ScriptedTransport::Call> ScriptedTransport::callsOf(Call::Kind kind) const {
    std::vector<Call> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [kind](const Call& c) { return c.kind == kind; });
    return out;
}

int ScriptedTransport::drains() const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const Call& c) {
        return c.kind == Call::Receive && c.count == ZEL_DRAIN_BYTES && c.timeoutMs == ZEL_DRAIN_TIMEOUT_MS;
    }));
}

std::string Printable(const std::vector<uint8_t>& bytes) {
    std::string s;
    for (uint8_t b : bytes) {
        if (b == ZEL_STX)
            s += "<STX>";
        else if (b == ZEL_ETX)
            s += "<ETX>";
        else if (b >= 0x20 && b < 0x7F)
            s += static_cast<char>(b);
        else {
            char buf[8];
            snprintf(buf, sizeof buf, "<%02X>", b);
            s += buf;
        }
    }
    return s;
}
