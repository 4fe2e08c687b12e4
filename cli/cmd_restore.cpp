// restore: a backup written back, the settings that restart the device last.
#include <cstdio>

#include "backup_file.h"
#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "json_outcome.h"
#include "standard_output.h"
#include "text_codes.h"
#include "write_guard.h"

namespace {

bool IsAddressOfNetwork(const BackupEntry& entry) {
    return entry.address.category == ZEL_CAT_NETWORK && entry.address.setting >= ZEL_SET_IP_ADDRESS &&
           entry.address.setting <= ZEL_SET_GATEWAY;
}

class RestoreRun {
public:
    RestoreRun(DeviceSession& session, const Backup& backup, const DeviceIdentity& identity, bool json)
        : session_(session), backup_(backup), identity_(identity), json_(json) {}

    // What a restore would write, from the device's values now; nothing is written.
    void DryRun() {
        const BackupEntry* mode = Find(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE);
        const bool switchesMode = mode && int(mode->value) != identity_.mode;
        Json changes = Json::array();
        int same = 0;
        int skipped = 0;
        for (const BackupEntry& entry : backup_.entries) {
            if (Skipped(entry)) {
                ++skipped;
                continue;
            }
            uint64_t current = 0;
            const ZelResult read = session_.TryRead(entry.address, &current);
            if (read != ZEL_OK && !SettingRefused(read))
                ThrowDeviceFailure("reading " + SettingText(entry.address), read);
            if (read == ZEL_OK && current == entry.value) {
                ++same;
                continue;
            }
            const std::string device =
                read == ZEL_OK ? Show(entry, current) : "unreadable (" + CliResultName(read) + ")";
            if (json_) {
                Json change = Json::object();
                change["category"] = entry.address.category;
                change["setting"] = entry.address.setting;
                change["name"] = entry.view->name;
                change["device"] = device;
                change["backup"] = Show(entry, entry.value);
                changes.push_back(std::move(change));
            } else {
                PrintOut("%s: device %s, backup %s\n", SettingText(entry.address).c_str(), device.c_str(),
                         Show(entry, entry.value).c_str());
            }
        }
        if (json_) {
            Json& document = JsonOutcome();
            document["dryRun"] = true;
            document["port"] = session_.PortName();
            document["switchesMode"] = switchesMode;
            document["changes"] = std::move(changes);
            document["unchanged"] = same;
            document["skipped"] = skipped;
            return;
        }
        FinishOut();
        if (switchesMode) {
            session_.Note("The restore would switch the device to mode " + std::to_string(mode->value) +
                          " first; that mode's own settings are read as the device holds them now.");
        }
        session_.Note("Dry run: nothing was written; " + std::to_string(same) +
                      " already as in the backup, " + std::to_string(skipped) +
                      " not offered by this firmware.");
    }

    void Run() {
        const BackupEntry* mode = Find(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE);
        const BackupEntry* application = Find(ZEL_CAT_CONFIGURATION, ZEL_SET_APPLICATION);

        // A mode's own settings are usable only in that mode: switch to it first.
        if (mode && int(mode->value) == identity_.mode) ++unchanged_;
        if (mode && int(mode->value) != identity_.mode) {
            session_.Note("Switching the device to mode " + std::to_string(mode->value) +
                          " first: the backup's settings of that mode can only be written in it.");
            WriteAndRestart(*mode);
        }
        for (const BackupEntry& entry : backup_.entries) {
            if (entry.view->write == WriteKind::Plain || entry.view->write == WriteKind::Address) {
                WriteIfDifferent(entry, false);
            }
        }
        const bool networkWritten = RestoreNetwork();

        bool restarted = false;
        if (application && ReadCurrent(*application) != application->value) {
            WriteAndRestart(*application);
            restarted = true;
        } else if (application) {
            ++unchanged_;
        }
        if (networkWritten && !restarted) {
            session_.Note("Rebooting so that the network settings take effect.");
            const ZelResult result = session_.TryWrite(CataloguedSetting(ZEL_CAT_NETWORK, ZEL_SET_REBOOT), 1);
            session_.RecordChange(
                "reboot", "", "", "",
                result == ZEL_OK || result == ZEL_REPLY_IGNORED ? "ok" : CliResultName(result));
            if (result != ZEL_OK && result != ZEL_REPLY_IGNORED) {
                ThrowDeviceFailure("writing the reboot command", result);
            }
            identity_ = session_.AwaitRestart();
        }
        if (mode && int(mode->value) != identity_.mode) WriteAndRestart(*mode);

        Verify();
    }

private:
    const BackupEntry* Find(int category, int setting) const {
        for (const BackupEntry& entry : backup_.entries) {
            if (entry.address.category == category && entry.address.setting == setting) return &entry;
        }
        return nullptr;
    }

