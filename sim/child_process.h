// A program run as a child process. A thread of ours reads its stdout and stderr as
// they come, so that it never blocks on a full pipe; every wait is bounded.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ChildSetup {
    // "NAME=value" entries replacing or adding to this process's environment.
    std::vector<std::string> environment;
    // Timer slack of 1 ns instead of the default 50 us, kept across exec: for a
    // program that must wake exactly when a byte is due.
    bool preciseTimers = false;
    // How much of each output is kept; the rest is still read, and dropped.
    size_t keepBytes = SIZE_MAX;
};

// How a child ended.
struct ChildExit {
    bool ended = false;  // false: it was still running when the wait ran out
    int code = -1;       // its exit status; -1 when a signal ended it
    int signal = 0;      // the signal that ended it
};

class ChildProcess {
public:
    // Runs argv[0] (a path; PATH is not searched) with stdin on /dev/null.
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildSetup& setup = {});
    // Kills a child still running and waits for it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Why the child could not be started.
    const std::string& StartError() const { return startError_; }

    // Waits until `done` holds for the output so far; false when both outputs ended
    // or the limit ran out first. `done` is called with the output locked.
    bool WaitForOutput(const std::function<bool(const std::string& out, const std::string& err)>& done,
                       int limitMs);
    std::string Out() const;
    std::string Err() const;

    // Sends the signal while the child runs; once it has been waited for, nothing.
    void Signal(int signal);
    // Waits for the child to end and its output to close; the child is left running
    // when it has not ended within the limit.
    ChildExit Wait(int limitMs);

private:
    void Drain(int outFd, int errFd, int wakeFd);
    bool Reaped();

    pid_t pid_ = -1;
    std::string startError_;
    size_t keepBytes_;
    ChildExit exit_;
    int wake_[2] = {-1, -1};  // written to end the drain thread

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string out_;
    std::string err_;
    bool outputEnded_ = false;
    std::thread drain_;
};
