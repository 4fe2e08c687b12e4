// The server's side of Telnet for the simulator's network port: the option
// negotiation and COM Port Control, as a terminal server answers them.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "telnet_codec.h"

class SimTelnetSide {
public:
    // What the server says first: binary both ways, and COM Port Control.
    std::vector<uint8_t> Greeting();
    // Answers the client's traffic; the data bytes for the device go to `data`.
    std::vector<uint8_t> Handle(const uint8_t* bytes, int length, std::vector<uint8_t>* data);

private:
    telnet::Decoder decoder_;
    std::set<uint8_t> agreedWill_, agreedDo_;
};
