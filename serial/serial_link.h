// One line to the device, whatever carries it: a local serial terminal today,
// further kinds (a network port, another system's COM ports) as further
// implementations. The Com* transport hooks drive the protocol through this.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "com_open_failure.h"
#include "zel_protocol.h"

class SerialLink {
public:
    using Clock = std::chrono::steady_clock;
    using Deadline = Clock::time_point;

    SerialLink() = default;
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;
    virtual ~SerialLink() = default;

    // Opens `name` for this process alone and sets the line to 115200 8N1, raw,
    // with input that was waiting already thrown away. Returns COM_OPEN_OK or a
    // failure code, and describes a failure in `failure`. After a code -2..-5
    // the link is open all the same and Close releases it.
    virtual int Open(const std::string& name, ComOpenFailure* failure) = 0;
    virtual bool IsOpen() const = 0;
    // Gives the line back as it was found. Safe on a link that is not open.
    virtual void Close() = 0;

    // Hands every byte to the line before `deadline`; false when it cannot.
    virtual bool Write(const uint8_t* bytes, int length, Deadline deadline) = 0;
    // Collects up to `count` bytes, returning once they are all there, at the
    // deadline, or at once when the line has gone. Takes what has arrived even
    // when the deadline has passed already. Returns the number of bytes taken.
    virtual int Read(uint8_t* into, int count, Deadline deadline) = 0;
    // Throws away input that is waiting (a late reply to an earlier request).
    virtual void DiscardInput() = 0;
    // The line has been hung up or has vanished (an unplugged adapter), or is
    // not open. Looks without waiting and without taking any input.
    virtual bool LineGone() const = 0;

    // Called now and then while Open waits (a name to resolve, a server to
    // answer), so that a window keeps painting. Local terminals never wait.
    virtual void SetWaitHook(ZelPumpFn /*hook*/, void* /*context*/) {}
    // Over a network: the round trip measured when connecting, in
    // milliseconds, which every wait for the device's bytes is lengthened by.
    // -1 for a line cabled to this computer, whose waits stay as they are.
    virtual int RoundTripMs() const { return -1; }
    // Asks the far end to throw away what the device sent and it still holds
    // (a terminal server's buffer). Does not wait for an answer. Lines without
    // such a far end have nothing to do.
    virtual void PurgeFarEnd() {}

    // While open, for --trace: the lock file that tells other programs the
    // port is ours, or, when none could be made, why not.
    virtual std::string LockFile() const { return ""; }
    virtual std::string LockNote() const { return ""; }
};

// The kind of link a port name asks for: a path (or a name of this system's
// own ports) is a local serial terminal; tcp:// and rfc2217:// are lines of a
// terminal server on the network. A name with a scheme no link here
// takes ("foo://x") gives null and the reason in `refusal`.
std::unique_ptr<SerialLink> MakeSerialLink(const std::string& name, std::string* refusal);
