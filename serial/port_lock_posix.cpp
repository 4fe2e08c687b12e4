// Lock files in the lock folders /run/lock and /var/lock (often one and the same).
// ZEL_LOCK_DIR replaces both; it exists for the tests, to point at a folder that
// does not take files.
#include "port_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "held_ports.h"

namespace {

std::vector<std::string> LockFolders() {
    std::vector<std::string> candidates;
    if (const char* forTests = std::getenv("ZEL_LOCK_DIR"); forTests && *forTests) {
        candidates.push_back(forTests);
    } else {
        candidates = {"/run/lock", "/var/lock"};
    }
    std::vector<std::string> folders;
    std::vector<std::string> resolved;
    for (const std::string& folder : candidates) {
        char real[PATH_MAX];
        const std::string key = ::realpath(folder.c_str(), real) ? std::string(real) : folder;
        bool seen = false;
        for (const std::string& other : resolved)
            seen = seen || other == key;
        if (seen) continue;
        resolved.push_back(key);
        folders.push_back(folder);
    }
    return folders;
}

// The PID in a lock file's text: ASCII, possibly padded (HDB), or the four bytes
// of a binary int as old Kermit wrote them. -1 when there is none.
// Async-signal-safe.
long PidInLockText(const char* text, long length) {
    if (length == 4 && (text[0] < ' ' || text[1] < ' ' || text[2] < ' ' || text[3] < ' ')) {
        int binary = 0;
        std::memcpy(&binary, text, 4);
        return binary > 0 ? binary : -1;
    }
    long i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long pid = 0;
    bool digits = false;
    while (i < length && text[i] >= '0' && text[i] <= '9' && pid < 100000000) {
        pid = pid * 10 + (text[i] - '0');
        digits = true;
        ++i;
    }
    return digits && pid > 0 ? pid : -1;
}

// Reads a lock file's first bytes; -1 when it cannot be read. Async-signal-safe.
long ReadLockText(const char* path, char* text, long capacity) {
    const int fd = ::open(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    const ssize_t n = ::read(fd, text, size_t(capacity));
    ::close(fd);
    return n;
}

enum class Found { Nothing, Stale, Live };

struct Inspection {
    Found found = Found::Nothing;
    int pid = 0;
};

Inspection Inspect(const std::string& path) {
    char text[64];
    const long n = ReadLockText(path.c_str(), text, sizeof text);
    if (n < 0) return {errno == ENOENT ? Found::Nothing : Found::Live, 0};
    // An empty file names nobody (as picocom decides): its writer is gone.
    if (n == 0) return {Found::Stale, 0};
    const long pid = PidInLockText(text, n);
    if (pid <= 0) return {Found::Live, 0};  // not ours to judge: leave it
    if (pid == long(::getpid())) {
        // Ours only while a port open here owns it; else a leftover of a
        // process that had our PID before (a container restarted).
        return {LockFileHeldHere(path) ? Found::Live : Found::Stale, int(pid)};
    }
    if (::kill(pid_t(pid), 0) == 0 || errno == EPERM) return {Found::Live, int(pid)};
    return {Found::Stale, int(pid)};
}

std::string HdbText() {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", int(::getpid()));
    return text;
}

bool WriteAll(int fd, const std::string& text) {
    return ::write(fd, text.data(), text.size()) == ssize_t(text.size());
}

enum class Made { Created, Exists, Failed };

// The file appears whole or not at all: written under a temporary name, then
// linked to its own name, which fails if someone else got there first.
Made CreateLockFile(const std::string& folder, const std::string& path, int* error) {
    std::string temporary = folder + "/LTMP.XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return Made::Failed;
    }
    const bool written = ::fchmod(fd, 0644) == 0 && WriteAll(fd, HdbText());
    *error = errno;
    ::close(fd);
    if (!written) {
        ::unlink(temporary.c_str());
        return Made::Failed;
    }
    Made made = Made::Created;
    if (::link(temporary.c_str(), path.c_str()) != 0) {
        if (errno == EEXIST) {
            made = Made::Exists;
        } else {
            // A file system without hard links: an exclusive create is the next best.
            const int direct = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (direct < 0) {
                *error = errno;
                made = errno == EEXIST ? Made::Exists : Made::Failed;
            } else {
                if (!WriteAll(direct, HdbText())) made = Made::Failed;
                ::close(direct);
                if (made == Made::Failed) ::unlink(path.c_str());
            }
        }
    }
    ::unlink(temporary.c_str());
    return made;
}

// A live lock at `path` makes the port held (true); a stale one is removed.
bool HeldByLiveLock(const std::string& path, PortLock* lock) {
    const Inspection seen = Inspect(path);
    if (seen.found == Found::Live) {
        lock->state = PortLockState::Held;
        lock->path = path;
        lock->holderPid = seen.pid;
        return true;
    }
    if (seen.found == Found::Stale) ::unlink(path.c_str());
    return false;
}

}  // namespace

std::string LockFileName(const std::string& devicePath) {
    std::string name = devicePath;
    if (name.compare(0, 5, "/dev/") == 0) name.erase(0, 5);
    while (!name.empty() && name[0] == '/')
        name.erase(0, 1);
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return "LCK.." + name;
}

PortLock TakePortLock(const std::string& devicePath) {
    PortLock lock;
    const std::vector<std::string> folders = LockFolders();
    const std::string name = LockFileName(devicePath);

    // A live lock in any of the folders counts; stale ones go.
    for (const std::string& folder : folders) {
        if (HeldByLiveLock(folder + "/" + name, &lock)) return lock;
    }

    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + name;
        int error = 0;
        for (int attempt = 0; attempt < 3; ++attempt) {
            const Made made = CreateLockFile(folder, path, &error);
            if (made == Made::Created) {
                lock.state = PortLockState::Taken;
                lock.path = path;
                return lock;
            }
            if (made == Made::Failed) break;
            // Another program took it between our look and our link.
            if (HeldByLiveLock(path, &lock)) return lock;
            error = EEXIST;
        }
        if (!lock.note.empty()) lock.note += "; ";
        lock.note += folder + " does not take it (" + std::strerror(error) + ")";
    }
    if (folders.empty()) lock.note = "there is no lock folder";
    lock.state = PortLockState::NoFolder;
    return lock;
}

void RemoveLockFileIfOurs(const char* path) {
    char text[64];
    const long n = ReadLockText(path, text, sizeof text);
    if (n > 0 && PidInLockText(text, n) == long(::getpid())) ::unlink(path);
}
