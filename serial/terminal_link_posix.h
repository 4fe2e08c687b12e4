// A serial terminal of a POSIX system (termios, poll), opened as other serial
// programs expect: a lock file, flock() and the terminal's exclusive mode.
#pragma once

#include "serial_link.h"

struct ComPort;

class TerminalLink final : public SerialLink {
public:
    ~TerminalLink() override;

    int Open(const std::string& name, ComOpenFailure* failure) override;
    bool IsOpen() const override { return fd_ >= 0; }
    void Close() override;

    bool Write(const uint8_t* bytes, int length, Deadline deadline) override;
    int Read(uint8_t* into, int count, Deadline deadline) override;
    void DiscardInput() override;
    bool LineGone() const override;

    std::string LockFile() const override { return lockFile_; }
    std::string LockNote() const override { return lockNote_; }

    // The open descriptor, -1 when none; only for tests that look at the
    // terminal itself.
    int Descriptor() const { return fd_; }

private:
    int fd_ = -1;
    int heldSlot_ = -1;  // its place among the ports released on a fatal signal
    std::string lockFile_;
    std::string lockNote_;
};

// The descriptor of the terminal a port has open, -1 when none; for tests.
int TerminalDescriptor(const ComPort& port);
