// Serves the simulated device's pseudo-terminal on a TCP port, as a terminal
// server does: the raw bytes (tcp://), or Telnet with COM Port Control
// (rfc2217://), one client at a time. A second client is told the line is in
// use and is hung up on.
#pragma once

#include <csignal>
#include <string>

#include "sim_listener.h"

class SimNetServer {
public:
    // Listens at `name` (tcp://HOST:PORT or rfc2217://HOST:PORT; PORT 0 takes
    // a free one). False with a message in *error.
    bool Listen(const std::string& name, std::string* error);
    // The name clients connect to, with the port actually taken.
    const std::string& Name() const { return listener_.name; }
    // Relays between clients and the terminal at `terminalPath` until *stop
    // becomes non-zero.
    void Serve(const std::string& terminalPath, const volatile std::sig_atomic_t* stop);

private:
    SimListener listener_;
};
