// A real ser2net serving one terminal on a loopback port, run in the foreground
// from a configuration file of its own, as an installation in a rack would run it.
#pragma once

#include <memory>
#include <string>

#include "child_process.h"

enum class Ser2netMode {
    kRaw,      // the line's bytes as they are
    kRfc2217,  // Telnet with COM Port Control
};

struct Ser2netSetup {
    Ser2netMode mode = Ser2netMode::kRaw;
    std::string device;  // the terminal it serves
    // The line's settings until a client sets others, as ser2net writes them.
    std::string line = "115200n81";
};

// The ser2net found when the project was configured; empty when none was.
std::string Ser2netPath();

class Ser2netServer {
public:
    // Starts ser2net and waits until its port listens; Error() says why it does not.
    explicit Ser2netServer(const Ser2netSetup& setup);
    ~Ser2netServer();
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    bool Ready() const { return port_ > 0; }
    const std::string& Error() const { return error_; }
    int Port() const { return port_; }
    // The name the tool takes for this server: tcp://127.0.0.1:PORT or rfc2217://...
    std::string PortName() const;
    // Kills the server at once, as a power cut of the terminal server would.
    void Kill();

    // The configuration ser2net reads (YAML, ser2net 4.x).
    static std::string Configuration(const Ser2netSetup& setup, int port);

private:
    bool StartOn(int port);

    Ser2netSetup setup_;
    std::string directory_;
    std::unique_ptr<ChildProcess> child_;
    int port_ = -1;
    std::string error_;
};
