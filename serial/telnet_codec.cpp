#include "telnet_codec.h"

#include <cstddef>

namespace telnet {

void Decoder::Feed(const uint8_t* bytes, int length, std::vector<uint8_t>* data, std::vector<Event>* events) {
    for (int i = 0; i < length; ++i) {
        const uint8_t b = bytes[i];
        switch (state_) {
        case State::Data:
            if (b == kIac) state_ = State::Iac;
            else data->push_back(b);
            break;
        case State::Iac:
            if (b == kIac) {
                data->push_back(b);
                state_ = State::Data;
            } else if (b >= kWill && b <= kDont) {
                verb_ = b;
                state_ = State::Verb;
            } else if (b == kSb) {
                state_ = State::SbOption;
            } else {
                Event command;
                command.kind = Event::Command;
                command.verb = b;
                events->push_back(command);
                state_ = State::Data;
            }
            break;
        case State::Verb: {
            Event negotiation;
            negotiation.kind = Event::Negotiation;
            negotiation.verb = verb_;
            negotiation.option = b;
            events->push_back(negotiation);
            state_ = State::Data;
            break;
        }
        case State::SbOption:
            sub_ = Event();
            sub_.kind = Event::Subnegotiation;
            sub_.option = b;
            state_ = State::Sb;
            break;
        case State::Sb:
            if (b == kIac) state_ = State::SbIac;
            else sub_.payload.push_back(b);
            break;
        case State::SbIac:
            if (b == kSe) {
                events->push_back(sub_);
                sub_ = Event();
                state_ = State::Data;
            } else {
                // IAC IAC is a 0xFF of the payload; anything else after IAC
                // inside a subnegotiation is malformed and is kept as is.
                sub_.payload.push_back(b);
                state_ = State::Sb;
            }
            break;
        }
    }
}

void AppendData(std::vector<uint8_t>* out, const uint8_t* bytes, int length) {
    for (int i = 0; i < length; ++i) {
        out->push_back(bytes[i]);
        if (bytes[i] == kIac) out->push_back(kIac);
    }
}

std::vector<uint8_t> Negotiation(uint8_t verb, uint8_t option) { return {kIac, verb, option}; }

std::vector<uint8_t> Subnegotiation(uint8_t option, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out{kIac, kSb, option};
    AppendData(&out, payload.data(), int(payload.size()));
    out.push_back(kIac);
    out.push_back(kSe);
    return out;
}

std::vector<uint8_t> ComPortCommandBytes(uint8_t command, uint32_t value, int width) {
    std::vector<uint8_t> payload{command};
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) payload.push_back(uint8_t(value >> shift));
    return Subnegotiation(kOptionComPort, payload);
}

uint32_t ComPortValue(const std::vector<uint8_t>& payload) {
    uint32_t value = 0;
    for (std::size_t i = 1; i < payload.size() && i <= 4; ++i) value = (value << 8) | payload[i];
    return value;
}

}  // namespace telnet
