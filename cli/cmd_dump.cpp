// dump: every setting the window shows for some categories.
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "json_outcome.h"
#include "setting_output.h"
#include "settings_model.h"
#include "standard_output.h"

namespace {

// "1, 2, 3, 0x81, ...": the categories of the window's panels.
std::string PanelCategoryList() {
    std::string list;
    for (const PanelView& panel : WindowPanels()) {
        if (!list.empty()) list += ", ";
        list += panel.category < 10 ? std::to_string(panel.category) : CategoryText(panel.category);
    }
    return list;
}

std::vector<int> RequestedCategories(const std::vector<std::string>& words) {
    std::vector<int> categories;
    for (const std::string& word : words) {
        const int category = ParseCategory(word);
        if (!FindPanel(category)) {
            ThrowUsage("category " + CategoryText(category) + " is not one the window shows (" +
                       PanelCategoryList() +
                       "); "
                       "read its settings with zelctl get");
        }
        categories.push_back(category);
    }
    return categories;
}

}  // namespace

int RunDump(const CliOptions& options) {
    std::vector<int> categories = RequestedCategories(options.args);
    DeviceSession session(options);
    const DeviceIdentity identity = session.Identify();
    // Each line reaches the reader as it is produced, so that Ctrl+C loses none of them.
    ShowOutputAsProduced();
    if (categories.empty()) {
        categories = UsableCategories(identity.mode);
    } else {
        for (int category : categories) {
            if (!PanelUsable(*FindPanel(category), identity.mode)) {
                session.Note("note: category " + CategoryText(category) + " is not used in mode " +
                             std::to_string(identity.mode) + "; reading it anyway");
            }
        }
    }

    Json settings = Json::array();
    int refused = 0;
    for (int category : categories) {
        for (const SettingView& view : FindPanel(category)->settings) {
            if (!SettingOffered(view, identity.firmwareVersion)) continue;
            const SettingAddress address = CataloguedSetting(view.category, view.setting);
            uint64_t value = 0;
            const ZelResult result = session.TryRead(address, &value);
            if (result != ZEL_OK && !SettingRefused(result)) {
                FinishOut();
                ThrowDeviceFailure("reading " + SettingText(address), result);
            }
            if (result != ZEL_OK) ++refused;
            if (options.json) {
                settings.push_back(result == ZEL_OK ? SettingJson(address, value, view.format)
                                                    : SettingErrorJson(address, result));
                continue;
            }
            const std::string text =
                result == ZEL_OK ? FormatValue(view.format, value) : "error " + CliResultName(result);
            PrintOut("%s %3d  %-32s %s\n", CategoryText(category).c_str(), view.setting, address.entry->name,
                     text.c_str());
        }
    }

    if (options.json) {
        Json& document = JsonOutcome();
        document["port"] = session.PortName();
        document["type"] = identity.type;
        document["mode"] = identity.mode;
        document["firmwareVersion"] = identity.firmwareVersion;
        document["settings"] = std::move(settings);
        IndentJsonOutcome();
    }
    if (refused > 0) {
        throw CliError(
            EXIT_DEVICE_FAILED,
            "the device refused " + std::to_string(refused) + " setting" + (refused == 1 ? "" : "s"),
            "setting-refused");
    }
    return 0;
}
