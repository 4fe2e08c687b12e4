#include "process_scenarios.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include <httplib.h>

#include "child_process.h"
#include "process_harness.h"
#include "sim_process.h"

namespace {

constexpr int kCommandLimitMs = 180000;

struct HttpReply {
    int status = 0;  // 0 when no answer came
    std::string body;
    std::string failure;  // why no answer came
};

// One GET on this host's loopback, as a scraper makes it: a connection of its own.
HttpReply HttpGetLoopback(int port, const std::string& path) {
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(5);
    client.set_read_timeout(5);
    HttpReply reply;
    const httplib::Result result = client.Get(path);
    if (!result) {
        reply.failure = httplib::to_string(result.error());
        return reply;
    }
    reply.status = result->status;
    reply.body = result->body;
    return reply;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Paced simulated units, each with a serial number of its own.
class SimulatedUnits {
public:
    SimulatedUnits(const UnitsSetup& setup, const std::vector<std::vector<std::string>>& extraOptions) {
        int serial = 1001;
        for (const std::vector<std::string>& extra : extraOptions) {
            std::vector<std::string> args{"--pacing",
                                          "--turnaround-us",
                                          std::to_string(setup.turnaroundUs),
                                          "--firmware",
                                          std::to_string(setup.firmware),
                                          "--serial",
                                          std::to_string(serial++)};
            args.insert(args.end(), extra.begin(), extra.end());
            SimProcessSetup simSetup;
            simSetup.program = setup.simulator;
            simSetup.preciseTimers = true;
            sims_.push_back(std::make_unique<SimProcess>(args, simSetup));
            const std::string port = sims_.back()->FirstLine(10000);
            if (port.empty()) {
                failure_ = sims_.back()->Error();
                return;
            }
            ports_.push_back(port);
        }
    }
    const std::vector<std::string>& Ports() const { return ports_; }
    const std::string& Failure() const { return failure_; }

private:
    std::vector<std::unique_ptr<SimProcess>> sims_;
    std::vector<std::string> ports_;
    std::string failure_;
};

// zelctl with its home in the scratch folder: nothing of the user's is read or written.
ChildSetup ZelctlSetup(const TempDir& scratch) {
    ChildSetup setup;
    setup.environment = {"HOME=" + scratch.File("home"), "XDG_CONFIG_HOME=" + scratch.File("home/config"),
                         "XDG_STATE_HOME=" + scratch.File("home/state"), "ZELCTL_PORT="};
    return setup;
}

// Runs zelctl to its end; its wall time, or the failure in *failure.
double TimeZelctl(const UnitsSetup& setup, const TempDir& scratch, std::vector<std::string> args,
                  std::string* failure) {
    args.insert(args.begin(), setup.zelctl);
    const auto start = std::chrono::steady_clock::now();
    ChildProcess zelctl(args, ZelctlSetup(scratch));
    if (!zelctl.Started()) {
        *failure = zelctl.StartError();
        return 0;
    }
    const ChildExit exit = zelctl.Wait(kCommandLimitMs);
    const double seconds = SecondsSince(start);
    if (!exit.ended || exit.code != 0) {
        const std::string err = zelctl.Err();
        *failure = (exit.ended ? "zelctl ended with " + std::to_string(exit.code) : "zelctl did not end") +
                   (err.empty() ? "" : ": " + err.substr(0, err.find('\n')));
    }
    return seconds;
}

// The port the exporter printed on "serving http://127.0.0.1:PORT/metrics ...", or 0.
int ServingPort(const std::string& out) {
    const std::string mark = "serving http://127.0.0.1:";
    const size_t at = out.find(mark);
    if (at == std::string::npos || out.find('\n', at) == std::string::npos) return 0;
    return std::atoi(out.c_str() + at + mark.size());
}

// The value of the first series that starts with `series` in the metrics text; -1 when none.
double SeriesValue(const std::string& metrics, const std::string& series) {
    const size_t at = metrics.find("\n" + series);
    if (at == std::string::npos) return -1;
    const size_t space = metrics.find(' ', at + 1);
    return space == std::string::npos ? -1 : std::strtod(metrics.c_str() + space + 1, nullptr);
}

}  // namespace

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

FleetBackupRun TimeFleetBackup(const UnitsSetup& setup, int units, int repeats) {
    FleetBackupRun run;
    run.units = units;
    const TempDir scratch;  // the backups and zelctl's home
    if (scratch.Path().empty()) {
        run.failure = "no scratch folder";
        return run;
    }
    const SimulatedUnits sims(setup, std::vector<std::vector<std::string>>(size_t(units)));
    if (!sims.Failure().empty()) {
        run.failure = sims.Failure();
        return run;
    }
    std::vector<std::string> fleet = {"--quiet"};
    for (const std::string& port : sims.Ports())
        fleet.insert(fleet.end(), {"--port", port});
    // One and many in turn, so that whatever else the machine does falls on both alike.
    for (int r = 0; r < repeats && run.failure.empty(); ++r) {
        const std::string tag = std::to_string(r);
        run.oneUnitSeconds.push_back(
            TimeZelctl(setup, scratch,
                       {"--quiet", "--port", sims.Ports()[0], "backup", scratch.File("one-" + tag + ".json")},
                       &run.failure));
        if (!run.failure.empty()) break;
        std::vector<std::string> args = fleet;
        args.insert(args.end(), {"backup", scratch.File("fleet-" + tag)});
        run.allUnitsSeconds.push_back(TimeZelctl(setup, scratch, args, &run.failure));
    }
    return run;
}

ScrapeRun TimeScrapesBesideSilentUnit(const UnitsSetup& setup, int scrapes) {
    ScrapeRun run;
    const TempDir scratch;  // the backups and zelctl's home
    if (scratch.Path().empty()) {
        run.failure = "no scratch folder";
        return run;
    }
    const SimulatedUnits sims(setup, {{}, {"--drop", "100"}});
    if (!sims.Failure().empty()) {
        run.failure = sims.Failure();
        return run;
    }
    const std::string portsFile = scratch.File("ports");
    WriteFile(portsFile, sims.Ports()[0] + " answering\n" + sims.Ports()[1] + " silent\n");
    ChildProcess exporter(
        {setup.zelctl, "--ports-file", portsFile, "exporter", "--listen", "127.0.0.1:0", "--interval", "0.5"},
        ZelctlSetup(scratch));
    int port = 0;
    exporter.WaitForOutput(
        [&](const std::string& out, const std::string&) { return (port = ServingPort(out)) > 0; }, 20000);
    if (port <= 0) {
        run.failure = "the exporter did not start: " + exporter.Err();
        return run;
    }

    // Timed once both units have a round behind them: the answering one up, the silent one
    // down after its time-outs, and its next round already waiting on the line.
    const std::string upAnswering = "zel5100_up{port=\"" + sims.Ports()[0] + "\",label=\"answering\"}";
    const std::string upSilent = "zel5100_up{port=\"" + sims.Ports()[1] + "\",label=\"silent\"}";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (;;) {
        const HttpReply reply = HttpGetLoopback(port, "/metrics");
        if (SeriesValue(reply.body, upAnswering) == 1 && SeriesValue(reply.body, upSilent) == 0) break;
        if (std::chrono::steady_clock::now() > deadline) {
            run.failure = "the units' first rounds did not end: " +
                          (reply.failure.empty() ? reply.body.substr(0, 200) : reply.failure);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    std::string last;
    for (int i = 0; i < scrapes; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const HttpReply reply = HttpGetLoopback(port, "/metrics");
        run.scrapeSeconds.push_back(SecondsSince(start));
        if (reply.status != 200) {
            run.failure = "scrape " + std::to_string(i + 1) + ": " +
                          (reply.failure.empty() ? "status " + std::to_string(reply.status) : reply.failure);
            return run;
        }
        last = reply.body;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.silentPollSeconds =
        SeriesValue(last, "zel5100_poll_duration_seconds{port=\"" + sims.Ports()[1] + "\",label=\"silent\"}");
    exporter.Signal(SIGTERM);
    exporter.Wait(30000);
    return run;
}
