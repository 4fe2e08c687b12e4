// zel5100-sim run as a separate process, as a user would run it: the first line it
// prints is the path of the terminal it serves. Every wait is bounded.
#pragma once

#include <string>
#include <vector>

#include "child_process.h"

// The zel5100-sim built alongside this library.
std::string BuiltSimulatorPath();

struct SimProcessSetup {
    std::string program = BuiltSimulatorPath();
    // For wire pacing: the simulator's timers are not rounded by the default slack.
    bool preciseTimers = false;
};

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& options, const SimProcessSetup& setup = {});
    // SIGTERM, and SIGKILL when that has not ended the simulator within 5 s.
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line the simulator printed, without its newline (the terminal's path
    // once it serves); empty when none came within the time-out, and Error() says why.
    std::string FirstLine(int timeoutMs = 20000);
    // Why FirstLine() came back empty, with what the simulator wrote on stderr.
    std::string Error() const;
    // What the simulator wrote on stderr so far.
    std::string ErrorOutput() const { return child_.Err(); }

    // Sends the signal and waits for the end: the exit status, or -1 when the process
    // did not end within the time-out or a signal ended it.
    int Stop(int signal, int timeoutMs = 10000);
    // Waits for the process to end by itself; as Stop.
    int Wait(int timeoutMs = 10000);

private:
    ChildProcess child_;
    std::string problem_;
};
