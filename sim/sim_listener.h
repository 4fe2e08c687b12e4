// The simulator's listening socket, for tcp://HOST:PORT or rfc2217://HOST:PORT.
#pragma once

#include <string>

#include "tcp_socket.h"

struct SimListener {
    TcpSocket socket;
    bool telnet = false;
    // The name clients connect to, with the port actually taken.
    std::string name;
    // What a second client is told before it is hung up on, as a terminal
    // server says it.
    static constexpr const char* kBusyText = "Port already in use\r\n";
};

// Listens at `name`; PORT 0 takes a free one. False with a message in *error.
bool ListenAt(const std::string& name, SimListener* listener, std::string* error);
