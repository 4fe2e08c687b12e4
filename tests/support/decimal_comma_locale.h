// Puts the process under a real locale that writes a decimal comma, so a test can
// show that values still read in the C form whatever the user's locale is.
//
// Most build machines have no such locale installed, which would leave the test
// skipped and proving nothing. On glibc, de_DE.UTF-8 is then generated with
// localedef (the "locales" package's data) into a folder of the test's own, which
// glibc reads through LOCPATH; the folder goes when the test program ends.
#pragma once

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "temp_folder.h"

namespace decimal_comma_locale_detail {

inline bool WritesADecimalComma() {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%g", 12.5);
    return std::string(text) == "12,5";
}

inline bool TryLocale(const char* name) {
    return std::setlocale(LC_ALL, name) != nullptr && WritesADecimalComma();
}

#ifndef _WIN32
struct GeneratedLocales {
    std::string folder;
    ~GeneratedLocales() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
};

inline bool GenerateGerman() {
    static GeneratedLocales generated;
    if (generated.folder.empty()) {
        generated.folder = MakeTempFolder("zel-locales");
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + generated.folder + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) == -1) return false;  // its exit status is judged below
    }
    ::setenv("LOCPATH", generated.folder.c_str(), 1);
    return TryLocale("de_DE.UTF-8");
}
#endif

}  // namespace decimal_comma_locale_detail

// True when the process now runs under a locale with a decimal comma.
inline bool UseDecimalCommaLocale() {
    using namespace decimal_comma_locale_detail;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "German_Germany.1252"})
        if (TryLocale(name)) return true;
#ifndef _WIN32
    if (GenerateGerman()) return true;
    ::unsetenv("LOCPATH");
#endif
    std::setlocale(LC_ALL, "C");
    return false;
}

// Back to the locale the test ran in before.
inline void LeaveDecimalCommaLocale(const std::string& before = "C") {
    std::setlocale(LC_ALL, before.c_str());
#ifndef _WIN32
    ::unsetenv("LOCPATH");
#endif
}
