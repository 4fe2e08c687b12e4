#include "change_log.h"

#include <atomic>
#include <cstdio>
#include <fstream>

#include <nlohmann/json.hpp>

#include "change_log_platform.h"

namespace {

using Json = nlohmann::ordered_json;

struct Field {
    const char* key;
    std::string ChangeRecord::*member;
};

// The members of a line, in the order they are written.
const Field kFields[] = {
    {"time", &ChangeRecord::time},
    {"user", &ChangeRecord::user},
    {"host", &ChangeRecord::host},
    {"program", &ChangeRecord::program},
    {"action", &ChangeRecord::action},
    {"port", &ChangeRecord::port},
    {"serialNumber", &ChangeRecord::serialNumber},
    {"setting", &ChangeRecord::setting},
    {"oldValue", &ChangeRecord::oldValue},
    {"newValue", &ChangeRecord::newValue},
    {"outcome", &ChangeRecord::outcome},
};

std::atomic<bool> g_warned{false};

}  // namespace

std::string ChangeLogPath() {
    return PlatformChangeLogPath();
}

std::string UtcNowText() {
    const std::tm utc = PlatformUtcTime(std::time(nullptr));
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string ChangeRecordLine(const ChangeRecord& record) {
    Json line = Json::object();
    for (const Field& field : kFields)
        line[field.key] = record.*field.member;
    // Names and values come from the device and the user: never let one break the line.
    return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool ParseChangeRecord(const std::string& line, ChangeRecord* record) {
    const Json document = Json::parse(line, nullptr, false);
    if (!document.is_object()) return false;
    ChangeRecord parsed;
    for (const Field& field : kFields) {
        const auto value = document.find(field.key);
        if (value != document.end() && value->is_string()) parsed.*field.member = value->get<std::string>();
    }
    if (parsed.time.empty()) return false;
    *record = parsed;
    return true;
}

void LogChange(ChangeRecord record) {
    try {
        if (record.time.empty()) record.time = UtcNowText();
        if (record.user.empty()) record.user = PlatformUserName();
        if (record.host.empty()) record.host = PlatformHostName();
        const std::string path = ChangeLogPath();
        std::string error;
        if (!path.empty() && PlatformAppendLine(path, ChangeRecordLine(record) + "\n", &error)) return;
        if (path.empty()) error = "no state folder for this user";
        if (!g_warned.exchange(true)) {
            std::fprintf(stderr, "warning: the change log %s cannot be written (%s); changes go unrecorded\n",
                         path.c_str(), error.c_str());
        }
    } catch (const std::exception&) {
        if (!g_warned.exchange(true)) std::fprintf(stderr, "warning: the change log cannot be written\n");
    }
}

bool ReadChangeLog(const std::string& path, std::vector<ChangeRecord>* records, std::string* error) {
    records->clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::ifstream probe(path);
        // No log yet: nothing has been changed.
        if (!probe.is_open()) return true;
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        ChangeRecord record;
        if (ParseChangeRecord(line, &record)) records->push_back(record);
    }
    return true;
}
