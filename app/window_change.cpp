#include "window_change.h"

#include "change_log.h"
#include "change_log_setting.h"
#include "value_format.h"
#include "zel5100util_app.h"
#include "zel_setting_ids.h"

namespace {

std::string OutcomeName(ZelResult result) {
    if (result == ZEL_OK || result == ZEL_REPLY_IGNORED) return "ok";
    const char* name = ZelResultName(result);
    return name && *name ? name : std::to_string(int(result));
}

}  // namespace

WindowChange::WindowChange(const Zel5100UtilApp* app, const char* action, int category, int setting)
    : action_(action), category_(category), setting_(setting) {
    if (app != nullptr) port_ = app->CurrentPortName.toStdString();
    uint32_t serial = 0;
    if (ZelReadSetting(ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER, &serial) == ZEL_OK)
        serial_ = FormatSerialNumber(serial);
    if (category_ >= 0) oldKnown_ = ZelReadSetting(category_, setting_, &old_) == ZEL_OK;
}

void WindowChange::Written(uint64_t value, ZelResult result) {
    ChangeRecord record;
    record.program = "zel5100util";
    record.action = action_;
    record.port = port_;
    record.serialNumber = serial_;
    record.setting = LoggedSettingName(category_, setting_);
    if (oldKnown_) record.oldValue = LoggedValue(category_, setting_, old_);
    record.newValue = LoggedValue(category_, setting_, value);
    record.outcome = OutcomeName(result);
    LogChange(record);
}

void WindowChange::Done(const std::string& oldValue, const std::string& newValue, ZelResult result) {
    ChangeRecord record;
    record.program = "zel5100util";
    record.action = action_;
    record.port = port_;
    record.serialNumber = serial_;
    if (action_ == "upgrade") record.setting = "firmware";
    record.oldValue = oldValue;
    record.newValue = newValue;
    record.outcome = OutcomeName(result);
    LogChange(record);
}
