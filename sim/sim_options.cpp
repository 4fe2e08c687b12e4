#include "sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <type_traits>

namespace {

bool ParseInteger(const std::string& text, long long low, long long high, long long* value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    *value = v;
    return true;
}

bool ParsePercent(const std::string& text, double* value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(v >= 0.0 && v <= 100.0)) return false;
    *value = v;
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr long long kIntMax = std::numeric_limits<int>::max();

}  // namespace

bool UnescapeSimText(const std::string& text, std::string* bytes) {
    bytes->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            bytes->push_back(c);
            continue;
        }
        if (++i >= text.size()) return false;
        switch (text[i]) {
            case 'r': bytes->push_back('\r'); break;
            case 'n': bytes->push_back('\n'); break;
            case 't': bytes->push_back('\t'); break;
            case '\\': bytes->push_back('\\'); break;
            case 'x': {
                if (i + 2 >= text.size()) return false;
                int hi = HexValue(text[i + 1]);
                int lo = HexValue(text[i + 2]);
                if (hi < 0 || lo < 0) return false;
                bytes->push_back(static_cast<char>(hi << 4 | lo));
                i += 2;
                break;
            }
            default: return false;
        }
    }
    return true;
}

std::string SimUsage() {
    return "Usage: zel5100-sim [options]\n"
           "Serves a simulated ZEL-5100 on a pseudo-terminal. The first line printed is the\n"
           "terminal's path; open it as the COM port. Ctrl+C or SIGTERM stops it.\n"
           "\n"
           "Device:\n"
           "  --type 5100|5137          device type (default 5100)\n"
           "  --mode 0|1                operational mode: 0 = ASI to IP, 1 = IP to ASI (default 1)\n"
           "  --firmware N              firmware version in tenths, 23 = v2.3 (default 23)\n"
           "  --restart-ms N            how long a restart keeps the device silent (default 3000)\n"
           "  --serial N                serial number (default 1002345)\n"
           "  --noise TEXT              bytes sent when the device has started; \\r \\n \\t \\\\ \\xHH\n"
           "Network:\n"
           "  --dhcp                    start with DHCP enabled (default: static 192.168.0.10)\n"
           "  --still-counters          counters and rates keep their start values (default: they move)\n"
           "  --dhcp-link-local-ms N    with DHCP: 0.0.0.0 until then, then 169.254.52.86 (default 2000)\n"
           "  --dhcp-lease-ms N         with DHCP: the leased 10.1.2.42 from then on (default 5000);\n"
           "                            a negative time means never\n"
           "Firmware upgrade:\n"
           "  --progress-steps N        type 1: Progress polls from 0 to 100 (default 5)\n"
           "  --fail-upgrade            type 1: Error turns non-zero; type 2: Verify reads 0\n"
           "  --refuse-last-part        type 1: the last part of the image is refused with E\n"
           "  --erase-ms N              type 2: Busy after Erase (default 1500)\n"
           "  --upgrade-mode 0|1        type 2: what Mode (0x85, 1) reads (default 1)\n"
           "  --image-out FILE          write each finished upgrade image to FILE\n"
           "Faults (each a chance in percent per answered request):\n"
           "  --drop PCT                the reply is lost\n"
           "  --corrupt PCT             one byte of the reply is changed\n"
           "  --delay PCT               the reply comes after the category's time-out\n"
           "  --delay-past-ms N         how far past the time-out a delayed reply comes (default 50)\n"
           "  --garbage PCT             stray bytes come before the reply\n"
           "  --error PCT               the request is refused with E\n"
           "  --busy PCT                the request is answered with B\n"
           "  --silent-after N          answer N requests, then nothing (unplugged)\n"
           "  --hang-up-after N         answer N requests, then hang up the terminal (line gone)\n"
           "  --hold-replies            hold each reply back until the next request arrives,\n"
           "                            then send it in place of that request's reply\n"
           "  --ignore-writes           answer writes of settings as done but change nothing\n"
           "  --seed N                  seed of the fault draws (default 1)\n"
           "Line:\n"
           "  --pacing                  bytes take 86.8 us each (115200 8N1), replies wait for\n"
           "                            the request to have arrived\n"
           "  --turnaround-us N         with --pacing: pause before a reply (default 1000)\n"
           "Other:\n"
           "  --link PATH               keep a symlink PATH to the terminal while running\n"
           "  --listen tcp://HOST:PORT  also serve the terminal on a TCP port, raw, one client at\n"
           "                            a time, as a terminal server does; rfc2217://HOST:PORT\n"
           "                            serves Telnet with COM Port Control. PORT 0 takes a free\n"
           "                            port. The first line printed is then the name to connect to\n"
           "  -v, --verbose             print every frame on stderr\n"
           "  -h, --help                this text\n"
           "  --version                 the program's version\n";
}

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* options, std::string* error) {
    SimConfig& c = options->config;
    SimFaultConfig& f = c.faults;

    auto integer = [](long long low, long long high, auto* target) {
        return [=](const std::string& v) {
            long long n = 0;
            if (!ParseInteger(v, low, high, &n)) return false;
            *target = static_cast<std::remove_pointer_t<decltype(target)>>(n);
            return true;
        };
    };
    auto percent = [](double* target) {
        return [=](const std::string& v) { return ParsePercent(v, target); };
    };

    // Options that take a value.
    std::map<std::string, std::function<bool(const std::string&)>> valued = {
        {"--type",
         [&](const std::string& v) {
             long long n = 0;
             if (!ParseInteger(v, 0, kIntMax, &n) || (n != 5100 && n != 5137)) return false;
             c.deviceType = static_cast<int>(n);
             return true;
         }},
        {"--mode", integer(0, 1, &c.mode)},
        {"--firmware", integer(0, kIntMax, &c.firmwareVersion)},
        {"--restart-ms", integer(0, kIntMax, &c.restartMs)},
        {"--serial", integer(0, 0xFFFFFFFFLL, &c.serialNumber)},
        {"--noise", [&](const std::string& v) { return UnescapeSimText(v, &c.startupNoise); }},
        {"--dhcp-link-local-ms", integer(-1, kIntMax, &c.dhcpLinkLocalMs)},
        {"--dhcp-lease-ms", integer(-1, kIntMax, &c.dhcpLeaseMs)},
        {"--progress-steps", integer(1, 100, &c.upgradeProgressSteps)},
        {"--erase-ms", integer(0, kIntMax, &c.eraseBusyMs)},
        {"--upgrade-mode", integer(0, 1, &c.upgradeMode)},
        {"--image-out",
         [&](const std::string& v) {
             options->imageOut = v;
             return !v.empty();
         }},
        {"--drop", percent(&f.dropReplyPercent)},
        {"--corrupt", percent(&f.corruptBytePercent)},
        {"--delay", percent(&f.delayReplyPercent)},
        {"--delay-past-ms", integer(0, 600000, &f.delayPastTimeoutMs)},
        {"--hang-up-after", integer(0, std::numeric_limits<long long>::max(), &f.hangUpAfterFrames)},
        {"--garbage", percent(&f.noisePercent)},
        {"--error", percent(&f.errorReplyPercent)},
        {"--busy", percent(&f.busyReplyPercent)},
        {"--silent-after", integer(0, std::numeric_limits<long long>::max(), &f.silentAfterFrames)},
        {"--seed",
         [&](const std::string& v) {
             errno = 0;
             char* end = nullptr;
             unsigned long long n = std::strtoull(v.c_str(), &end, 0);
             if (v.empty() || v[0] == '-' || errno != 0 || *end != '\0') return false;
             f.seed = n;
             return true;
         }},
        {"--turnaround-us", integer(0, 1000000, &c.turnaroundUs)},
        {"--link",
         [&](const std::string& v) {
             options->linkPath = v;
             return !v.empty();
         }},
        {"--listen",
         [&](const std::string& v) {
             options->listen = v;
             return v.rfind("tcp://", 0) == 0 || v.rfind("rfc2217://", 0) == 0;
         }},
    };
    // Switches.
    std::map<std::string, std::function<void()>> switches = {
        {"--dhcp", [&] { c.dhcpEnabled = true; }},
        {"--still-counters", [&] { c.countersMove = false; }},
        {"--fail-upgrade", [&] { c.failUpgrade = true; }},
        {"--refuse-last-part", [&] { c.refuseLastPart = true; }},
        {"--pacing", [&] { c.wirePacing = true; }},
        {"--hold-replies", [&] { f.holdReplies = true; }},
        {"--ignore-writes", [&] { f.ignoreWrites = true; }},
        {"-v", [&] { options->verbose = true; }},
        {"--verbose", [&] { options->verbose = true; }},
        {"-h", [&] { options->help = true; }},
        {"--help", [&] { options->help = true; }},
        {"--version", [&] { options->version = true; }},
    };

    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        auto sw = switches.find(name);
        if (sw != switches.end() && !inlineValue) {
            sw->second();
            continue;
        }
        auto opt = valued.find(name);
        if (opt == valued.end()) {
            *error = "unknown option '" + args[i] + "'";
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                *error = "option " + name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (!opt->second(value)) {
            *error = "bad value '" + value + "' for " + name;
            return false;
        }
    }
    return true;
}
