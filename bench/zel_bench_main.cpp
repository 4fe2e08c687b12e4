// zel-bench: how close the protocol over the serial link comes to the speed of the
// line. Runs zel5100-sim with wire pacing at 115200 baud as a process of its own and
// times single reads of each size, a full refresh of the window's panels in both
// modes and a firmware upload, each with the link's receive and with a receive that
// polls the port every millisecond.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_scenarios.h"
#include "bench_table.h"
#include "com_port.h"
#include "process_scenarios.h"
#include "reference_receives.h"
#include "sim_process.h"
#include "wire_meter.h"
#include "zel_setting_ids.h"
#ifdef ZEL_BENCH_SER2NET
#include "ser2net_server.h"
#endif

namespace {

struct Options {
    std::string simulator = BuiltSimulatorPath();
    int reads = 200;
    int refreshes = 9;
    int uploadKiB = 256;
    int turnaroundUs = 1000;
    int32_t firmware = 23;
    bool runReads = true, runRefreshes = true, runUploads = true, runNetwork = true, runFleet = true;
};

// How the bench reaches the simulator's terminal.
enum class Route { kTerminal, kRaw, kRfc2217 };

const char* RouteName(Route route) {
    return route == Route::kRaw ? "tcp" : route == Route::kRfc2217 ? "rfc2217" : "pty";
}

struct Receiver {
    const char* name;
    ZelReceiveFn hook;
};

const Receiver kReceivers[] = {
    {"link", ComReceive},
    {"poll-1ms", PollingReceive},
    {"spin", SpinningReceive},
};
// The spinning receive is the floor for the short exchanges; on an upload its
// time is the line's anyway, and it would only burn a core for half a minute.
constexpr size_t kUploadReceivers = 2;

// One simulated device and the port open on it.
class Bench {
public:
    explicit Bench(const Options& options) : options_(options) {}
    ~Bench() { Disconnect(); }

    bool Connect(int mode, Route route = Route::kTerminal) {
        Disconnect();
        std::vector<std::string> args{
            "--pacing",           "--turnaround-us", std::to_string(options_.turnaroundUs), "--mode",
            std::to_string(mode), "--firmware",      std::to_string(options_.firmware)};
        SimProcessSetup setup;
        setup.program = options_.simulator;
        // The simulator puts each byte on the line when it is due: its timers must
        // not be rounded by the default 50 us slack.
        setup.preciseTimers = true;
        sim_ = std::make_unique<SimProcess>(args, setup);
        const std::string path = sim_->FirstLine(10000);
        if (path.empty()) {
            std::fprintf(stderr, "zel-bench: %s (%s)\n", sim_->Error().c_str(), options_.simulator.c_str());
            return false;
        }
        std::string name = path;
        if (route != Route::kTerminal) {
#ifdef ZEL_BENCH_SER2NET
            server_ = std::make_unique<Ser2netServer>(
                Ser2netSetup{route == Route::kRaw ? Ser2netMode::kRaw : Ser2netMode::kRfc2217, path});
            if (!server_->Ready()) {
                std::fprintf(stderr, "zel-bench: %s\n", server_->Error().c_str());
                return false;
            }
            name = server_->PortName();
#else
            std::fprintf(stderr, "zel-bench: built without ser2net\n");
            return false;
#endif
        }
        if (OpenComPort(&port_, name) != COM_OPEN_OK) {
            std::fprintf(stderr, "zel-bench: cannot open %s\n", name.c_str());
            return false;
        }
        return true;
    }

    void Disconnect() {
        CloseComPort(&port_);
#ifdef ZEL_BENCH_SER2NET
        server_.reset();
#endif
        sim_.reset();
    }

    // Puts the meter in front of the port with this receive, and lets a few requests
    // through untimed so that nothing is measured cold.
    void Use(const Receiver& receiver) {
        meter_.Install(&port_, receiver.hook);
        uint32_t value = 0;
        for (int i = 0; i < 3; ++i)
            ZelReadSetting(ZEL_CAT_DEVICE, ZEL_SET_TYPE, &value);
    }

