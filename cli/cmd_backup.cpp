// backup: the writable settings of the usable categories, as JSON.
#include <cstdio>

#include "backup_file.h"
#include "commands.h"
#include "device_session.h"
#include "json_outcome.h"
#include "local_time.h"

Backup ReadUnitBackup(DeviceSession& session) {
    const DeviceIdentity identity = session.Identify();

    Backup backup;
    backup.deviceType = identity.type;
    backup.firmwareVersion = identity.firmwareVersion;
    backup.mode = identity.mode;
    backup.serialNumber = uint32_t(session.Read(ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER));
    backup.port = session.PortName();
    backup.created = LocalTimeWithZone();
    for (int category : UsableCategories(identity.mode)) {
        for (const SettingView& view : FindPanel(category)->settings) {
            if (view.write == WriteKind::None || !SettingOffered(view, identity.firmwareVersion)) continue;
            BackupEntry entry;
            entry.address = CataloguedSetting(view.category, view.setting);
            entry.view = &view;
            entry.value = uint32_t(session.Read(entry.address));
            backup.entries.push_back(entry);
        }
    }
    return backup;
}

void SaveUnitBackup(DeviceSession& session, const Backup& backup, const std::string& path) {
    const CliOptions& options = session.Options();
    SaveTextFile(path, JsonText(BackupToJson(backup), true) + "\n");
    if (options.json && path != "-") {  // to stdout the backup itself is the one object
        Json& document = JsonOutcome();
        document["file"] = path;
        document["port"] = backup.port;
        document["settings"] = backup.entries.size();
    }
    session.Note("Saved " + std::to_string(backup.entries.size()) + " settings of " +
                 FormatDeviceType(backup.deviceType) + " " + FormatSerialNumber(backup.serialNumber) +
                 " to " + path);
}

int RunBackup(const CliOptions& options) {
    const std::string path = ExpectArgs(options, 1, 1, "FILE")[0];
    CheckWritableFile(path);
    DeviceSession session(options);
    SaveUnitBackup(session, ReadUnitBackup(session), path);
    return 0;
}
