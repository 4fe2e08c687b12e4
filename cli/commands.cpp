#include "commands.h"

#include <cstdio>
#include <exception>
#include <new>

#include "cli_errors.h"
#include "cli_help.h"
#include "interrupt.h"
#include "standard_output.h"
#include "text_codes.h"

const std::vector<CommandInfo>& Commands() {
    static const std::vector<CommandInfo> commands = {
        {"ports", RunPorts},   {"info", RunInfo},       {"get", RunGet},         {"set", RunSet},
        {"dump", RunDump},     {"backup", RunBackup},   {"restore", RunRestore}, {"reboot", RunReboot},
        {"upgrade", RunUpgrade}, {"monitor", RunMonitor},
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
    try {
        const CliOptions options = ParseCommandLine(argc, argv);
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
        CommandArgs args(options.command, options.args);
        const int code = command->run(options, args);
        FinishOut();
        return code;
    } catch (const CliError& error) {
        std::fflush(stdout);
        // An empty message: the reader of standard output went away, nothing to say.
        if (*error.what()) std::fprintf(stderr, "zelctl: %s\n", PrintableLines(error.what()).c_str());
        return error.ExitCode();
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "zelctl: out of memory\n");
        return EXIT_DEVICE_FAILED;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "zelctl: %s\n", PrintableLines(error.what()).c_str());
        return EXIT_DEVICE_FAILED;
    }
}
