// Serves a SimDevice on a pseudo-terminal, in real time: whatever a program writes to
// the terminal's slave side reaches the device, and the device's bytes are written
// back as they come due.
#pragma once

#include <csignal>
#include <string>

#include "sim_clock.h"
#include "sim_device.h"

class SimPtyServer {
public:
    SimPtyServer(SimDevice& device, const SimClock& clock) : device_(device), clock_(clock) {}
    ~SimPtyServer();
    SimPtyServer(const SimPtyServer&) = delete;
    SimPtyServer& operator=(const SimPtyServer&) = delete;

    // Opens the pseudo-terminal (raw) and, when linkPath is not empty, points a
    // symlink there; an existing symlink is replaced, any other file is left alone
    // and makes this fail. False with a message in *error.
    bool Open(const std::string& linkPath, std::string* error);
    // Path of the slave side, the name clients open.
    const std::string& SlavePath() const { return slavePath_; }
    // Serves until *stop becomes non-zero (set from a signal handler).
    void Serve(const volatile std::sig_atomic_t* stop);
    // Removes the symlink and closes the terminal.
    void Close();

private:
    void ReleaseStaleExclusive(int64_t nowUs);

    SimDevice& device_;
    const SimClock& clock_;
    int master_ = -1;
    // Held open so that the master side never sees a hang-up when a client closes
    // its end; clients may come and go.
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
    int64_t lastTrafficUs_ = 0;
    int64_t hangUpSinceUs_ = -1;  // when the device asked to hang up the line
};
