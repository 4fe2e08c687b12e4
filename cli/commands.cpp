#include "commands.h"

#include <cstdio>
#include <exception>
#include <new>

#include "cli_errors.h"
#include "cli_help.h"
#include "interrupt.h"

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
                std::fputs(GeneralHelp().c_str(), stdout);
                return EXIT_OK;
            }
            ThrowUsage("no command given\n" + UsageSummary());
        }
        const CommandInfo* command = FindCommand(options.command);
        if (!command) ThrowUsage("unknown command '" + options.command + "'\n" + UsageSummary());
        if (options.help) {
            std::fputs(CommandHelp(command->name).c_str(), stdout);
            return EXIT_OK;
        }
        InstallInterruptHandlers();
        CommandArgs args(options.command, options.args);
        const int code = command->run(options, args);
        std::fflush(stdout);
        return code;
    } catch (const CliError& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "zelctl: %s\n", error.what());
        return error.ExitCode();
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "zelctl: out of memory\n");
        return EXIT_DEVICE_FAILED;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "zelctl: %s\n", error.what());
        return EXIT_DEVICE_FAILED;
    }
}
