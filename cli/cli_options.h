// The command line: global options, the command, its own options and its arguments.
#pragma once

#include <string>
#include <vector>

struct CliOptions {
    std::string port;                // --port NAME; empty: $ZELCTL_PORT, else the port the window remembers
    std::vector<std::string> ports;  // every --port given, in order (port is the first)
    std::string portsFile;           // --ports-file FILE: the units of a fleet command
    bool trace = false;              // --trace: every frame to stderr
    bool json = false;               // --json: machine-readable output, failures included
    bool quiet = false;              // --quiet: no progress or notes on stderr
    bool yes = false;                // --yes: no confirmation asked for actions that take the unit off air
    bool readOnly = false;           // --read-only (or ZELCTL_READ_ONLY=1): every write refused
    bool help = false;               // --help / -h
    bool version = false;            // --version
    bool fleetUnit = false;          // run by the fleet runner for one of several units
    std::string* unitSerial = nullptr;  // in a fleet: where the unit's serial number is noted
    std::string unitLabel;              // in a fleet: the unit's label from the ports file
    std::string command;                // first word that is not an option
    std::vector<std::string> args;      // the command's arguments

    // The commands' own options.
    std::vector<std::string> given;  // the names of those given ("--count")
    bool Has(const std::string& name) const {
        for (const std::string& word : given)
            if (word == name) return true;
        return false;
    }
    std::string interval;     // monitor, exporter --interval SECONDS
    std::string listen;       // exporter --listen ADDR:PORT
    std::string count;        // monitor --count N
    bool dryRun = false;      // restore --dry-run
    bool check = false;       // upgrade --check
    std::string firmware;     // upgrade --firmware N
    std::string maxParallel;  // upgrade --max-parallel N: units upgraded at once in a fleet
    std::string unit;         // log --unit SERIAL
    std::string since;        // log --since TIME
    std::string until;        // log --until TIME
};

// A command's own option, for the parser, the help and completion scripts.
struct CommandOption {
    const char* command;
    const char* name;                         // "--interval"
    const char* value;                        // "SECONDS"; nullptr for a switch
    std::string CliOptions::*text = nullptr;  // where the value goes
    bool CliOptions::*flag = nullptr;         // where a switch goes
};
const std::vector<CommandOption>& CommandOptions();
// The global options: "--port", "--trace", ...
std::vector<std::string> GlobalOptionNames();

// Global options may stand before or after the command (`zelctl dump --json`).
// Words after "--" are arguments even when they begin with a dash; "-5" is a value.
// Throws a usage error (exit 2) for an unknown command or option or a missing value.
CliOptions ParseCommandLine(int argc, const char* const* argv);

// The arguments with a count check: between least and most words (most < 0: no limit).
const std::vector<std::string>& ExpectArgs(const CliOptions& options, int least, int most,
                                           const std::string& what);
