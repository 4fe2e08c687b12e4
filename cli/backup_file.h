// The backup file: the writable settings of a device with its identity, as JSON.
//
// {
//   "zelctlBackup": 1,
//   "deviceType": 5100, "deviceTypeText": "ZEL-5100",
//   "firmwareVersion": 23, "firmwareVersionText": "v2.3",
//   "mode": 1, "serialNumber": 1002345, "serialNumberText": "1.002.345",
//   "port": "/dev/ttyUSB0", "created": "2024-05-01T12:34:56+02:00",
//   "settings": [
//     {"category": 2, "setting": 1, "name": "Mode", "value": 1},
//     {"category": 3, "setting": 1, "name": "IP address", "value": "192.168.0.10"}, ...
//   ]
// }
//
// Address values are dotted text so that a backup can be read and edited by hand;
// every other value is a number. Names and the *Text members are for people only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli_numbers.h"
#include "json_document.h"
#include "settings_model.h"

constexpr int BACKUP_FORMAT_VERSION = 1;

struct BackupEntry {
    SettingAddress address;
    const SettingView* view = nullptr;
    uint32_t value = 0;
};

struct Backup {
    uint32_t deviceType = 0;
    int32_t firmwareVersion = -1;
    int mode = -1;
    uint32_t serialNumber = 0;
    std::string port;
    std::string created;
    std::vector<BackupEntry> entries;
};

Json BackupToJson(const Backup& backup);
// Checks everything a restore relies on; throws a usage error naming the problem.
Backup BackupFromJson(const Json& document);
// Reads and checks a backup file ("-": standard input).
Backup LoadBackupFile(const std::string& path);
// Writes the text whole or not at all: a temporary file renamed over `path` ("-": stdout).
void SaveTextFile(const std::string& path, const std::string& text);
// Throws a usage error when a file cannot be created at `path`.
void CheckWritableFile(const std::string& path);
