// Running one command on several units at once: a thread per unit, each with its own
// engine session, lines prefixed with the unit's name, and a summary of the outcomes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli_options.h"
#include "fleet_ports.h"
#include "json_document.h"

struct UnitOutcome {
    FleetPort port;
    std::string serialNumber;  // "1.002.345"; empty when it was never read
    bool started = false;
    int exitCode = 0;
    std::string result;   // "ok", "skipped" or the failure's result name
    std::string message;  // the failure's words, empty for success
    Json json;            // with --json: the unit's object (the command's own members)
};

// The work done for one unit, with options naming its port alone.
using UnitWork = std::function<void(const CliOptions& unitOptions)>;

struct FleetPlan {
    int maxParallel = 0;            // units at work at once; 0: all
    bool stopAfterFailure = false;  // a failure starts no further unit; the rest are skipped
};

// Runs `work` for every unit and returns the outcomes in the ports' order. A failure in a
// unit's thread ends that unit only.
std::vector<UnitOutcome> RunOnFleet(const CliOptions& options, const std::vector<FleetPort>& ports,
                                    const UnitWork& work, const FleetPlan& plan);

// The summary table (text) or one object a line per unit (--json); the exit status:
// 0 when every unit succeeded, 1 otherwise.
int ReportFleet(const CliOptions& options, const std::vector<UnitOutcome>& outcomes);

// A unit's name as part of a file name: letters, digits, '.', '-' and '_' kept, the rest '_'.
std::string FileNameSafe(const std::string& text);

// A command run on several units: info, dump, backup DIR, restore DIR, reboot, upgrade FILE.
bool FleetCommand(const std::string& command);
int RunFleet(const CliOptions& options, const std::vector<FleetPort>& ports);
