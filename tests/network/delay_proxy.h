// A TCP relay on loopback that holds every chunk for a while in each direction:
// the round trip of a unit reached over a VPN, on one machine.
#pragma once

#include <atomic>
#include <thread>

class DelayProxy {
public:
    // Listens on a free loopback port and relays each client to 127.0.0.1:targetPort,
    // holding bytes for `oneWayMs` each way.
    DelayProxy(int targetPort, int oneWayMs);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    int Port() const { return port_; }  // -1 when it could not listen

private:
    void Run();

    int targetPort_;
    int oneWayMs_;
    int listener_ = -1;
    int port_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};
