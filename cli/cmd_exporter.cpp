// exporter: the units' counters and status served to Prometheus over HTTP, each unit
// polled in the background on its own thread.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "exporter_options.h"
#include "exporter_server.h"
#include "fleet_ports.h"
#include "interrupt.h"
#include "unit_poller.h"

int RunExporter(const CliOptions& options) {
    ExpectArgs(options, 0, 0, "no arguments; the units are --port NAME (repeatable) or --ports-file FILE");
    const ListenAddress listen =
        ParseListenAddress(options.Has("--listen") ? options.listen : EXPORTER_DEFAULT_LISTEN);
    const double seconds = options.Has("--interval") ? ParseIntervalSeconds("exporter", options.interval, 0.1)
                                                     : EXPORTER_DEFAULT_INTERVAL_SECONDS;
    std::vector<FleetPort> ports = FleetPortsFromOptions(options);
    if (ports.empty()) ports.push_back({ChoosePortName(options), ""});

    // Ctrl+C and SIGTERM stop the server and let every poller release its port.
    SetGracefulInterrupt(true);
#ifdef SIGPIPE
    // A client that goes away mid-answer ends its connection, not the exporter.
    std::signal(SIGPIPE, SIG_IGN);
#endif

    std::unique_ptr<FleetPoller> poller;
    ExporterServer server([&poller] { return poller ? poller->Snapshots() : std::vector<UnitSnapshot>(); });
    // Bound before any port is opened: an address in use ends the command at once.
    const int port = server.Bind(listen.host, listen.port);
    if (port < 0) {
        throw CliError(EXIT_DEVICE_FAILED,
                       "cannot listen on " + listen.Text() +
                           ": the port is in use, or the address is not one of this host's",
                       "listen-failed");
    }
    ListenAddress bound = listen;
    bound.port = port;
    const auto interval = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
    poller = std::make_unique<FleetPoller>(ports, interval);

    std::printf("serving http://%s/metrics for %zu unit%s, polled every %g s\n", bound.Text().c_str(),
                ports.size(), ports.size() == 1 ? "" : "s", seconds);
    std::fflush(stdout);

    std::atomic<bool> served{false};
    std::atomic<bool> ended{false};
    std::thread serving([&] {
        served = server.Serve();
        ended = true;
    });
    while (!InterruptRequested() && !ended)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.Stop();
    serving.join();
    poller.reset();  // every unit's round ended, its port released
    SetGracefulInterrupt(false);
    if (!served && !InterruptRequested())
        throw CliError(EXIT_DEVICE_FAILED, "serving on " + bound.Text() + " failed", "listen-failed");
    if (!options.quiet) std::fprintf(stderr, "zelctl exporter: stopped; every port released\n");
    return 0;
}
