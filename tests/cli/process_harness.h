// Running zelctl and the simulator as a user would: separate processes, the
// simulator on a pseudo-terminal, every wait bounded.
#pragma once

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
