// The command line: global options, the command and its arguments.
#pragma once

#include <string>
#include <vector>

struct CliOptions {
    std::string port;       // --port NAME; empty: the port the window remembers
    bool trace = false;     // --trace: every frame to stderr
    bool json = false;      // --json: machine-readable output
    bool quiet = false;     // --quiet: no progress or notes on stderr
    bool help = false;      // --help / -h
    std::string command;    // first word that is not an option
    std::vector<std::string> args;  // everything after it that is not a global option
};

// Global options may stand before or after the command (`zelctl dump --json`).
// Words after "--" are arguments even when they begin with a dash. Throws a usage
// error for a global option without its value.
CliOptions ParseCommandLine(int argc, const char* const* argv);

// The command's own options, taken out of its argument list.
class CommandArgs {
public:
    CommandArgs(const std::string& command, std::vector<std::string> args)
        : command_(command), args_(std::move(args)) {}

    // Removes "--name VALUE" or "--name=VALUE"; false when absent.
    bool TakeOption(const std::string& name, std::string* value);
    // The remaining words; a word that still looks like an option is a usage error.
    std::vector<std::string> Positional() const;
    // Positional() with a count check: between least and most words (most < 0: no limit).
    std::vector<std::string> Expect(int least, int most, const std::string& what) const;

private:
    std::string command_;
    std::vector<std::string> args_;
};