    bool WantsDhcp() const {
        const BackupEntry* dhcp = Find(ZEL_CAT_NETWORK, ZEL_SET_DHCP_ENABLED);
        return dhcp && dhcp->value == 1;
    }

    // Settings offered only from a firmware version this device does not have.
    bool Skipped(const BackupEntry& entry) const {
        return !SettingOffered(*entry.view, identity_.firmwareVersion);
    }

    std::string Show(const BackupEntry& entry, uint64_t value) const {
        return FormatValue(entry.view->format, value);
    }

    uint64_t ReadCurrent(const BackupEntry& entry) { return session_.Read(entry.address); }

    // Returns true when the setting was written.
    bool WriteIfDifferent(const BackupEntry& entry, bool always) {
        if (Skipped(entry)) {
            session_.Note("Skipped " + SettingText(entry.address) + ": offered from firmware " +
                          FormatVersionTenths(uint32_t(entry.view->minFirmware)) + " on, the device has " +
                          FormatVersionTenths(uint32_t(identity_.firmwareVersion)));
            return false;
        }
        uint64_t current = 0;
        const ZelResult read = session_.TryRead(entry.address, &current);
        if (!always) {
            if (read != ZEL_OK && !SettingRefused(read))
                ThrowDeviceFailure("reading " + SettingText(entry.address), read);
            if (read == ZEL_OK && current == entry.value) {
                ++unchanged_;
                return false;
            }
        }
        const ZelResult result = session_.TryWrite(entry.address, entry.value);
        session_.RecordWrite("restore", entry.address, read == ZEL_OK ? &current : nullptr, entry.value,
                             result);
        if (result == ZEL_OK) {
            ++written_;
            return true;
        }
        if (!SettingRefused(result)) ThrowDeviceFailure("writing " + SettingText(entry.address), result);
        problems_.push_back(SettingText(entry.address) + ": writing " + Show(entry, entry.value) +
                            " failed with " + CliResultName(result));
        return false;
    }

    // As the Change IP Address dialog does it: DHCP on is one write; a static address
    // replacing DHCP writes all three addresses; a static address kept writes what differs.
    // The dialog leaves it to the device to drop DHCP when it gets a static address; the
    // restore also writes DHCP enabled = 0 then, so that no device keeps DHCP on.
    // Everything takes effect at the next restart.
    bool RestoreNetwork() {
        const BackupEntry* dhcp = Find(ZEL_CAT_NETWORK, ZEL_SET_DHCP_ENABLED);
        bool any = false;
        for (const BackupEntry& entry : backup_.entries)
            any = any || entry.view->write == WriteKind::Network;
        if (!any) return false;
        if (WantsDhcp()) return WriteIfDifferent(*dhcp, false);

        const bool leavingDhcp = session_.Read(ZEL_CAT_NETWORK, ZEL_SET_DHCP_ENABLED) == 1;
        bool written = false;
        for (const BackupEntry& entry : backup_.entries) {
            if (IsAddressOfNetwork(entry)) written = WriteIfDifferent(entry, leavingDhcp) || written;
        }
        if (dhcp) written = WriteIfDifferent(*dhcp, leavingDhcp) || written;
        return written;
    }

