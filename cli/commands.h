// The commands of zelctl and the program as a whole.
#pragma once

#include <string>
#include <vector>

#include "cli_options.h"

using CommandFn = int (*)(const CliOptions& options, CommandArgs& args);

struct CommandInfo {
    const char* name;
    CommandFn run;
};

int RunPorts(const CliOptions& options, CommandArgs& args);
int RunInfo(const CliOptions& options, CommandArgs& args);
int RunGet(const CliOptions& options, CommandArgs& args);
int RunSet(const CliOptions& options, CommandArgs& args);
int RunDump(const CliOptions& options, CommandArgs& args);
int RunBackup(const CliOptions& options, CommandArgs& args);
int RunRestore(const CliOptions& options, CommandArgs& args);
int RunReboot(const CliOptions& options, CommandArgs& args);
int RunUpgrade(const CliOptions& options, CommandArgs& args);
int RunMonitor(const CliOptions& options, CommandArgs& args);

const std::vector<CommandInfo>& Commands();
const CommandInfo* FindCommand(const std::string& name);

// The whole program: parses the command line, runs the command, prints failures on
// stderr and returns the exit code.
int RunZelctl(int argc, const char* const* argv);
