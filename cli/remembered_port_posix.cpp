// Where Qt keeps the window's settings on POSIX systems: an INI file.
#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>

#include "remembered_port.h"

namespace {

// A settings file of more than this is not the window's; it is not read at all.
constexpr std::streamsize kMaxSettingsBytes = 1 << 20;

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "";
}

}  // namespace

std::string WindowSettingsPath() {
    std::string base;
    // Qt, like the XDG rules, ignores a relative XDG_CONFIG_HOME.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const std::string home = HomeDirectory();
        if (home.empty()) return "";
        base = home + "/.config";
    }
    return base + "/Taviro/Zel5100Util.conf";
}

std::string RememberedComPort() {
    const std::string path = WindowSettingsPath();
    if (path.empty()) return "";
    std::ifstream file(path, std::ios::binary);
    if (!file) return "";
    std::string text(size_t(kMaxSettingsBytes) + 1, '\0');
    file.read(&text[0], kMaxSettingsBytes + 1);
    if (file.gcount() > kMaxSettingsBytes) return "";
    text.resize(size_t(file.gcount()));
    return IniValue(text, "Zel5100Util", "ComPort");
}
