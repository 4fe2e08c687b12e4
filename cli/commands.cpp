#include "commands.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "cli_errors.h"
#include "cli_help.h"
#include "fleet_ports.h"
#include "fleet_runner.h"
#include "interrupt.h"
#include "json_outcome.h"
#include "standard_output.h"
#include "text_codes.h"
#include "write_guard.h"
#include "zel_version.h"

namespace {

// --json, even on a command line that could not be parsed: its failure is reported as JSON too.
bool AsksForJson(int argc, const char* const* argv) {
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], "--json") == 0) return true;
    }
    return false;
}

// One line on stderr, naming the result once; with --json also the object on stdout.
int ReportFailure(bool json, int exitCode, const std::string& result, const std::string& message) {
    if (json && !message.empty()) {
        try {
            // A usage error's synopsis is for people; the object carries the reason alone.
            PrintJsonFailure(result, exitCode == EXIT_USAGE ? message.substr(0, message.find('\n')) : message,
                             exitCode);
            FinishOut();
        } catch (const std::exception&) {
            // Standard output is gone: the line on stderr still tells.
        }
    }
    std::fflush(stdout);
    // An empty message: the reader of standard output went away, nothing to say.
    if (!message.empty()) std::fprintf(stderr, "zelctl: %s\n", PrintableLines(message).c_str());
    return exitCode;
}

}  // namespace

const std::vector<CommandInfo>& Commands() {
    static const std::vector<CommandInfo> commands = {
        {"ports", RunPorts},       {"info", RunInfo},          {"get", RunGet},
        {"set", RunSet},           {"dump", RunDump},          {"backup", RunBackup},
        {"restore", RunRestore},   {"reboot", RunReboot},      {"upgrade", RunUpgrade},
        {"monitor", RunMonitor},   {"settings", RunSettings},  {"log", RunLog},
        {"exporter", RunExporter}, {"_words", RunWords, true},
    };
    return commands;
}

const CommandInfo* FindCommand(const std::string& name) {
    for (const CommandInfo& command : Commands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

int RunZelctl(int argc, const char* const* argv) {
    const bool json = AsksForJson(argc, argv);
    try {
        CliOptions options = ParseCommandLine(argc, argv);
        if (ReadOnlyByEnvironment()) options.readOnly = true;
        if (options.version) {
            WriteOut(std::string("zelctl ") + ZEL_VERSION_TEXT + "\n");
            FinishOut();
            return EXIT_OK;
        }
        if (options.command.empty()) {
            if (options.help) {
                WriteOut(GeneralHelp());
                FinishOut();
                return EXIT_OK;
            }
            ThrowUsage("no command given\n" + UsageSummary());
        }
        const CommandInfo* command = FindCommand(options.command);
        if (!command) ThrowUsage("unknown command '" + options.command + "'\n" + UsageSummary());
        if (options.help) {
            WriteOut(CommandHelp(command->name));
            FinishOut();
            return EXIT_OK;
        }
        InstallInterruptHandlers();
        const std::vector<FleetPort> fleet = FleetPortsFromOptions(options);
        const bool many = fleet.size() > 1 || !options.portsFile.empty();
        if (many && FleetCommand(options.command)) {
            const int code = RunFleet(options, fleet);
            FinishOut();
            return code;
        }
        if (many && options.command != "ports" && options.command != "settings" && options.command != "log" &&
            options.command != "exporter")
            ThrowUsage(options.command + " works on one unit: give one --port, not several");
        const int code = command->run(options);
        if (options.json) PrintJsonOutcome();
        FinishOut();
        return code;
    } catch (const CliError& error) {
        return ReportFailure(json, error.ExitCode(), error.Result(), error.what());
    } catch (const std::bad_alloc&) {
        return ReportFailure(json, EXIT_DEVICE_FAILED, "out-of-memory", "out of memory");
    } catch (const std::exception& error) {
        return ReportFailure(json, EXIT_DEVICE_FAILED, "failed", error.what());
    }
}
