// Another program holding a port, played by a child process of the test: it opens
// the port (with an advisory lock or the exclusive mode, as serial programs do),
// or only stays alive for a lock file to name it, until the test lets it go.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <string>

#include <gtest/gtest.h>

class ForeignHolder {
public:
    enum class Hold { Nothing, AdvisoryLock, ExclusiveMode };

    ForeignHolder(const std::string& port, Hold hold) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) {
            ADD_FAILURE() << "pipe failed";
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only async-signal-safe calls from here: the child of a test process.
            // A program of its own: none of the test's descriptors (the
            // pseudo-terminal's master side among them).
            for (int inherited = 3; inherited < 1024; ++inherited) {
                if (inherited != ready[1] && inherited != release[0]) ::close(inherited);
            }
            int fd = -1;
            if (hold != Hold::Nothing) {
                fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                if (fd < 0) ::_exit(2);
                if (hold == Hold::AdvisoryLock && ::flock(fd, LOCK_EX | LOCK_NB) != 0) ::_exit(3);
                if (hold == Hold::ExclusiveMode && ::ioctl(fd, TIOCEXCL) != 0) ::_exit(4);
            }
            const char go = 1;
            if (::write(ready[1], &go, 1) != 1) ::_exit(5);
            char byte;
            while (::read(release[0], &byte, 1) > 0) {
            }
            if (fd >= 0) {
                ::ioctl(fd, TIOCNXCL);
                ::close(fd);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char byte = 0;
        EXPECT_EQ(::read(ready[0], &byte, 1), 1) << "the holder did not get the port";
        ::close(ready[0]);
    }
    ~ForeignHolder() { Release(); }
    ForeignHolder(const ForeignHolder&) = delete;
    ForeignHolder& operator=(const ForeignHolder&) = delete;

    int Pid() const { return int(pid_); }

    // The holder lets go and ends.
    void Release() {
        if (release_ >= 0) ::close(release_);
        release_ = -1;
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
};
