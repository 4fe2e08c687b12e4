// Running zelctl as a user would, a separate process with every wait bounded, and
// the files a test keeps it in. The simulator it talks to is a SimProcess.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "child_process.h"

struct ProcessResult {
    int exitCode = -1;  // -1 when killed by a signal
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

    // Waits until `done` holds for the output so far; false when the program's output
    // ended or `limitMs` ran out first.
    bool WaitUntil(const std::function<bool(const ProcessResult&)>& done, int limitMs);
    void Signal(int signal) { child_.Signal(signal); }
    // Waits for the end and takes all the output; kills the program after `limitMs`.
    ProcessResult Finish(int limitMs);

private:
    ChildProcess child_;
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

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
