// The Telnet stream: data apart from negotiation, in pieces of any size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network_port_name.h"
#include "telnet_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;

telnet::Event Negotiate(uint8_t verb, uint8_t option) {
    telnet::Event e;
    e.kind = telnet::Event::Negotiation;
    e.verb = verb;
    e.option = option;
    return e;
}

telnet::Event Sub(uint8_t option, Bytes payload) {
    telnet::Event e;
    e.kind = telnet::Event::Subnegotiation;
    e.option = option;
    e.payload = std::move(payload);
    return e;
}

struct DecodeCase {
    const char* what;
    Bytes stream;
    Bytes data;
    std::vector<telnet::Event> events;
};

TEST(TelnetCodec, DecodesWholeAndByteByByte) {
    const std::vector<DecodeCase> cases = {
        {"plain data", {0x02, 0x41, 0x03}, {0x02, 0x41, 0x03}, {}},
        {"doubled IAC is one 0xFF", {0x41, 255, 255, 0x42}, {0x41, 0xFF, 0x42}, {}},
        {"negotiation between data", {0x41, 255, 253, 44, 0x42}, {0x41, 0x42}, {Negotiate(253, 44)}},
        {"COM port answer with doubled IAC",
         {255, 250, 44, 101, 0, 0, 255, 255, 255, 240, 0x43},
         {0x43},
         {Sub(44, {101, 0, 0, 0xFF})}},
        {"bare command", {255, 241, 0x44}, {0x44}, {telnet::Event{telnet::Event::Command, 241, 0, {}}}},
        {"two negotiations", {255, 251, 0, 255, 252, 1}, {}, {Negotiate(251, 0), Negotiate(252, 1)}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool bytewise : {false, true}) {
            telnet::Decoder decoder;
            Bytes data;
            std::vector<telnet::Event> events;
            if (bytewise) {
                for (uint8_t b : c.stream) decoder.Feed(&b, 1, &data, &events);
            } else {
                decoder.Feed(c.stream.data(), int(c.stream.size()), &data, &events);
            }
            EXPECT_EQ(data, c.data);
            EXPECT_EQ(events, c.events);
        }
    }
}

TEST(TelnetCodec, EncodesDataAndCommandsWithIacDoubled) {
    Bytes out;
    const Bytes data = {0x02, 0xFF, 0x03, 0xFF, 0xFF};
    telnet::AppendData(&out, data.data(), int(data.size()));
    EXPECT_EQ(out, (Bytes{0x02, 0xFF, 0xFF, 0x03, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(telnet::ComPortCommandBytes(telnet::kSetBaudRate, 115200, 4),
              (Bytes{255, 250, 44, 1, 0x00, 0x01, 0xC2, 0x00, 255, 240}));
    EXPECT_EQ(telnet::ComPortCommandBytes(telnet::kSetBaudRate, 0xFF, 4),
              (Bytes{255, 250, 44, 1, 0, 0, 0, 255, 255, 255, 240}));
    EXPECT_EQ(telnet::ComPortValue({101, 0x00, 0x01, 0xC2, 0x00}), 115200u);
}

struct NameCase {
    const char* name;
    bool valid;
    bool telnet;
    const char* host;
    const char* port;
};

TEST(NetworkPortName, HostsPortsAndSchemes) {
    const std::vector<NameCase> cases = {
        {"tcp://127.0.0.1:2000", true, false, "127.0.0.1", "2000"},
        {"RFC2217://rack-3.example:7001", true, true, "rack-3.example", "7001"},
        {"tcp://[::1]:23", true, false, "::1", "23"},
        {"tcp://::1:23", false, false, "", ""},
        {"tcp://host", false, false, "", ""},
        {"tcp://host:0", false, false, "", ""},
        {"tcp://host:65536", false, false, "", ""},
        {"tcp://:23", false, false, "", ""},
        {"rfc2217://[::1]23", false, false, "", ""},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        NetworkPortName parsed;
        std::string error;
        ASSERT_EQ(ParseNetworkPortName(c.name, &parsed, &error), c.valid) << error;
        if (!c.valid) {
            EXPECT_NE(error.find(c.name), std::string::npos) << error;
            continue;
        }
        EXPECT_EQ(parsed.telnet, c.telnet);
        EXPECT_EQ(parsed.host, c.host);
        EXPECT_EQ(parsed.port, c.port);
    }
}

}  // namespace
