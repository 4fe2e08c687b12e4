// The units a fleet command runs on: --port given several times and the lines of --ports-file.
#pragma once

#include <string>
#include <vector>

struct CliOptions;

struct FleetPort {
    std::string name;   // the port name as zelctl opens it
    std::string label;  // the operator's name for the unit, may be empty
    // The label if set, else the port name: what output lines and the summary show.
    const std::string& Display() const { return label.empty() ? name : label; }
};

// One port name a line, '#' starts a comment (whole line or after the name), blank lines skipped,
// an optional label after the name (whitespace-separated). Throws CliError(EXIT_USAGE, ...) naming file and
// line for an unreadable file, a duplicate port or duplicate label, or a line with more than two words.
std::vector<FleetPort> ReadPortsFile(const std::string& path);

// Every --port given (in order) followed by the --ports-file entries; empty when neither was given.
std::vector<FleetPort> FleetPortsFromOptions(const CliOptions& options);
