#include "scripted_device.h"

#include <algorithm>
#include <cstdio>

namespace {

int DigitValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

int ParseHex(const uint8_t* text, int digits) {
    int value = 0;
    for (int i = 0; i < digits; ++i)
        value = value * 16 + DigitValue(text[i]);
    return value;
}

}  // namespace

ScriptedReply ScriptedReply::Value(uint64_t value, int size) {
    ScriptedReply reply;
    reply.defaultData = false;
    reply.digits = HexDigits(value, size);
    return reply;
}

ScriptedReply ScriptedReply::Error() {
    ScriptedReply reply;
    reply.status = 'E';
    reply.defaultData = false;
    return reply;
}

ScriptedReply ScriptedReply::Silence() {
    ScriptedReply reply;
    reply.silent = true;
    return reply;
}

int TestChecksum(const uint8_t* bytes, size_t count) {
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return (256 - (sum % 256)) % 256;
}

std::string HexDigits(uint64_t value, int size) {
    std::string out;
    for (int i = size - 1; i >= 0; --i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>((value >> (8 * i)) & 0xFF));
        out += pair;
    }
    return out;
}

std::string FrameText(const std::vector<uint8_t>& frame) {
    std::string out;
    for (size_t i = 1; i + 1 < frame.size(); ++i) {
        if (frame[i] >= 0x80) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", frame[i]);
            out += escaped;
        } else {
            out += static_cast<char>(frame[i]);
        }
    }
    return out;
}

std::vector<uint8_t> Decode7Bit(const std::vector<uint8_t>& encoded, size_t count) {
    std::vector<uint8_t> out(count, 0);
    size_t bit = 0;
    for (uint8_t byte : encoded) {
        for (int b = 0; b < 7; ++b, ++bit) {
            if (bit / 8 >= count) break;
            if (byte & (1u << b)) out[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
        }
    }
    return out;
}

std::vector<uint8_t> DecodeHex(const std::vector<uint8_t>& encoded) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < encoded.size(); i += 2)
        out.push_back(static_cast<uint8_t>(DigitValue(encoded[i]) * 16 + DigitValue(encoded[i + 1])));
    return out;
}

ScriptedDevice::ScriptedDevice() {
    // The reboot write expects no reply and the device sends none.
    Script(0x03, 5, {ScriptedReply::Silence()});
}

ScriptedDevice::~ScriptedDevice() {
    ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
}

void ScriptedDevice::Install() {
    ZelSetTransport(Transmit, Receive, Sleep, Pump, this);
}

void ScriptedDevice::Script(int category, int setting, std::vector<ScriptedReply> replies) {
    script_[{category, setting}] = std::deque<ScriptedReply>(replies.begin(), replies.end());
}

void ScriptedDevice::SetValue(int category, int setting, uint64_t value) {
    Script(category, setting, {ScriptedReply::Value(value, ZelSettingSize(category, setting))});
}

std::vector<ScriptedRequest> ScriptedDevice::RequestsTo(int category, int setting, bool read) const {
    std::vector<ScriptedRequest> out;
    for (const ScriptedRequest& r : requests)
        if (r.category == category && r.setting == setting && r.read == read) out.push_back(r);
    return out;
}

std::vector<uint8_t> ScriptedDevice::BuildReply(const ScriptedRequest& request,
                                                const ScriptedReply& reply) const {
    std::string body = "40" + HexDigits(request.category & 0xFF, 1) + HexDigits(request.setting & 0xFF, 1);
    body += reply.status ? reply.status : (request.read ? 'R' : 'W');
    if (ZelCategoryIndexed(request.category)) body += HexDigits(request.index & 0xFFFF, 2);
    if (!reply.defaultData) {
        body += reply.digits;
    } else if (request.read) {
        body += HexDigits(0, ZelSettingSize(request.category, request.setting));
    } else if (request.category == 0x80 && request.setting == 2) {
        body += "0000";  // a File part write is answered with two data bytes
    } else if (!(request.category == 0x85 && request.setting == 3)) {
        body.append(request.data.begin(), request.data.end());
    }
    std::vector<uint8_t> frame;
    frame.push_back(ZEL_STX);
    frame.insert(frame.end(), body.begin(), body.end());
    const std::string checksum = HexDigits(TestChecksum(frame.data() + 1, body.size()), 1);
    frame.insert(frame.end(), checksum.begin(), checksum.end());
    frame.push_back(ZEL_ETX);
    return frame;
}

ZelResult ScriptedDevice::Transmit(void* context, int, const uint8_t* bytes, int length) {
    auto* self = static_cast<ScriptedDevice*>(context);
    if (self->lineGoneAfter >= 0 && int(self->requests.size()) >= self->lineGoneAfter) {
        self->Log("transmit failed");
        return ZEL_E_TX_FAILED;
    }
    ScriptedRequest request;
    request.frame.assign(bytes, bytes + length);
    request.category = ParseHex(bytes + 3, 2);
    request.setting = ParseHex(bytes + 5, 2);
    request.read = bytes[7] == 'r';
    int dataStart = 8;
    if (ZelCategoryIndexed(request.category)) {
        request.index = ParseHex(bytes + 8, 4);
        dataStart = 12;
    }
    if (length - 3 > dataStart) request.data.assign(bytes + dataStart, bytes + length - 3);
    self->requests.push_back(request);

    char event[64];
    std::snprintf(event, sizeof event, "%c%02X/%02X", request.read ? 'r' : 'w', request.category,
                  request.setting);
    std::string text = event;
    if ((request.category == 0x80 && request.setting == 2) ||
        (request.category == 0x85 && request.setting == 3))
        text += "#" + std::to_string(request.index);
    else if (!request.read)
        text += "=" + std::string(request.data.begin(), request.data.end());
    self->Log(text);

    ScriptedReply reply;
    auto found = self->script_.find({request.category, request.setting});
    if (found != self->script_.end() && !found->second.empty()) {
        reply = found->second.front();
        if (found->second.size() > 1) found->second.pop_front();
    }
    self->pending_ = reply.silent ? std::vector<uint8_t>() : self->BuildReply(request, reply);
    return ZEL_OK;
}

ZelResult ScriptedDevice::Receive(void* context, int, uint8_t* buffer, int count, int* received, int) {
    auto* self = static_cast<ScriptedDevice*>(context);
    ++self->receives;
    const size_t n = std::min(self->pending_.size(), static_cast<size_t>(count));
    std::copy(self->pending_.begin(), self->pending_.begin() + n, buffer);
    self->pending_.erase(self->pending_.begin(), self->pending_.begin() + n);
    if (received) *received = static_cast<int>(n);
    return n > 0 ? ZEL_OK : ZEL_E_RX_FAILED;
}

ZelResult ScriptedDevice::Sleep(void* context, int milliseconds) {
    auto* self = static_cast<ScriptedDevice*>(context);
    self->sleptMs += milliseconds;
    self->Log("sleep " + std::to_string(milliseconds));
    return ZEL_OK;
}

ZelResult ScriptedDevice::Pump(void* context) {
    ++static_cast<ScriptedDevice*>(context)->pumps;
    return ZEL_OK;
}
