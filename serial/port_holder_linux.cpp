// Holders of a port from /proc: /proc/locks for advisory locks, /proc/<pid>/fd for
// open files and /proc/<pid>/fdinfo for the terminal a pseudo-terminal master serves.
#include "port_holder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Unix98 pseudo-terminal slaves and the master multiplexer.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;

bool IsPtmx(dev_t device) {
    return major(device) == 5 && minor(device) == 2;
}

int PtyIndex(dev_t device) {
    return int((major(device) - kFirstPtySlaveMajor) * 256 + minor(device));
}

bool AllDigits(const char* text) {
    if (!*text) return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return false;
    }
    return true;
}

// The pseudo-terminal a master descriptor serves, -1 when it does not say.
int ServedIndex(const std::string& fdinfoPath) {
    std::ifstream info(fdinfoPath);
    for (std::string line; std::getline(info, line);) {
        if (line.compare(0, 10, "tty-index:") == 0) return std::atoi(line.c_str() + 10);
    }
    return -1;
}

struct Use {
    bool opened = false;  // has the terminal open
    bool serves = false;  // holds its master side
    bool readable = true;
};

Use UseOf(const std::string& pid, dev_t device) {
    Use use;
    const std::string fdFolder = "/proc/" + pid + "/fd";
    DIR* folder = ::opendir(fdFolder.c_str());
    if (!folder) {
        // Gone meanwhile, or another user's: those are not counted, or a desktop
        // user could never be told a port was left behind. Our own user's
        // processes that hide their files (set-id programs) leave us unsure.
        struct stat process {};
        use.readable = errno == ENOENT || ::stat(("/proc/" + pid).c_str(), &process) != 0 ||
                       process.st_uid != ::getuid();
        return use;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (!AllDigits(entry->d_name)) continue;
        struct stat file {};
        if (::stat((fdFolder + "/" + entry->d_name).c_str(), &file) != 0 || !S_ISCHR(file.st_mode)) continue;
        if (file.st_rdev == device) use.opened = true;
        if (IsPseudoTerminalSlave(device) && IsPtmx(file.st_rdev) &&
            ServedIndex("/proc/" + pid + "/fdinfo/" + entry->d_name) == PtyIndex(device)) {
            use.serves = true;
        }
    }
    ::closedir(folder);
    return use;
}

}  // namespace

int FlockHolderPid(dev_t fileSystem, ino_t inode) {
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        // "1: FLOCK  ADVISORY  WRITE 4711 00:1a:3 0 EOF"; waiters carry a "->".
        std::istringstream fields(line);
        std::string number, kind, mode, access, file;
        long pid = 0;
        fields >> number >> kind;
        if (kind == "->") continue;
        fields >> mode >> access >> pid >> file;
        if (kind != "FLOCK" || pid <= 0) continue;
        unsigned fsMajor = 0, fsMinor = 0;
        unsigned long long fileInode = 0;
        if (std::sscanf(file.c_str(), "%x:%x:%llu", &fsMajor, &fsMinor, &fileInode) != 3) continue;
        if (fsMajor == major(fileSystem) && fsMinor == minor(fileSystem) && fileInode == inode)
            return int(pid);
    }
    return 0;
}

OtherUser FindOtherUser(dev_t device) {
    OtherUser found;
    DIR* proc = ::opendir("/proc");
    if (!proc) {
        found.sure = false;
        return found;
    }
    const std::string self = std::to_string(::getpid());
    while (const dirent* entry = ::readdir(proc)) {
        if (!AllDigits(entry->d_name) || self == entry->d_name) continue;
        const Use use = UseOf(entry->d_name, device);
        if (!use.readable) found.sure = false;
        if (use.opened && !use.serves) {
            found.pid = std::atoi(entry->d_name);
            break;
        }
    }
    ::closedir(proc);
    return found;
}

std::string ProgramOfProcess(int pid) {
    if (pid <= 0) return "";
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

bool IsPseudoTerminalSlave(dev_t device) {
    return major(device) >= kFirstPtySlaveMajor && major(device) <= kLastPtySlaveMajor;
}
