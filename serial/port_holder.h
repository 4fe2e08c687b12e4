// Finding the program that holds a port, from what the system lists about its
// processes: the advisory locks they hold and the files they have open.
#pragma once

#include <sys/types.h>
#include <string>

// The process holding an advisory flock on the file (st_dev, st_ino); 0 when none.
int FlockHolderPid(dev_t fileSystem, ino_t inode);

struct OtherUser {
    int pid = 0;       // 0 when none was found
    bool sure = true;  // false when some processes could not be looked at
};
// A process other than this one with the terminal `device` open. On a
// pseudo-terminal the process that serves it from the master side does not count:
// it may keep its own end open all the time.
OtherUser FindOtherUser(dev_t device);

// A process's name as the system lists it ("picocom"); "" when it is gone.
std::string ProgramOfProcess(int pid);
// The slave side of a pseudo-terminal, whose exclusive mode outlives the last close.
bool IsPseudoTerminalSlave(dev_t device);
