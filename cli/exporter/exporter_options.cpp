#include "exporter_options.h"

#include "cli_errors.h"
#include "text_codes.h"

namespace {

[[noreturn]] void ThrowBadListen(const std::string& text, const std::string& why = "") {
    ThrowUsage("exporter: --listen takes ADDR:PORT, :PORT or PORT (for example 127.0.0.1:9851), not '" +
               Printable(text) + "'" + (why.empty() ? "" : ": " + why));
}

int ParsePort(const std::string& digits, const std::string& text) {
    if (digits.empty() || digits.size() > 5) ThrowBadListen(text, "the port is a number from 0 to 65535");
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') ThrowBadListen(text, "the port is a number from 0 to 65535");
        port = port * 10 + (c - '0');
    }
    if (port > 65535) ThrowBadListen(text, "the port is a number from 0 to 65535");
    return port;
}

}  // namespace

std::string ListenAddress::Text() const {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

ListenAddress ParseListenAddress(const std::string& text) {
    ListenAddress address;
    address.host = "127.0.0.1";
    if (text.empty()) ThrowBadListen(text);
    if (text.front() == '[') {
        const size_t close = text.find("]:");
        if (close == std::string::npos || close == 1) ThrowBadListen(text);
        address.host = text.substr(1, close - 1);
        address.port = ParsePort(text.substr(close + 2), text);
        return address;
    }
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        address.port = ParsePort(text, text);
        return address;
    }
    if (colon > 0) address.host = text.substr(0, colon);
    if (address.host.find(':') != std::string::npos)
        ThrowBadListen(text, "an IPv6 address goes in brackets, as in [::1]:9851");
    address.port = ParsePort(text.substr(colon + 1), text);
    return address;
}
