#include "setting_names.h"

#include "cli_errors.h"
#include "settings_model.h"

namespace {

// No mode read yet: a name that panels of several modes share stays ambiguous.
constexpr int kModeNotRead = -1;

bool IsNumber(const std::string& text) {
    int64_t number = 0;
    return ParseInteger(text, &number);
}

SettingAddress AddressOf(const SettingView& view) {
    return CataloguedSetting(view.category, view.setting);
}

std::string Candidates(const std::vector<const SettingView*>& matches) {
    std::string list;
    for (const SettingView* view : matches) {
        if (!list.empty()) list += ", ";
        list += QualifiedName(*view) + " (" + view->caption + ")";
    }
    return list;
}

}  // namespace

SettingAddress ResolveSetting(const std::string& word, const UnitModeFn& unitMode) {
    const size_t colon = word.find(':');
    if (colon != std::string::npos) {
        const std::string category = word.substr(0, colon);
        const std::string setting = word.substr(colon + 1);
        if (setting.find(':') != std::string::npos) {
            ThrowUsage("'" + word + "' is not CAT:SETTING (for example 0x81:8 or 0x81:udp-port)");
        }
        return ResolveSetting(category, setting, unitMode);
    }
    if (IsNumber(word)) {
        ThrowUsage("'" + word +
                   "' is a number, not a setting name: give CAT SETTING or CAT:SETTING "
                   "(for example 0x81:10), or a name (zelctl settings lists them)");
    }
    NamedSetting named = FindSettingByName(word, kModeNotRead);
    if (named.outcome == NameLookup::Ambiguous) named = FindSettingByName(word, unitMode());
    switch (named.outcome) {
        case NameLookup::Found: return AddressOf(*named.view);
        case NameLookup::Ambiguous:
            ThrowUsage("'" + word + "' names " + std::to_string(named.matches.size()) +
                       " settings and the unit's mode does not choose one: " + Candidates(named.matches) +
                       "; give one of them");
        case NameLookup::Unknown: break;
    }
    ThrowUsage("'" + word + "' is not a setting name (zelctl settings lists them)");
}

SettingAddress ResolveSetting(const std::string& category, const std::string& setting, const UnitModeFn&) {
    if (setting.empty() || IsNumber(setting)) return ParseSettingAddress(category, setting);
    const int number = ParseCategory(category);
    const NamedSetting named = FindSettingByName(std::to_string(number) + ":" + setting, kModeNotRead);
    if (named.outcome == NameLookup::Found) return AddressOf(*named.view);
    ThrowUsage("category " + CategoryText(number) + " has no setting named '" + setting +
               "' (zelctl settings " + CategoryText(number) + " lists them)");
}
