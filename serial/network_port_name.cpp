#include "network_port_name.h"

#include <cctype>
#include <cstdlib>

namespace {

bool HasPrefixNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

}  // namespace

bool ParseNetworkPortName(const std::string& name, NetworkPortName* out, std::string* error) {
    std::string rest;
    if (HasPrefixNoCase(name, "tcp://")) {
        out->telnet = false;
        rest = name.substr(6);
    } else if (HasPrefixNoCase(name, "rfc2217://")) {
        out->telnet = true;
        rest = name.substr(10);
    } else {
        *error = "Not a network port name: " + name;
        return false;
    }
    const std::string form = std::string(out->telnet ? "rfc2217" : "tcp") + "://HOST:PORT";
    size_t colon;
    if (!rest.empty() && rest[0] == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':') {
            *error = "A network port is named " + form + " (an IPv6 address in brackets): " + name;
            return false;
        }
        out->host = rest.substr(1, close - 1);
        colon = close + 1;
    } else {
        colon = rest.rfind(':');
        if (colon == std::string::npos || rest.find(':') != colon) {
            *error = "A network port is named " + form + " (an IPv6 address in brackets): " + name;
            return false;
        }
        out->host = rest.substr(0, colon);
    }
    out->port = rest.substr(colon + 1);
    bool digits = !out->port.empty() && out->port.size() <= 5;
    for (char c : out->port) digits = digits && std::isdigit(static_cast<unsigned char>(c));
    const long number = digits ? std::strtol(out->port.c_str(), nullptr, 10) : 0;
    if (out->host.empty() || number < 1 || number > 65535) {
        *error = "A network port is named " + form + " with PORT from 1 to 65535: " + name;
        return false;
    }
    return true;
}
