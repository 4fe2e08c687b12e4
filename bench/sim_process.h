// zel5100-sim run as a process of its own, so that its work never counts as ours.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the simulator with these options and waits (up to 10 s) for the
    // pseudo-terminal path it prints first. False with a message in *error.
    bool Start(const std::string& program, const std::vector<std::string>& options, std::string* error);
    // SIGTERM, then SIGKILL if it has not gone within 2 s.
    void Stop();
    const std::string& PtyPath() const { return ptyPath_; }

private:
    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    std::string ptyPath_;
};
