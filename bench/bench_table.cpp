#include "bench_table.h"

#include <cstdio>

namespace {

// Milliseconds with three significant places at least.
std::string Ms(double seconds) {
    char text[32];
    double ms = seconds * 1e3;
    std::snprintf(text, sizeof text, ms < 10 ? "%.3f" : ms < 1000 ? "%.2f" : "%.0f", ms);
    return text;
}

}  // namespace

void PrintTableHeader() {
    std::printf("%-24s %-10s %9s %12s %12s %7s %11s %7s  %s\n", "Scenario", "Receive", "Requests",
                "Median ms", "Wire ms", "Ratio", "CPU us/req", "CPU %", "");
}

void PrintTableRow(const std::string& scenario, const std::string& receive, const ScenarioRun& run,
                   int turnaroundUs) {
    if (run.operations <= 0 || run.wire.requests <= 0 || !run.failure.empty()) {
        std::printf("%-24s %-10s  FAILED: %s\n", scenario.c_str(), receive.c_str(),
                    run.failure.empty() ? "nothing was sent" : run.failure.c_str());
        return;
    }
    const double ops = double(run.operations);
    // Every operation of a scenario moves the same bytes.
    const double limit = WireLimitSeconds(run.wire, turnaroundUs) / ops;
    const double measured = MedianOpSeconds(run);
    const double ratio = measured / limit;
    const double cpuPerRequestUs = run.cpuSeconds / double(run.wire.requests) * 1e6;
    const double cpuShare = run.cpuSeconds / run.wallSeconds;
    std::string verdict;
    if (ratio > kTargetRatio) verdict += " slow";
    if (cpuShare > kTargetCpuShare) verdict += " cpu";
    if (run.wire.drains > 0) verdict += " retried";
    std::printf("%-24s %-10s %9lld %12s %12s %7.3f %11.1f %7.2f %s\n", scenario.c_str(), receive.c_str(),
                static_cast<long long>(run.wire.requests), Ms(measured).c_str(), Ms(limit).c_str(), ratio,
                cpuPerRequestUs, cpuShare * 100, verdict.empty() ? " ok" : verdict.c_str());
}