    void WriteAndRestart(const BackupEntry& entry) {
        session_.Note("Writing " + SettingText(entry.address) + " = " + Show(entry, entry.value) +
                      "; the device restarts.");
        uint64_t current = 0;
        const ZelResult read = session_.TryRead(entry.address, &current);
        const ZelResult result = session_.TryWrite(entry.address, entry.value);
        session_.RecordWrite("restore", entry.address, read == ZEL_OK ? &current : nullptr, entry.value,
                             result);
        if (result != ZEL_OK) ThrowDeviceFailure("writing " + SettingText(entry.address), result);
        ++written_;
        identity_ = session_.AwaitRestart();
    }

    void Verify() {
        Json differencesJson = Json::array();
        int differences = 0;
        int compared = 0;
        for (const BackupEntry& entry : backup_.entries) {
            if (Skipped(entry)) continue;
            // Under DHCP the addresses are the lease's, not the backup's.
            if (WantsDhcp() && IsAddressOfNetwork(entry)) continue;
            ++compared;
            uint64_t current = 0;
            const ZelResult read = session_.TryRead(entry.address, &current);
            if (read != ZEL_OK && !SettingRefused(read))
                ThrowDeviceFailure("reading " + SettingText(entry.address), read);
            if (read == ZEL_OK && current == entry.value) continue;
            const std::string device =
                read == ZEL_OK ? Show(entry, current) : "could not be read (" + CliResultName(read) + ")";
            ++differences;
            if (json_) {
                Json difference = Json::object();
                difference["category"] = entry.address.category;
                difference["setting"] = entry.address.setting;
                difference["name"] = entry.view->name;
                difference["backup"] = Show(entry, entry.value);
                difference["device"] = device;
                differencesJson.push_back(std::move(difference));
            } else {
                PrintOut("%s: backup %s, device %s\n", SettingText(entry.address).c_str(),
                         Show(entry, entry.value).c_str(), device.c_str());
            }
        }
        FinishOut();
        if (json_) {
            Json& document = JsonOutcome();
            document["port"] = session_.PortName();
            document["written"] = written_;
            document["unchanged"] = unchanged_;
            document["compared"] = compared;
            document["differences"] = std::move(differencesJson);
            document["refused"] = problems_;
        }
        for (const std::string& problem : problems_)
            WriteErrLine("zelctl: " + PrintableLines(problem));
        session_.Note("Restore: " + std::to_string(written_) + " written, " + std::to_string(unchanged_) +
                      " already as in the backup; " + std::to_string(compared) + " compared, " +
                      std::to_string(differences) + " differ.");
        if (differences > 0) {
            throw CliError(EXIT_DEVICE_FAILED,
                           std::to_string(differences) + " of " + std::to_string(compared) +
                               " settings differ from the backup after the restore",
                           "settings-differ");
        }
        if (!problems_.empty()) {
            throw CliError(
                EXIT_DEVICE_FAILED,
                "the device refused " + std::to_string(problems_.size()) + " of the backup's values",
                "setting-refused");
        }
    }

    DeviceSession& session_;
    const Backup& backup_;
    DeviceIdentity identity_;
    bool json_;
    int written_ = 0;
    int unchanged_ = 0;
    std::vector<std::string> problems_;
};

}  // namespace

void RestoreUnit(DeviceSession& session, const Backup& backup, const std::string& path) {
    const CliOptions& options = session.Options();
    const DeviceIdentity identity = session.Identify();
    if (identity.type != backup.deviceType) {
        ThrowUsage("refused: " + Printable(path) + " is a backup of a " +
                   FormatDeviceType(backup.deviceType) + ", but the device on " + session.PortName() +
                   " is a " + FormatDeviceType(identity.type));
    }
    if (!options.dryRun) session.SerialText();
    RestoreRun run(session, backup, identity, options.json);
    if (options.dryRun) {
        run.DryRun();
        return;
    }
    ConfirmOffAir(options, "restore " + Printable(path) + " to the unit", session.PortName());
    run.Run();
}

int RunRestore(const CliOptions& options) {
    const std::string path = ExpectArgs(options, 1, 1, "FILE")[0];
    if (!options.dryRun)
        RefuseWhenReadOnly(options, "the settings of " + Printable(path) + " (restore --dry-run only reads)");
    const Backup backup = LoadBackupFile(path);
    DeviceSession session(options);
    RestoreUnit(session, backup, path);
    return 0;
}
