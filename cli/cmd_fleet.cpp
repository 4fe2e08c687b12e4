// info, dump, backup DIR, restore DIR, reboot and upgrade FILE on every unit of a fleet.
#include <filesystem>
#include <map>
#include <system_error>

#include "backup_file.h"
#include "cli_errors.h"
#include "cli_numbers.h"
#include "commands.h"
#include "device_session.h"
#include "fleet_runner.h"
#include "interrupt.h"
#include "text_codes.h"
#include "value_format.h"
#include "write_guard.h"

namespace fs = std::filesystem;

namespace {

// One question for all units, before any of them is touched.
void ConfirmForAll(const CliOptions& options, const std::string& action, size_t units) {
    ConfirmOffAir(options, action, std::to_string(units) + " units");
}

std::string BackupPathFor(const std::string& dir, const FleetPort& port, uint32_t serial) {
    return (fs::path(dir) / (FileNameSafe(port.Display()) + "-" + std::to_string(serial) + ".json")).string();
}

void PrepareBackupDir(const std::string& dir) {
    std::error_code error;
    fs::create_directories(dir, error);
    if (error || !fs::is_directory(dir))
        ThrowUsage("cannot use " + Printable(dir) + " as the folder for the backups" +
                   (error ? ": " + error.message() : ": not a folder"));
}

struct FoundBackup {
    std::string path;
    Backup backup;
};

// Every backup in the folder, by the serial number inside it. Two backups of one unit
// would leave it to chance which one is written back: refused.
std::map<uint32_t, FoundBackup> BackupsBySerial(const std::string& dir) {
    std::error_code error;
    fs::directory_iterator entries(dir, error);
    if (error) ThrowUsage("cannot read the folder " + Printable(dir) + ": " + error.message());
    std::vector<std::string> paths;
    for (const fs::directory_entry& entry : entries) {
        if (entry.path().extension() == ".json" && entry.is_regular_file())
            paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    std::map<uint32_t, FoundBackup> found;
    for (const std::string& path : paths) {
        Backup backup = LoadBackupFile(path);
        const auto known = found.find(backup.serialNumber);
        if (known != found.end()) {
            ThrowUsage("refused: " + Printable(known->second.path) + " and " + Printable(path) +
                       " are both backups of the unit with serial number " +
                       FormatSerialNumber(backup.serialNumber) + "; keep one of them");
        }
        found[backup.serialNumber] = FoundBackup{path, std::move(backup)};
    }
    if (found.empty()) ThrowUsage("no backup files (*.json) in " + Printable(dir));
    return found;
}

int ParseMaxParallel(const CliOptions& options) {
    if (!options.Has("--max-parallel")) return 1;  // one unit at a time unless asked
    int64_t value = 0;
    if (!ParseInteger(options.maxParallel, &value) || value < 1 || value > 1000)
        ThrowUsage("upgrade: --max-parallel takes a number of units from 1 on, not '" + options.maxParallel +
                   "'");
    return int(value);
}

// Ctrl+C during the upgrades: the same question as for one unit, for all of them.
const char kUpgradeWarning[] =
    "\nzelctl: stopping now ends the upgrades under way unfinished; a unit whose firmware is already "
    "erased will not start until the file is uploaded again.\nPress Ctrl+C again within 3 s to stop; "
    "otherwise the upgrades go on.\n";
const char kUpgradeEnding[] =
    "\nzelctl: upgrades interrupted. Check each unit with zelctl info and upload the file again where "
    "the upgrade did not finish.\n";

}  // namespace

bool FleetCommand(const std::string& command) {
    return command == "info" || command == "dump" || command == "backup" || command == "restore" ||
           command == "reboot" || command == "upgrade";
}

int RunFleet(const CliOptions& options, const std::vector<FleetPort>& ports) {
    const std::string& command = options.command;
    FleetPlan plan;
    UnitWork work;
    if (command == "info" || command == "dump") {
        const CommandFn run = FindCommand(command)->run;
        work = [run](const CliOptions& unit) { run(unit); };
    } else if (command == "backup") {
        const std::string dir = ExpectArgs(options, 1, 1, "DIR, the folder for one backup file per unit")[0];
        PrepareBackupDir(dir);
        work = [dir](const CliOptions& unit) {
            DeviceSession session(unit);
            const Backup backup = ReadUnitBackup(session);
            const FleetPort port{unit.port, unit.unitLabel};
            const std::string path = BackupPathFor(dir, port, backup.serialNumber);
            CheckWritableFile(path);
            SaveUnitBackup(session, backup, path);
        };
    } else if (command == "restore") {
        const std::string dir = ExpectArgs(options, 1, 1, "DIR, the folder of the units' backup files")[0];
        if (!options.dryRun)
            RefuseWhenReadOnly(options, "the settings of the backups in " + Printable(dir) +
                                            " (restore --dry-run only reads)");
        auto backups = std::make_shared<const std::map<uint32_t, FoundBackup>>(BackupsBySerial(dir));
        if (!options.dryRun) ConfirmForAll(options, "restore the backups in " + Printable(dir), ports.size());
        work = [backups](const CliOptions& unit) {
            DeviceSession session(unit);
            const uint32_t serial = uint32_t(session.Read(ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER));
            const auto found = backups->find(serial);
            if (found == backups->end()) {
                throw CliError(EXIT_DEVICE_FAILED,
                               "no backup of the unit with serial number " + FormatSerialNumber(serial) +
                                   " in the folder; the unit was left as it is",
                               "no-backup");
            }
            RestoreUnit(session, found->second.backup, found->second.path);
        };
    } else if (command == "reboot") {
        ExpectArgs(options, 0, 0, "no arguments");
        RefuseWhenReadOnly(options, "the reboot command");
        ConfirmForAll(options, "reboot the units", ports.size());
        const CommandFn run = FindCommand(command)->run;
        work = [run](const CliOptions& unit) { run(unit); };
    } else if (command == "upgrade") {
        ExpectArgs(options, 1, 1, "FILE");
        if (options.check || options.Has("--firmware")) return RunUpgrade(options);  // no unit involved
        RefuseWhenReadOnly(options, "firmware to the units (upgrade --check only reads the file)");
        plan.maxParallel = ParseMaxParallel(options);
        plan.stopAfterFailure = true;
        ConfirmForAll(options, "program " + Printable(options.args[0]) + " into the units", ports.size());
        SetConfirmedInterrupt(kUpgradeWarning, kUpgradeEnding);
        const CommandFn run = FindCommand(command)->run;
        work = [run](const CliOptions& unit) { run(unit); };
    } else {
        ThrowUsage(command + " works on one unit: give one --port (or none), not a fleet");
    }
    const std::vector<UnitOutcome> outcomes = RunOnFleet(options, ports, work, plan);
    SetConfirmedInterrupt(nullptr, nullptr);
    return ReportFleet(options, outcomes);
}