    const WireMeter& Meter() const {
        return meter_;
    }

private:
    const Options& options_;
    std::unique_ptr<SimProcess> sim_;
#ifdef ZEL_BENCH_SER2NET
    std::unique_ptr<Ser2netServer> server_;
#endif
    ComPort port_;
    WireMeter meter_;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto number = [&](int* target) {
            if (i + 1 >= argc) return false;
            *target = std::atoi(argv[++i]);
            return *target > 0;
        };
        if (arg == "--sim" && i + 1 < argc) {
            options->simulator = argv[++i];
        } else if (arg == "--reads") {
            if (!number(&options->reads)) return false;
        } else if (arg == "--refreshes") {
            if (!number(&options->refreshes)) return false;
        } else if (arg == "--upload-kib") {
            if (!number(&options->uploadKiB)) return false;
        } else if (arg == "--turnaround-us") {
            if (!number(&options->turnaroundUs)) return false;
        } else if (arg == "--only" && i + 1 < argc) {
            std::string which = argv[++i];
            options->runReads = which.find("read") != std::string::npos;
            options->runRefreshes = which.find("refresh") != std::string::npos;
            options->runUploads = which.find("upload") != std::string::npos;
            options->runNetwork = which.find("network") != std::string::npos;
            options->runFleet = which.find("fleet") != std::string::npos;
        } else {
            return false;
        }
    }
    return true;
}

void Usage() {
    std::fputs(
        "Usage: zel-bench [--sim PATH] [--reads N] [--refreshes N] [--upload-kib N]\n"
        "                 [--turnaround-us N] [--only reads,refresh,upload,network,fleet]\n"
        "Times the protocol over the serial link against zel5100-sim with wire pacing\n"
        "at 115200 baud. Times are per operation: one read, one refresh, one upload.\n"
        "network: the refresh and an upload of a quarter of the size through ser2net\n"
        "(raw and RFC 2217), each against the same on the terminal in this run.\n"
        "fleet: zelctl backing up 4 units at once against one unit alone, and the\n"
        "exporter's scrape time while one unit's line times out.\n",
        stderr);
}

// zelctl as a user runs it: a fleet backup against one unit's, and the exporter's
// scrapes while a unit's line is timing out. Goals: 4 units within 1.3 x one unit's
// time; a scrape under 50 ms.
bool RunFleet(const Options& options) {
    UnitsSetup setup;
    setup.simulator = options.simulator;
    setup.zelctl = ZELCTL_PROGRAM;
    setup.turnaroundUs = options.turnaroundUs;
    setup.firmware = options.firmware;
    const FleetBackupRun backup = TimeFleetBackup(setup, 4, 3);
    if (!backup.failure.empty()) {
        std::fprintf(stderr, "zel-bench: fleet backup: %s\n", backup.failure.c_str());
        return false;
    }
    const double one = Median(backup.oneUnitSeconds), all = Median(backup.allUnitsSeconds);
    std::printf("\nfleet backup, %d units at once: %.2f s; one unit alone: %.2f s; %.2f x (goal <= 1.30 x)\n",
                backup.units, all, one, one > 0 ? all / one : 0.0);
    const ScrapeRun scrapes = TimeScrapesBesideSilentUnit(setup, 50);
    if (!scrapes.failure.empty()) {
        std::fprintf(stderr, "zel-bench: exporter scrapes: %s\n", scrapes.failure.c_str());
        return false;
    }
    const double worst = *std::max_element(scrapes.scrapeSeconds.begin(), scrapes.scrapeSeconds.end());
    std::printf(
        "exporter scrape while a unit's line times out (its poll %.2f s): median %.1f ms, "
        "worst %.1f ms of %zu (goal < 50 ms)\n",
        scrapes.silentPollSeconds, Median(scrapes.scrapeSeconds) * 1e3, worst * 1e3,
        scrapes.scrapeSeconds.size());
    return true;
}

