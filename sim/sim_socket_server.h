// Serves a SimDevice straight on a TCP port, with no terminal in between: for
// systems without pseudo-terminals (Windows), where a client reaches the
// simulated unit as a terminal server's line (tcp:// or rfc2217://). One
// client at a time; a second one is told the line is in use and hung up on.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "sim_clock.h"
#include "sim_device.h"
#include "sim_listener.h"
#include "sim_telnet_side.h"

class SimSocketServer {
public:
    SimSocketServer(SimDevice& device, const SimClock& clock) : device_(device), clock_(clock) {}
    SimSocketServer(const SimSocketServer&) = delete;
    SimSocketServer& operator=(const SimSocketServer&) = delete;

    // Listens at `name` (PORT 0 takes a free one). False with a message in *error.
    bool Listen(const std::string& name, std::string* error);
    const std::string& Name() const { return listener_.name; }
    // Serves until *stop becomes non-zero, or the device hangs up its line.
    void Serve(const volatile std::sig_atomic_t* stop);

private:
    void Accept();
    void TakeClientBytes();
    // Sends what the device has put on the line by now; false when the client has gone.
    bool SendDeviceBytes();

    SimDevice& device_;
    const SimClock& clock_;
    SimListener listener_;
    TcpSocket client_;
    SimTelnetSide telnet_;
    std::vector<uint8_t> unsent_;
};
