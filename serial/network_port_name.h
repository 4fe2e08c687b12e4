// Port names of lines served over the network: tcp://HOST:PORT for the raw
// bytes, rfc2217://HOST:PORT for Telnet with COM Port Control. HOST is a
// name, an IPv4 address or an IPv6 address in brackets.
#pragma once

#include <string>

struct NetworkPortName {
    bool telnet = false;  // rfc2217://
    std::string host;     // without brackets
    std::string port;     // decimal, 1..65535
};

// False with the reason in `error` for a name that is not of that form.
bool ParseNetworkPortName(const std::string& name, NetworkPortName* out, std::string* error);
