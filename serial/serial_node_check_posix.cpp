// Telling a serial line from the other character devices by what the node is,
// after links are followed, without opening it.
#include "serial_node_check.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

namespace {

bool SameDevice(const struct stat& node, const char* path) {
    struct stat other {};
    return ::stat(path, &other) == 0 && S_ISCHR(other.st_mode) && other.st_rdev == node.st_rdev;
}

// /dev/tty0 ... /dev/tty63 are the virtual consoles; /dev/ttyS0 and the rest are not.
bool IsVirtualConsoleName(const std::string& path) {
    const std::string prefix = "/dev/tty";
    if (path.compare(0, prefix.size(), prefix) != 0) return false;
    const std::string number = path.substr(prefix.size());
    if (number.empty() || number.size() > 2) return false;
    for (char c : number)
        if (c < '0' || c > '9') return false;
    return std::atoi(number.c_str()) <= 63;
}

bool IsOwnControllingTerminal(const struct stat& node) {
    for (int fd = 0; fd <= 2; ++fd) {
        struct stat own {};
        if (::isatty(fd) && ::fstat(fd, &own) == 0 && own.st_rdev == node.st_rdev) return true;
    }
#ifdef __linux__
    // The controlling terminal need not be on the standard descriptors.
    if (FILE* file = std::fopen("/proc/self/stat", "r")) {
        char line[1024] = {};
        const size_t length = std::fread(line, 1, sizeof line - 1, file);
        std::fclose(file);
        line[length] = '\0';
        // Field 7 is tty_nr; the command name before it may hold spaces, so count from its ')'.
        if (const char* after = std::strrchr(line, ')')) {
            char state = 0;
            int parent = 0, group = 0, session = 0;
            unsigned ttyNumber = 0;
            if (std::sscanf(after + 1, " %c %d %d %d %u", &state, &parent, &group, &session, &ttyNumber) ==
                    5 &&
                ttyNumber != 0) {
                const unsigned ttyMajor = (ttyNumber >> 8) & 0xfff;
                const unsigned ttyMinor = (ttyNumber & 0xff) | ((ttyNumber >> 12) & 0xfff00);
                if (major(node.st_rdev) == ttyMajor && minor(node.st_rdev) == ttyMinor) return true;
            }
        }
    }
#endif
    return false;
}

}  // namespace

bool MayOpenAsSerialPort(const std::string& name) {
    if (IsNetworkPortName(name)) return true;
    struct stat node {};
    if (::stat(name.c_str(), &node) != 0) return errno == ENOENT || errno == ENOTDIR || errno == EACCES;
    if (!S_ISCHR(node.st_mode)) return false;

    std::string resolved = name;
    if (char* real = ::realpath(name.c_str(), nullptr)) {
        resolved = real;
        std::free(real);
    }
    if (IsVirtualConsoleName(resolved)) return false;
    if (SameDevice(node, "/dev/tty") || SameDevice(node, "/dev/console") || SameDevice(node, "/dev/ptmx"))
        return false;
#ifdef __linux__
    // Virtual consoles by number, whatever their node is called.
    if (major(node.st_rdev) == 4 && minor(node.st_rdev) < 64) return false;
    // /dev/tty, /dev/console and /dev/ptmx themselves.
    if (major(node.st_rdev) == 5 && minor(node.st_rdev) <= 2) return false;
#endif
    return !IsOwnControllingTerminal(node);
}
