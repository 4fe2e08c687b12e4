// Telnet's byte stream: data with IAC doubled, option negotiation and
// subnegotiation, and the COM Port Control option that carries a serial
// line's settings over it. Plain C++, used by the network link's client and
// by the simulator's server.
#pragma once

#include <cstdint>
#include <vector>

namespace telnet {

constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;

constexpr uint8_t kOptionBinary = 0;
constexpr uint8_t kOptionSuppressGoAhead = 3;
constexpr uint8_t kOptionComPort = 44;

// COM Port Control commands from the client; the server answers each with
// the same command plus kServerOffset and the value it now holds.
enum ComPortCommand : uint8_t {
    kSetBaudRate = 1,
    kSetDataSize = 2,
    kSetParity = 3,
    kSetStopSize = 4,
    kSetControl = 5,
    kNotifyLineState = 6,
    kNotifyModemState = 7,
    kFlowControlSuspend = 8,
    kFlowControlResume = 9,
    kSetLineStateMask = 10,
    kSetModemStateMask = 11,
    kPurgeData = 12,
};
constexpr uint8_t kServerOffset = 100;
constexpr uint8_t kParityNone = 1;
constexpr uint8_t kControlNoFlowControl = 1;
constexpr uint8_t kPurgeReceived = 1;

// Something other than data found in the stream.
struct Event {
    enum Kind { Negotiation, Subnegotiation, Command };
    Kind kind = Command;
    uint8_t verb = 0;              // Negotiation: kWill..kDont; Command: the command byte
    uint8_t option = 0;            // Negotiation and Subnegotiation
    std::vector<uint8_t> payload;  // Subnegotiation: the bytes after the option, undoubled
    bool operator==(const Event& other) const {
        return kind == other.kind && verb == other.verb && option == other.option && payload == other.payload;
    }
};

// Splits the stream as it arrives, in pieces of any size: data bytes (IAC IAC
// becomes one 0xFF) apart from negotiation, subnegotiation and commands.
class Decoder {
public:
    void Feed(const uint8_t* bytes, int length, std::vector<uint8_t>* data, std::vector<Event>* events);

private:
    enum class State { Data, Iac, Verb, Sb, SbOption, SbIac };
    State state_ = State::Data;
    uint8_t verb_ = 0;
    Event sub_;
};

// Data for the stream: every 0xFF doubled.
void AppendData(std::vector<uint8_t>* out, const uint8_t* bytes, int length);
std::vector<uint8_t> Negotiation(uint8_t verb, uint8_t option);
// IAC SB option payload IAC SE, with IAC in the payload doubled.
std::vector<uint8_t> Subnegotiation(uint8_t option, const std::vector<uint8_t>& payload);
// A COM Port Control command with a big-endian value of `width` bytes.
std::vector<uint8_t> ComPortCommandBytes(uint8_t command, uint32_t value, int width);
// The value of a COM Port Control payload (the bytes after the command byte).
uint32_t ComPortValue(const std::vector<uint8_t>& payload);

}  // namespace telnet
