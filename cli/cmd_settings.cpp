// settings: the model's settings as the window shows them, with the names the other
// commands take.
#include <cstdio>

#include "cli_errors.h"
#include "cli_numbers.h"
#include "commands.h"
#include "json_outcome.h"
#include "settings_model.h"
#include "standard_output.h"
#include "zel_protocol.h"

namespace {

const char* FormatName(ValueFormat format) {
    switch (format) {
        case ValueFormat::Unsigned: return "unsigned";
        case ValueFormat::Signed: return "signed";
        case ValueFormat::Address: return "address";
        case ValueFormat::Mac: return "mac";
        case ValueFormat::Version: return "version";
        case ValueFormat::VersionTenths: return "version-tenths";
        case ValueFormat::SerialNumber: return "serial-number";
        case ValueFormat::DeviceType: return "device-type";
        case ValueFormat::Thousandths: return "thousandths";
    }
    return "unsigned";
}

std::string FirmwareText(const SettingView& view) {
    return view.minFirmware > 0 ? FormatVersionTenths(uint32_t(view.minFirmware)) : "-";
}

}  // namespace

int RunSettings(const CliOptions& options) {
    const std::vector<std::string>& words = ExpectArgs(options, 0, 1, "at most one CAT");
    int only = -1;
    if (!words.empty()) {
        only = ParseCategory(words[0]);
        if (!FindPanel(only)) ThrowUsage("category " + CategoryText(only) + " is not one the window shows");
    }
    Json list = Json::array();
    if (!options.json) {
        PrintOut("%-4s %3s  %-30s %-32s %-14s %-5s %s\n", "CAT", "SET", "NAME", "CAPTION", "FORMAT", "WRITE",
                 "FIRMWARE");
    }
    for (const PanelView& panel : WindowPanels()) {
        if (only >= 0 && panel.category != only) continue;
        for (const SettingView& view : panel.settings) {
            const bool writable = view.write != WriteKind::None;
            if (options.json) {
                Json item = Json::object();
                item["category"] = view.category;
                item["setting"] = view.setting;
                item["name"] = view.name;
                item["qualifiedName"] = QualifiedName(view);
                item["caption"] = view.caption;
                item["format"] = FormatName(view.format);
                item["writable"] = writable;
                item["minFirmware"] = view.minFirmware;
                item["minFirmwareText"] = FirmwareText(view);
                list.push_back(std::move(item));
                continue;
            }
            PrintOut("%-4s %3d  %-30s %-32s %-14s %-5s %s\n", CategoryText(view.category).c_str(),
                     view.setting, view.name, view.caption, FormatName(view.format), writable ? "yes" : "no",
                     FirmwareText(view).c_str());
        }
    }
    if (options.json) {
        JsonOutcome()["settings"] = std::move(list);
        IndentJsonOutcome();
    }
    return 0;
}

// For completion scripts: one word a line. Not in the help: it is no command for people.
int RunWords(const CliOptions& options) {
    const std::vector<std::string>& words =
        ExpectArgs(options, 1, 2, "commands, options [COMMAND] or settings");
    std::string out;
    if (words[0] == "commands") {
        for (const CommandInfo& command : Commands()) {
            if (!command.hidden) out += std::string(command.name) + "\n";
        }
    } else if (words[0] == "options") {
        for (const std::string& name : GlobalOptionNames())
            out += name + "\n";
        for (const CommandOption& option : CommandOptions()) {
            if (words.size() == 1 || words[1] == option.command) out += std::string(option.name) + "\n";
        }
    } else if (words[0] == "settings") {
        for (const PanelView& panel : WindowPanels()) {
            for (const SettingView& view : panel.settings) {
                if (FindSettingByName(view.name, -1).outcome == NameLookup::Found)
                    out += std::string(view.name) + "\n";
                out += QualifiedName(view) + "\n";
            }
        }
    } else {
        ThrowUsage("_words takes commands, options [COMMAND] or settings");
    }
    WriteOut(out);
    return 0;
}
