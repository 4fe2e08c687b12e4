// zel5100-sim: a simulated ZEL-5100 on a pseudo-terminal, for trying the utility
// without a device. Prints the terminal's path on its first line.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sim_clock.h"
#include "sim_device.h"
#include "sim_options.h"
#include "sim_net_server.h"
#include "sim_pty_server.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int)
{
    stopRequested = 1;
}

void InstallStopHandlers()
{
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: poll() must return at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// A frame as readable text: control bytes and the top half shown as <hex>.
std::string Printable(const std::vector<uint8_t>& frame)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : frame) {
        if (b >= 0x20 && b < 0x7F) {
            text.push_back(static_cast<char>(b));
        } else {
            text += '<';
            text.push_back(kDigits[b >> 4]);
            text.push_back(kDigits[b & 0xF]);
            text += '>';
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fprintf(stderr, "zel5100-sim: %s\nTry 'zel5100-sim --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }

    SteadyClock clock;
    SimDevice device(options.config, clock);
    if (!options.imageOut.empty()) {
        std::string path = options.imageOut;
        device.OnImageFinished([path](const std::vector<uint8_t>& image) {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(image.data()),
                      static_cast<std::streamsize>(image.size()));
            out.close();
            if (out)
                std::fprintf(stderr, "zel5100-sim: image of %zu bytes written to %s\n",
                             image.size(), path.c_str());
            else
                std::fprintf(stderr, "zel5100-sim: cannot write the image to %s\n", path.c_str());
        });
    }
    if (options.verbose) {
        device.OnTrace([](bool fromHost, const std::vector<uint8_t>& frame) {
            std::fprintf(stderr, "%s %s\n", fromHost ? "<-" : "->", Printable(frame).c_str());
        });
    }

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
                 options.config.deviceType, options.config.mode,
                 options.config.firmwareVersion / 10, options.config.firmwareVersion % 10,
                 server.SlavePath().c_str(), options.linkPath.empty() ? "" : " linked as ",
                 options.linkPath.c_str());

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