// The same scenario on the terminal and through ser2net both ways, in one run: the
// ratio is what the terminal server costs.
bool RunNetwork(Bench& bench, const Options& options) {
    const int uploadKiB = std::max(16, options.uploadKiB / 4);
    struct Scenario {
        std::string name;
        std::function<ScenarioRun(const WireMeter&)> run;
        int mode;
    };
    const Scenario scenarios[] = {
        {"refresh all, mode 1",
         [&](const WireMeter& meter) {
             return TimeFullRefresh(meter, 1, options.firmware, options.refreshes);
         },
         1},
        {"upload " + std::to_string(uploadKiB) + " KiB",
         [&](const WireMeter& meter) { return TimeUpload(meter, uploadKiB * 1024); }, 1},
    };
    std::printf("\nThrough ser2net on loopback (chardelay off), against the terminal in this run:\n");
    for (const Scenario& scenario : scenarios) {
        double terminal = 0;
        for (Route route : {Route::kTerminal, Route::kRaw, Route::kRfc2217}) {
            // A fresh device each time: an upload restarts it with the new image.
            if (!bench.Connect(scenario.mode, route)) {
                if (route == Route::kTerminal) return false;
                std::printf("%-24s %-10s  FAILED: no connection\n", scenario.name.c_str(), RouteName(route));
                continue;
            }
            bench.Use(kReceivers[0]);
            const ScenarioRun run = scenario.run(bench.Meter());
            PrintTableRow(scenario.name, RouteName(route), run, options.turnaroundUs);
            if (!run.failure.empty() || run.operations <= 0) continue;
            const double median = MedianOpSeconds(run);
            if (route == Route::kTerminal)
                terminal = median;
            else if (terminal > 0)
                std::printf("%-24s %-10s %7.3f x the terminal%s\n", "", RouteName(route), median / terminal,
                            median / terminal > kTargetRatio ? " slow" : " ok");
        }
    }
    bench.Disconnect();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        Usage();
        return 2;
    }
    std::printf("zel-bench: 115200 baud 8N1, device turnaround %d us, firmware v%d.%d\n",
                options.turnaroundUs, options.firmware / 10, options.firmware % 10);
    std::printf(
        "Wire limit: every byte both ways at 10 bits, plus the turnaround before each reply.\n"
        "Times are medians of the operations. Receive: link = the serial link's own;\n"
        "poll-1ms = read, sleep 1 ms, read again; spin = read without pause (the floor the\n"
        "pseudo-terminal and simulator allow, at the cost of a whole core).\n");
    std::printf("On this machine one sleep and wake-up of a thread costs %.1f us of CPU.\n\n",
                WakeUpCpuSeconds() * 1e6);
    PrintTableHeader();

    Bench bench(options);
    struct Read {
        const char* name;
        int category, setting;
    };
    const Read reads[] = {
        {"read 1 byte (0x02/1)", 0x02, 1},  {"read 2 bytes (0x81/10)", 0x81, 10},
        {"read 4 bytes (0x01/3)", 0x01, 3}, {"read 6 bytes (0x03/6)", 0x03, 6},
        {"read 8 bytes (0x81/8)", 0x81, 8},
    };
    if (options.runReads && !bench.Connect(1)) return 1;
    for (const Read& read : reads) {
        if (!options.runReads) break;
        for (const Receiver& receiver : kReceivers) {
            bench.Use(receiver);
            ScenarioRun run = TimeSingleReads(bench.Meter(), read.category, read.setting, options.reads);
            PrintTableRow(read.name, receiver.name, run, options.turnaroundUs);
        }
    }
    for (int mode : {0, 1}) {
        if (!options.runRefreshes) break;
        if (!bench.Connect(mode)) return 1;
        for (const Receiver& receiver : kReceivers) {
            bench.Use(receiver);
            ScenarioRun run = TimeFullRefresh(bench.Meter(), mode, options.firmware, options.refreshes);
            PrintTableRow("refresh all, mode " + std::to_string(mode), receiver.name, run,
                          options.turnaroundUs);
        }
    }
    for (size_t r = 0; r < kUploadReceivers && options.runUploads; ++r) {
        const Receiver& receiver = kReceivers[r];
        // A fresh device for each upload: the one before restarts with the new image.
        if (!bench.Connect(1)) return 1;
        bench.Use(receiver);
        ScenarioRun run = TimeUpload(bench.Meter(), options.uploadKiB * 1024);
        PrintTableRow("upload " + std::to_string(options.uploadKiB) + " KiB", receiver.name, run,
                      options.turnaroundUs);
    }
    if (options.runNetwork && !RunNetwork(bench, options)) return 1;
    if (options.runFleet && !RunFleet(options)) return 1;
    std::printf("\nTargets: measured within %.2f x the wire limit, CPU under %.0f %% of the time.\n",
                kTargetRatio, kTargetCpuShare * 100);
    return 0;
}
