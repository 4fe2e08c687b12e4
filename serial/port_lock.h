// Lock files as UUCP, minicom, picocom and ser2net keep them: LCK..<node> in the
// system's lock folder, holding the owner's PID as ten ASCII characters and a
// newline. A file whose process is gone is stale and is removed.
#pragma once

#include <string>

enum class PortLockState {
    Taken,     // the file is ours until released
    Held,      // a live process has one
    NoFolder,  // no lock folder takes a file: go on without one
};

struct PortLock {
    PortLockState state = PortLockState::NoFolder;
    std::string path;   // Taken: our file; Held: the other program's
    int holderPid = 0;  // Held: the PID it names; 0 when it names none readable
    std::string note;   // NoFolder: why no file was made
};

// "LCK..ttyUSB0" for /dev/ttyUSB0; a node below a further folder has its
// slashes turned into underscores: "LCK..pts_3" for /dev/pts/3.
std::string LockFileName(const std::string& devicePath);
// Takes the lock file of a resolved device node, after removing stale ones.
PortLock TakePortLock(const std::string& devicePath);
// Removes the file if it still names this process. Async-signal-safe.
void RemoveLockFileIfOurs(const char* path);
