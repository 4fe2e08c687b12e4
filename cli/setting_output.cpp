#include "setting_output.h"

#include "cli_errors.h"

namespace {

Json SettingHead(const SettingAddress& address) {
    Json item = Json::object();
    item["category"] = address.category;
    item["setting"] = address.setting;
    item["name"] = address.entry ? address.entry->name : "";
    return item;
}

}  // namespace

ValueFormat SettingFormat(const SettingAddress& address) {
    return FormatForType(address.entry ? address.entry->type : -1);
}

Json SettingJson(const SettingAddress& address, uint64_t value, ValueFormat format) {
    Json item = SettingHead(address);
    if (format == ValueFormat::Signed) {
        item["value"] = int64_t(int32_t(uint32_t(value)));
    } else {
        item["value"] = value;
    }
    item["text"] = FormatValue(format, value);
    return item;
}

Json SettingErrorJson(const SettingAddress& address, ZelResult result) {
    Json item = SettingHead(address);
    item["error"] = CliResultName(result);
    return item;
}
