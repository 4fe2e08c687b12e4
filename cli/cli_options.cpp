#include "cli_options.h"

#include <algorithm>

#include <CLI/CLI.hpp>

#include "cli_errors.h"
#include "cli_help.h"
#include "commands.h"

namespace {

struct GlobalSwitch {
    const char* name;
    bool CliOptions::*field;
};

const GlobalSwitch kGlobalSwitches[] = {
    {"--trace", &CliOptions::trace},        {"--json", &CliOptions::json},
    {"--quiet", &CliOptions::quiet},        {"--yes", &CliOptions::yes},
    {"--read-only", &CliOptions::readOnly}, {"--version", &CliOptions::version},
};

// CLI11's messages and exit codes are its own: each failure is worded here, exit 2.
[[noreturn]] void ThrowParseFailure(const CLI::ParseError& failure, const CliOptions& options,
                                    const std::vector<std::string>& extras,
                                    const std::vector<std::string>& words) {
    const std::string& command = options.command;
    std::string see = command.empty() ? "zelctl --help" : "zelctl " + command + " --help";
    if (!extras.empty()) {
        const std::string& word = extras.front();
        // An unknown option before the command is one of the global ones (words are reversed).
        const auto unknownAt = std::find(words.rbegin(), words.rend(), word);
        const auto commandAt = std::find(words.rbegin(), words.rend(), command);
        if (commandAt != words.rend() && unknownAt < commandAt) see = "zelctl --help";
        if (word.size() > 1 && word[0] == '-') ThrowUsage("unknown option " + word + " (see " + see + ")");
        if (command.empty()) ThrowUsage("unknown command '" + word + "'\n" + UsageSummary());
    }
    const std::string what = failure.what();
    if (what.rfind("--ports-file", 0) == 0)
        ThrowUsage("--ports-file needs a file name, one port name a line");
    if (what.rfind("--port", 0) == 0) ThrowUsage("--port needs a port name, for example --port /dev/ttyUSB0");
    const size_t colon = what.find(':');
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&failure) && colon != std::string::npos) {
        ThrowUsage((command.empty() ? "" : command + ": ") + what.substr(0, colon) + " needs a value (see " +
                   see + ")");
    }
    ThrowUsage(what + " (see " + see + ")");
}

}  // namespace

const std::vector<CommandOption>& CommandOptions() {
    static const std::vector<CommandOption> options = {
        {"monitor", "--interval", "SECONDS", &CliOptions::interval},
        {"monitor", "--count", "N", &CliOptions::count},
        {"exporter", "--listen", "ADDR:PORT", &CliOptions::listen},
        {"exporter", "--interval", "SECONDS", &CliOptions::interval},
        {"restore", "--dry-run", nullptr, nullptr, &CliOptions::dryRun},
        {"upgrade", "--check", nullptr, nullptr, &CliOptions::check},
        {"upgrade", "--firmware", "N", &CliOptions::firmware},
        {"upgrade", "--max-parallel", "N", &CliOptions::maxParallel},
        {"log", "--unit", "SERIAL", &CliOptions::unit},
        {"log", "--since", "TIME", &CliOptions::since},
        {"log", "--until", "TIME", &CliOptions::until},
    };
    return options;
}

std::vector<std::string> GlobalOptionNames() {
    std::vector<std::string> names = {"--port", "--ports-file"};
    for (const GlobalSwitch& option : kGlobalSwitches)
        names.push_back(option.name);
    names.push_back("--help");
    return names;
}

CliOptions ParseCommandLine(int argc, const char* const* argv) {
    CliOptions options;
    CLI::App app("zelctl");
    app.set_help_flag();  // zelctl's own help, worded for each command
    // CLI11 takes /x for an option on Windows; there a file named /x (as wine
    // passes Unix paths) is a file, and zelctl's options are the same everywhere.
    app.allow_windows_style_options(false);
    app.add_flag("-h,--help", options.help);
    app.add_option("--port", options.ports);  // may be given several times: a fleet
    app.add_option("--ports-file", options.portsFile);
    for (const GlobalSwitch& option : kGlobalSwitches)
        app.add_flag(option.name, options.*option.field);
    app.fallthrough();  // global options after the command too
    app.require_subcommand(0, 1);

    for (const CommandInfo& info : Commands()) {
        CLI::App* command = app.add_subcommand(info.name);
        command->set_help_flag();
        command->add_option("args", options.args);
        command->preparse_callback(
            [&options, name = std::string(info.name)](size_t) { options.command = name; });
        for (const CommandOption& own : CommandOptions()) {
            if (info.name != std::string(own.command)) continue;
            if (own.text) {
                command->add_option(own.name, options.*own.text);
            } else {
                command->add_flag(own.name, options.*own.flag);
            }
        }
    }

    std::vector<std::string> words;
    for (int i = argc - 1; i > 0; --i)
        words.push_back(argv[i] ? argv[i] : "");  // CLI11 takes them reversed
    for (int i = 1; i < argc && argv[i] && std::string(argv[i]) != "--"; ++i) {
        // CLI11 would take the next word for the empty value.
        if (std::string(argv[i]) == "--port=") ThrowUsage("--port needs a port name");
        if (std::string(argv[i]) == "--ports-file=") ThrowUsage("--ports-file needs a file name");
    }
    const std::vector<std::string> given = words;  // CLI11 uses up the words it parses
    try {
        app.parse(words);
    } catch (const CLI::ExtrasError& failure) {
        ThrowParseFailure(failure, options, app.remaining(), given);
    } catch (const CLI::ParseError& failure) {
        ThrowParseFailure(failure, options, {}, given);
    }
    for (const CLI::App* command : app.get_subcommands()) {
        for (const CommandOption& own : CommandOptions()) {
            if (command->get_name() == own.command && command->count(own.name) > 0)
                options.given.push_back(own.name);
        }
    }
    for (const std::string& port : options.ports)
        if (port.empty()) ThrowUsage("--port needs a port name");
    if (!options.ports.empty()) options.port = options.ports.front();
    if (app.count("--ports-file") && options.portsFile.empty()) ThrowUsage("--ports-file needs a file name");
    return options;
}

const std::vector<std::string>& ExpectArgs(const CliOptions& options, int least, int most,
                                           const std::string& what) {
    const int count = int(options.args.size());
    if (count < least || (most >= 0 && count > most)) {
        ThrowUsage(options.command + " takes " + what + " (see zelctl " + options.command + " --help)");
    }
    return options.args;
}
