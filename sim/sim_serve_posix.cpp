#include <csignal>
#include <cstdio>
#include <thread>

#include "sim_net_server.h"
#include "sim_pty_server.h"
#include "sim_serve.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: poll() must return at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

int ServeDevice(SimDevice& device, const SimClock& clock, const SimOptions& options) {
    std::string error;
    InstallStopHandlers();
    SimPtyServer server(device, clock);
    if (!server.Open(options.linkPath, &error)) {
        std::fprintf(stderr, "zel5100-sim: %s\n", error.c_str());
        return 1;
    }
    SimNetServer network;
    if (!options.listen.empty() && !network.Listen(options.listen, &error)) {
        std::fprintf(stderr, "zel5100-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", options.listen.empty() ? server.SlavePath().c_str() : network.Name().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "zel5100-sim: ZEL-%d in mode %d, firmware v%d.%d, serving on %s%s%s\n",
                 options.config.deviceType, options.config.mode, options.config.firmwareVersion / 10,
                 options.config.firmwareVersion % 10, server.SlavePath().c_str(),
                 options.linkPath.empty() ? "" : " linked as ", options.linkPath.c_str());

    std::thread relay;
    if (!options.listen.empty()) {
        std::fprintf(stderr, "zel5100-sim: listening at %s\n", network.Name().c_str());
        relay = std::thread([&] { network.Serve(server.SlavePath(), &stopRequested); });
    }
    server.Serve(&stopRequested);
    // The line has gone (the device hung it up) or a stop was asked for: the relay ends too.
    stopRequested = 1;
    if (relay.joinable()) relay.join();
    server.Close();
    return 0;
}
