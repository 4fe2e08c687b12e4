// zel5100-sim: a simulated ZEL-5100 on a pseudo-terminal, for trying the utility
// without a device. Prints the terminal's path on its first line.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "sim_clock.h"
#include "sim_device.h"
#include "sim_options.h"
#include "sim_serve.h"
#include "zel_version.h"

namespace {

// A frame as readable text: control bytes and the top half shown as <hex>.
std::string Printable(const std::vector<uint8_t>& frame) {
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

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fprintf(stderr, "zel5100-sim: %s\nTry 'zel5100-sim --help'.\n", error.c_str());
        return 2;
    }
    if (options.help || options.version) {
        if (options.help)
            std::fputs(SimUsage().c_str(), stdout);
        else
            std::printf("zel5100-sim %s\n", ZEL_VERSION_TEXT);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
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
                std::fprintf(stderr, "zel5100-sim: image of %zu bytes written to %s\n", image.size(),
                             path.c_str());
            else
                std::fprintf(stderr, "zel5100-sim: cannot write the image to %s\n", path.c_str());
        });
    }
    if (options.verbose) {
        device.OnTrace([](bool fromHost, const std::vector<uint8_t>& frame) {
            std::fprintf(stderr, "%s %s\n", fromHost ? "<-" : "->", Printable(frame).c_str());
        });
    }

    return ServeDevice(device, clock, options);
}
