// The exporter's own options: where it listens and how often it polls.
#pragma once

#include <string>

// Where the exporter listens unless told otherwise: this host only.
constexpr const char* EXPORTER_DEFAULT_LISTEN = "127.0.0.1:9851";
constexpr double EXPORTER_DEFAULT_INTERVAL_SECONDS = 10;

struct ListenAddress {
    std::string host;  // a name or an address; an IPv6 address without its brackets
    int port = 0;      // 0: a free port
    // "127.0.0.1:9851", "[::1]:9851"
    std::string Text() const;
};

// "ADDR:PORT", ":PORT" or "PORT" (the last two on 127.0.0.1); an IPv6 address in
// brackets: "[::1]:9851". Throws a usage error naming the text.
ListenAddress ParseListenAddress(const std::string& text);
