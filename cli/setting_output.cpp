#include "setting_output.h"

#include "cli_errors.h"

namespace {

JsonValue SettingHead(const SettingAddress& address) {
    JsonValue item = JsonValue::Object();
    item.Set("category", JsonValue::Number(address.category));
    item.Set("setting", JsonValue::Number(address.setting));
    item.Set("name", JsonValue::String(address.entry ? address.entry->name : ""));
    return item;
}

}  // namespace

ValueFormat SettingFormat(const SettingAddress& address) {
    return FormatForType(address.entry ? address.entry->type : -1);
}

JsonValue SettingJson(const SettingAddress& address, uint64_t value, ValueFormat format) {
    JsonValue item = SettingHead(address);
    if (format == ValueFormat::Signed) {
        item.Set("value", JsonValue::Number(int64_t(int32_t(uint32_t(value)))));
    } else {
        item.Set("value", JsonValue::Number(value));
    }
    item.Set("text", JsonValue::String(FormatValue(format, value)));
    return item;
}

JsonValue SettingErrorJson(const SettingAddress& address, ZelResult result) {
    JsonValue item = SettingHead(address);
    item.Set("error", JsonValue::String(CliResultName(result)));
    return item;
}
