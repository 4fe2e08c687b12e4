// Settings as a command line names them: by the model's name ("udp-port"), by name in
// a category ("0x81:udp-port"), or by number ("0x81:10", or CAT SETTING as two words).
#pragma once

#include <functional>
#include <string>

#include "cli_numbers.h"

// The unit's operational mode, read only when a name is shared by the panels of
// several modes and the mode has to choose.
using UnitModeFn = std::function<int()>;

// One word. Throws a usage error that names the word: an unknown name, a number
// without its category, or a name the mode leaves ambiguous (listing the candidates).
SettingAddress ResolveSetting(const std::string& word, const UnitModeFn& unitMode);
// Two words, CAT and SETTING (a number or a name).
SettingAddress ResolveSetting(const std::string& category, const std::string& setting,
                              const UnitModeFn& unitMode);
