#include "change_log_setting.h"

#include <cstdio>

#include "settings_model.h"
#include "value_format.h"

std::string LoggedSettingName(int category, int setting) {
    char prefix[16] = {};
    std::snprintf(prefix, sizeof prefix, "0x%02X:", unsigned(category));
    const SettingView* view = FindSettingView(category, setting);
    return std::string(prefix) + (view ? view->name : std::to_string(setting));
}

std::string LoggedValue(int category, int setting, uint64_t value) {
    const SettingView* view = FindSettingView(category, setting);
    return view ? FormatValue(view->format, value) : std::to_string(value);
}
