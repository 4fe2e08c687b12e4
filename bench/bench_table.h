// The benchmark's table: one row per scenario and receive, with the time measured,
// the line's limit, their ratio and the CPU time per request.
#pragma once

#include <string>

#include "bench_scenarios.h"

constexpr double kTargetRatio = 1.05;     // measured time against the wire limit
constexpr double kTargetCpuShare = 0.02;  // CPU time against wall time

void PrintTableHeader();
// Times are per operation of the scenario (one read, one refresh, one upload).
void PrintTableRow(const std::string& scenario, const std::string& receive, const ScenarioRun& run,
                   int turnaroundUs);
