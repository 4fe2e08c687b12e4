#include "backup_file.h"

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli_errors.h"
#include "standard_output.h"
#include "text_codes.h"
#include "value_format.h"
#include "whole_file.h"

namespace {

// A backup is a few kilobytes; anything far larger is not one.
constexpr size_t kMaxBackupBytes = 1 << 20;

[[noreturn]] void Bad(const std::string& problem) {
    ThrowUsage("not a usable backup: " + problem);
}

bool IsAddressView(const SettingView& view) {
    return view.format == ValueFormat::Address;
}

const Json* Member(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

int64_t NeedInteger(const Json& document, const char* key) {
    const Json* member = Member(document, key);
    int64_t value = 0;
    if (!member || !JsonInt64(*member, &value))
        Bad(std::string("\"") + key + "\" is missing or not a whole number");
    return value;
}

uint32_t EntryValue(const Json& item, const SettingAddress& address, const SettingView& view) {
    const Json* member = Member(item, "value");
    if (!member) Bad("setting " + SettingText(address) + " has no \"value\"");
    if (member->is_string()) {
        const std::string text = member->get<std::string>();
        uint32_t packed = 0;
        if (IsAddressView(view) && ParseAddress(text, &packed)) return packed;
        Bad("the value \"" + Printable(text) + "\" of " + SettingText(address) + " is not " +
            (IsAddressView(view) ? "a dotted IPv4 address" : "a number"));
    }
    int64_t number = 0;
    const int64_t largest = (int64_t(1) << (8 * address.Size())) - 1;
    if (!JsonInt64(*member, &number) || number < 0 || number > largest) {
        Bad("the value of " + SettingText(address) + " is not a whole number from 0 to " +
            std::to_string(largest));
    }
    return uint32_t(number);
}

const BackupEntry* FindEntry(const Backup& backup, int category, int setting) {
    for (const BackupEntry& entry : backup.entries) {
        if (entry.address.category == category && entry.address.setting == setting) return &entry;
    }
    return nullptr;
}

// Mode and Application restart the device into what they name; only 0 and 1 exist.
// A mode's own categories can be written only while the device runs in that mode,
// the one the restore switches to (or the backup's, when it holds no Mode).
void RefuseWhatTheDeviceCannotTake(const Backup& backup) {
    for (int setting : {ZEL_SET_MODE, ZEL_SET_APPLICATION}) {
        const BackupEntry* entry = FindEntry(backup, ZEL_CAT_CONFIGURATION, setting);
        if (entry && entry->value > 1) {
            Bad("the value " + std::to_string(entry->value) + " of " + SettingText(entry->address) +
                " is not 0 or 1");
        }
    }
    const BackupEntry* mode = FindEntry(backup, ZEL_CAT_CONFIGURATION, ZEL_SET_MODE);
    const int restoredMode = mode ? int(mode->value) : backup.mode;
    for (const BackupEntry& entry : backup.entries) {
        const PanelView* panel = FindPanel(entry.address.category);
        if (panel && !PanelUsable(*panel, restoredMode)) {
            Bad(SettingText(entry.address) + " belongs to category " + CategoryText(entry.address.category) +
                ", which is not used in mode " + std::to_string(restoredMode));
        }
    }
}

}  // namespace

Json BackupToJson(const Backup& backup) {
    Json document = Json::object();
    document["zelctlBackup"] = BACKUP_FORMAT_VERSION;
    document["deviceType"] = backup.deviceType;
    document["deviceTypeText"] = FormatDeviceType(backup.deviceType);
    document["firmwareVersion"] = backup.firmwareVersion;
    document["firmwareVersionText"] = FormatVersionTenths(uint32_t(backup.firmwareVersion));
    document["mode"] = backup.mode;
    document["serialNumber"] = backup.serialNumber;
    document["serialNumberText"] = FormatSerialNumber(backup.serialNumber);
    document["port"] = backup.port;
    document["created"] = backup.created;
    Json settings = Json::array();
    for (const BackupEntry& entry : backup.entries) {
        Json item = Json::object();
        item["category"] = entry.address.category;
        item["setting"] = entry.address.setting;
        item["name"] = entry.address.entry ? entry.address.entry->name : "";
        if (IsAddressView(*entry.view)) {
            item["value"] = FormatAddress(entry.value);
        } else {
            item["value"] = entry.value;
        }
        settings.push_back(std::move(item));
    }
    document["settings"] = std::move(settings);
    return document;
}

Backup BackupFromJson(const Json& document) {
    if (!document.is_object()) Bad("the file does not hold a JSON object");
    if (NeedInteger(document, "zelctlBackup") != BACKUP_FORMAT_VERSION) {
        Bad("written in a format version this zelctl does not know");
    }
    Backup backup;
    const int64_t type = NeedInteger(document, "deviceType");
    const int64_t firmware = NeedInteger(document, "firmwareVersion");
    const int64_t mode = NeedInteger(document, "mode");
    if (type < 0 || type > UINT32_MAX) Bad("\"deviceType\" is out of range");
    if (firmware < INT32_MIN || firmware > INT32_MAX) Bad("\"firmwareVersion\" is out of range");
    if (mode < 0 || mode > 255) Bad("\"mode\" is out of range");
    backup.deviceType = uint32_t(type);
    backup.firmwareVersion = int32_t(firmware);
    backup.mode = int(mode);
    if (const Json* serial = Member(document, "serialNumber")) {
        int64_t number = 0;
        if (JsonInt64(*serial, &number) && number >= 0 && number <= UINT32_MAX)
            backup.serialNumber = uint32_t(number);
    }

    const Json* settings = Member(document, "settings");
    if (!settings || !settings->is_array()) Bad("\"settings\" is missing or not a list");
    for (const Json& item : *settings) {
        if (!item.is_object()) Bad("an entry of \"settings\" is not an object");
        const int64_t category = NeedInteger(item, "category");
        const int64_t setting = NeedInteger(item, "setting");
        if (category < 0 || category > 255 || setting < 0 || setting > 255 ||
            !ZelFindSetting(int(category), int(setting))) {
            Bad("category " + std::to_string(category) + " setting " + std::to_string(setting) +
                " is not in the catalogue");
        }
        BackupEntry entry;
        entry.address = CataloguedSetting(int(category), int(setting));
        entry.view = FindSettingView(int(category), int(setting));
        if (!entry.view || entry.view->write == WriteKind::None) {
            Bad(SettingText(entry.address) + " is not a setting the window writes");
        }
        for (const BackupEntry& earlier : backup.entries) {
            if (earlier.view == entry.view) Bad(SettingText(entry.address) + " appears twice");
        }
        entry.value = EntryValue(item, entry.address, *entry.view);
        backup.entries.push_back(entry);
    }
    RefuseWhatTheDeviceCannotTake(backup);
    return backup;
}

Backup LoadBackupFile(const std::string& path) {
    std::FILE* file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (!file) ThrowUsage("cannot read backup " + Printable(path) + ": " + std::strerror(errno));
    std::string text;
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
        if (text.size() > kMaxBackupBytes) break;
    }
    const bool readError = std::ferror(file) != 0;
    if (file != stdin) std::fclose(file);
    if (readError) ThrowUsage("cannot read backup " + Printable(path));
    if (text.size() > kMaxBackupBytes) Bad(Printable(path) + " is far larger than any backup");

    Json document;
    std::string error;
    if (!ParseJsonDocument(text, &document, &error)) Bad(Printable(path) + " is not valid JSON: " + error);
    return BackupFromJson(document);
}

void SaveTextFile(const std::string& path, const std::string& text) {
    if (path == "-") {
        WriteOut(text);
        FinishOut();
        return;
    }
    std::string error;
    if (!ReplaceFileContents(path, text, &error))
        throw CliError(EXIT_USAGE, "cannot write " + Printable(path) + ": " + error);
}

void CheckWritableFile(const std::string& path) {
    if (path == "-") return;
    const size_t slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (access(directory.c_str(), W_OK) != 0) {
        ThrowUsage("cannot write " + Printable(path) + ": " + std::strerror(errno));
    }
}
