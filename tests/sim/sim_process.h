// zel5100-sim run as a separate process, as a user would run it; every wait bounded.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& options);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line the simulator printed (the terminal's path); empty when none
    // came within the time-out.
    std::string FirstLine(int timeoutMs = 10000);
    // Sends the signal and waits for the exit; the exit status (WEXITSTATUS), or -1
    // when the process did not end within the time-out or ended by a signal.
    int Stop(int signal, int timeoutMs = 10000);
    // Waits for the process to end by itself; as Stop.
    int Wait(int timeoutMs = 10000);
    // What the process wrote on stderr, once it has ended.
    std::string ErrorOutput();

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
    int stderr_ = -1;
    std::string firstLine_;
    bool haveLine_ = false;
};

// Opens the terminal raw, as a plain client would.
int OpenRawTerminal(const std::string& path);
// Reads until `count` bytes arrived or the time-out ran out.
std::vector<uint8_t> ReadFor(int fd, size_t count, int timeoutMs);
