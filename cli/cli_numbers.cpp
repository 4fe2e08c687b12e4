#include "cli_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "cli_errors.h"
#include "text_codes.h"
#include "value_format.h"
#include "zel_setting_ids.h"

namespace {

std::string SettingsOf(int category) {
    std::string list;
    for (const ZelSettingEntry& entry : ZelSettingTable) {
        if (entry.category != category) continue;
        if (!list.empty()) list += ", ";
        list += std::to_string(entry.setting);
    }
    return list;
}

std::string CategoryList() {
    std::string list;
    for (const ZelCategoryEntry& entry : ZelCategoryTable) {
        if (!list.empty()) list += ", ";
        list += CategoryText(entry.id);
    }
    return list;
}

}  // namespace

int ParseCategory(const std::string& text) {
    int64_t number = 0;
    if (!ParseInteger(text, &number)) {
        ThrowUsage("'" + text + "' is not a category number (decimal or 0x hex)");
    }
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max() ||
        !ZelFindCategory(int(number))) {
        ThrowUsage("category " + text + " is not in the catalogue; the categories are " + CategoryList());
    }
    return int(number);
}

SettingAddress ParseSettingAddress(const std::string& category, const std::string& setting) {
    const int cat = ParseCategory(category);
    int64_t number = 0;
    if (!ParseInteger(setting, &number)) {
        ThrowUsage("'" + setting + "' is not a setting number (decimal or 0x hex)");
    }
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max() ||
        !ZelFindSetting(cat, int(number))) {
        ThrowUsage("category " + CategoryText(cat) + " setting " + setting +
                   " is not in the catalogue; category " + CategoryText(cat) + " has settings " +
                   SettingsOf(cat));
    }
    return CataloguedSetting(cat, int(number));
}

SettingAddress ParseSettingPair(const std::string& pair) {
    const size_t colon = pair.find(':');
    if (colon == std::string::npos || pair.find(':', colon + 1) != std::string::npos) {
        ThrowUsage("'" + pair + "' is not CAT:SETTING (for example 0x81:8)");
    }
    return ParseSettingAddress(pair.substr(0, colon), pair.substr(colon + 1));
}

SettingAddress CataloguedSetting(int category, int setting) {
    SettingAddress address;
    address.category = category;
    address.setting = setting;
    address.entry = ZelFindSetting(category, setting);
    return address;
}

uint32_t ParseSettingValue(const SettingAddress& address, const std::string& text) {
    const int size = address.Size();
    const int type = address.entry ? address.entry->type : -1;
    if (size < 1 || size > 4) {
        ThrowUsage(SettingText(address) + " holds " + std::to_string(size) + " bytes and cannot be written");
    }
    uint32_t packed = 0;
    if (type == ZEL_TYPE_ADDRESS && ParseAddress(text, &packed)) return packed;

    int64_t number = 0;
    if (!ParseInteger(text, &number)) {
        ThrowUsage("'" + text + "' is not a value for " + SettingText(address) +
                   (type == ZEL_TYPE_ADDRESS ? " (a dotted IPv4 address such as 239.1.2.3, or a number)"
                                             : " (decimal or 0x hex)"));
    }
    // A value cut to the setting's low bytes would silently write something else.
    const int64_t largest = (int64_t(1) << (8 * size)) - 1;
    const int64_t smallest = type == ZEL_TYPE_SIGNED ? std::numeric_limits<int32_t>::min() : 0;
    if (number < smallest || number > largest) {
        ThrowUsage("value " + text + " does not fit " + SettingText(address) + " (" +
                   std::to_string(smallest) + " to " + std::to_string(largest) + ")");
    }
    return static_cast<uint32_t>(number);
}

std::string CategoryText(int category) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", unsigned(category));
    return text;
}

std::string SettingText(const SettingAddress& address) {
    std::string text = CategoryText(address.category) + " " + std::to_string(address.setting);
    if (address.entry) text += std::string(" (") + address.entry->name + ")";
    return text;
}

double ParseIntervalSeconds(const std::string& command, const std::string& text, double least) {
    constexpr double kMostSeconds = 24 * 3600;
    double seconds = 0;
    const char* end = text.data() + text.size();
    const std::from_chars_result parsed = std::from_chars(text.data(), end, seconds);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(seconds) ||
        seconds < least || seconds > kMostSeconds) {
        char leastText[32];
        const std::to_chars_result leastEnd = std::to_chars(leastText, leastText + sizeof leastText, least);
        ThrowUsage(command + ": --interval takes seconds from " + std::string(leastText, leastEnd.ptr) +
                   " to 86400, not '" + Printable(text) + "'");
    }
    return seconds;
}
