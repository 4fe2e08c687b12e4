// The commands of zelctl and the program as a whole.
#pragma once

#include <string>
#include <vector>

#include "cli_options.h"

using CommandFn = int (*)(const CliOptions& options);

struct CommandInfo {
    const char* name;
    CommandFn run;
    bool hidden = false;  // left out of the help and of the list for completion
};

int RunPorts(const CliOptions& options);
int RunInfo(const CliOptions& options);
int RunGet(const CliOptions& options);
int RunSet(const CliOptions& options);
int RunDump(const CliOptions& options);
int RunBackup(const CliOptions& options);
int RunRestore(const CliOptions& options);
int RunReboot(const CliOptions& options);
int RunUpgrade(const CliOptions& options);
int RunMonitor(const CliOptions& options);
int RunExporter(const CliOptions& options);
int RunSettings(const CliOptions& options);
int RunLog(const CliOptions& options);
int RunWords(const CliOptions& options);

// The steps of backup and restore that a fleet runs per unit.
class DeviceSession;
struct Backup;
Backup ReadUnitBackup(DeviceSession& session);
void SaveUnitBackup(DeviceSession& session, const Backup& backup, const std::string& path);
// Checks the device type, asks (unless --yes), writes the backup back and verifies it.
void RestoreUnit(DeviceSession& session, const Backup& backup, const std::string& path);

const std::vector<CommandInfo>& Commands();
const CommandInfo* FindCommand(const std::string& name);

// The whole program: parses the command line, runs the command, prints failures on
// stderr (and with --json as an object on stdout) and returns the exit code.
int RunZelctl(int argc, const char* const* argv);
