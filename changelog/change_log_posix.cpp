#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "change_log_platform.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// mkdir -p for the folders of `path`, private to the user.
bool MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string dir = path.substr(0, slash);
        if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

std::string PlatformChangeLogPath() {
    std::string state = Environment("XDG_STATE_HOME");
    // A relative XDG folder is to be ignored, as the base directory rules say.
    if (state.empty() || state[0] != '/') {
        const std::string home = Environment("HOME");
        if (home.empty()) return "";
        state = home + "/.local/state";
    }
    return state + "/zel5100util/changes.jsonl";
}

std::string PlatformUserName() {
    if (const passwd* entry = ::getpwuid(::getuid())) return entry->pw_name;
    const std::string user = Environment("USER");
    return user.empty() ? std::to_string(::getuid()) : user;
}

std::string PlatformHostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "";
    return name;
}

std::tm PlatformUtcTime(std::time_t when) {
    std::tm utc{};
    ::gmtime_r(&when, &utc);
    return utc;
}

bool PlatformAppendLine(const std::string& path, const std::string& line, std::string* error) {
    if (!MakeParents(path)) {
        *error = std::strerror(errno);
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    // O_APPEND puts the whole of one write at the end, whoever else appends.
    ssize_t written = -1;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    const int writeError = errno;
    ::close(fd);
    if (written != ssize_t(line.size())) {
        *error = written < 0 ? std::strerror(writeError) : "the line was written short";
        return false;
    }
    return true;
}
