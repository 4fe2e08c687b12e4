// Windows has no pseudo-terminals: the device is served on its TCP port alone,
// and Ctrl+C, Ctrl+Break and closing the console window stop it.
#include <windows.h>

#include <csignal>
#include <cstdio>

#include "sim_serve.h"
#include "sim_socket_server.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

BOOL WINAPI OnConsoleEvent(DWORD /*event*/) {
    stopRequested = 1;
    return TRUE;
}

}  // namespace

int ServeDevice(SimDevice& device, const SimClock& clock, const SimOptions& options) {
    if (options.listen.empty()) {
        std::fprintf(stderr,
                     "zel5100-sim: this system has no pseudo-terminals: serve the unit on a TCP port, "
                     "for example with --listen tcp://127.0.0.1:7000\n");
        return 2;
    }
    if (!options.linkPath.empty()) {
        std::fprintf(stderr,
                     "zel5100-sim: --link names a pseudo-terminal, which this system does not have\n");
        return 2;
    }
    SimSocketServer server(device, clock);
    std::string error;
    if (!server.Listen(options.listen, &error)) {
        std::fprintf(stderr, "zel5100-sim: %s\n", error.c_str());
        return 1;
    }
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    std::printf("%s\n", server.Name().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "zel5100-sim: ZEL-%d in mode %d, firmware v%d.%d, listening at %s\n",
                 options.config.deviceType, options.config.mode, options.config.firmwareVersion / 10,
                 options.config.firmwareVersion % 10, server.Name().c_str());
    server.Serve(&stopRequested);
    return 0;
}
