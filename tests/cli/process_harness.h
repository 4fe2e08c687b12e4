// Running zelctl and the simulator as a user would: separate processes, the
// simulator on a pseudo-terminal, every wait bounded.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

struct ProcessResult {
    int exitCode = -1;    // -1 when killed by a signal
    int signal = 0;
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs a program to its end, with `overrides` ("NAME=value") replacing or adding to
// this process's environment. A program still running after `limitMs` is killed and
// the result marked timedOut.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& overrides,
                         int limitMs);

// A program started and left running, for tests that act on it while it runs.
class RunningProcess {
public:
    RunningProcess(const std::vector<std::string>& argv, const std::vector<std::string>& overrides);
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    // Collects output until `done` holds for what came so far; false when the program
    // ended or `limitMs` ran out first.
    bool WaitUntil(const std::function<bool(const ProcessResult&)>& done, int limitMs);
    void Signal(int signal);
    // Collects the rest of the output and the exit; kills the program after `limitMs`.
    ProcessResult Finish(int limitMs);

private:
    // One round of collecting; false once both outputs have ended.
    bool Collect(int waitMs);

    pid_t pid_ = -1;
    int fds_[2] = {-1, -1};
    ProcessResult result_;
};

// A directory of its own under $TMPDIR, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// zel5100-sim serving a simulated device; stopped with SIGTERM on destruction.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const std::vector<std::string>& options);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // The pseudo-terminal the simulator serves; empty when it did not start.
    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    std::string path_;
    std::string error_;
    std::thread drain_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
