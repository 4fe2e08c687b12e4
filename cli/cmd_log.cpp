// log: the change log, filtered by unit and time.
#include <algorithm>
#include <regex>

#include "change_log.h"
#include "cli_errors.h"
#include "commands.h"
#include "json_outcome.h"
#include "standard_output.h"
#include "text_codes.h"

namespace {

// "1.002.345", "1002345" and "0001002345" name the same unit.
std::string SerialDigits(const std::string& text) {
    std::string digits;
    for (char c : text)
        if (c != '.') digits.push_back(c);
    const size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? (digits.empty() ? "" : "0") : digits.substr(first);
}

// A time in UTC as the log writes it, from a date, a date and minutes, or a full time;
// the parts left out are the start of the span (`end` false) or its end.
std::string LogTime(const std::string& option, const std::string& text, bool end) {
    static const std::regex form(R"((\d{4}-\d\d-\d\d)(?:[T ](\d\d):(\d\d)(?::(\d\d))?)?Z?)");
    std::smatch match;
    if (!std::regex_match(text, match, form))
        ThrowUsage("log: " + option +
                   " takes a time in UTC, 2026-12-10, 2026-12-10T15:30 or 2026-12-10T15:30:00Z, not '" +
                   Printable(text) + "'");
    const std::string hour = match[2].matched ? match[2].str() : (end ? "23" : "00");
    const std::string minute = match[3].matched ? match[3].str() : (end ? "59" : "00");
    const std::string second = match[4].matched ? match[4].str() : (end ? "59" : "00");
    return match[1].str() + "T" + hour + ":" + minute + ":" + second + "Z";
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size() + 1, ' ');
}

}  // namespace

int RunLog(const CliOptions& options) {
    ExpectArgs(options, 0, 0, "no arguments (--unit SERIAL, --since TIME, --until TIME)");
    const std::string since = options.Has("--since") ? LogTime("--since", options.since, false) : "";
    const std::string until = options.Has("--until") ? LogTime("--until", options.until, true) : "";
    const std::string unit = options.Has("--unit") ? SerialDigits(options.unit) : "";
    if (options.Has("--unit") && (unit.empty() || unit.find_first_not_of("0123456789") != std::string::npos))
        ThrowUsage("log: --unit takes a serial number, 1002345 or 1.002.345, not '" +
                   Printable(options.unit) + "'");

    const std::string path = ChangeLogPath();
    std::vector<ChangeRecord> records;
    std::string error;
    if (!ReadChangeLog(path, &records, &error)) throw CliError(EXIT_DEVICE_FAILED, error, "log-unreadable");
    std::vector<ChangeRecord> shown;
    for (const ChangeRecord& record : records) {
        if (!unit.empty() && SerialDigits(record.serialNumber) != unit) continue;
        if (!since.empty() && record.time < since) continue;
        if (!until.empty() && record.time > until) continue;
        shown.push_back(record);
    }
    if (options.json) {
        Json changes = Json::array();
        for (const ChangeRecord& record : shown)
            changes.push_back(Json::parse(ChangeRecordLine(record)));
        Json& document = JsonOutcome();
        document["log"] = path;
        document["changes"] = std::move(changes);
        return 0;
    }
    if (shown.empty()) {
        if (!options.quiet)
            WriteErrLine("No changes recorded" + std::string(records.empty() ? "" : " that match") + " in " +
                         path);
        return 0;
    }
    std::string table = Padded("TIME", 20) + Padded("USER@HOST", 16) + Padded("PORT", 12) +
                        Padded("SERIAL", 11) + Padded("ACTION", 7) + Padded("SETTING", 22) +
                        "OLD -> NEW  OUTCOME\n";
    for (const ChangeRecord& record : shown) {
        std::string values =
            record.oldValue.empty() && record.newValue.empty()
                ? "-"
                : (record.oldValue.empty() ? "?" : record.oldValue) + " -> " + record.newValue;
        table +=
            Printable(Padded(record.time, 20) + Padded(record.user + "@" + record.host, 16) +
                      Padded(record.port, 12) +
                      Padded(record.serialNumber.empty() ? "-" : record.serialNumber, 11) +
                      Padded(record.action, 7) + Padded(record.setting.empty() ? "-" : record.setting, 22) +
                      values + "  " + record.outcome) +
            "\n";
    }
    WriteOut(table);
    return 0;
}
