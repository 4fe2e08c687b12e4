#include "window_change.h"

#include "change_log.h"
#include "change_log_setting.h"
#include "zel5100util_app.h"

namespace {

std::string OutcomeName(ZelResult result) {
    if (result == ZEL_OK || result == ZEL_REPLY_IGNORED) return "ok";
    const char* name = ZelResultName(result);
    return name && *name ? name : std::to_string(int(result));
}

}  // namespace

WindowChange::WindowChange(const Zel5100UtilApp* app, const QString& serial, const char* action, int category,
                           int setting, const QString& oldValue)
    : serial_(serial.trimmed().toStdString()),
      action_(action),
      category_(category),
      setting_(setting),
      old_(oldValue.trimmed().toStdString()) {
    if (app != nullptr) port_ = app->CurrentPortName.toStdString();
}

void WindowChange::Written(uint64_t value, ZelResult result) {
    ChangeRecord record;
    record.program = "zel5100util";
    record.action = action_;
    record.port = port_;
    record.serialNumber = serial_;
    record.setting = LoggedSettingName(category_, setting_);
    record.oldValue = old_;
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
