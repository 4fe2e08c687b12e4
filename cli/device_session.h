// One command's connection to the device: the port chosen and opened, tracing
// installed on request, typed reads and writes that end the command on failure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cli_numbers.h"
#include "cli_options.h"
#include "com_port.h"
#include "settings_model.h"

struct DeviceIdentity {
    uint32_t type = 0;             // 5100 for a ZEL-5100
    int mode = -1;                 // 0 ASI to IP, 1 IP to ASI
    int32_t firmwareVersion = -1;  // tenths: 23 is v2.3
};

// --port, else $ZELCTL_PORT, else the port the window remembers; a lone digit names a
// port by number as in the window. Throws a usage error when there is none.
std::string ChoosePortName(const CliOptions& options);

// Why a port could not be opened, in words a user can act on.
std::string OpenFailureText(const ComPort& port, int code);

class DeviceSession {
public:
    // Opens the port (throws: exit 1 with OpenFailureText) and, with --trace, traces it.
    explicit DeviceSession(const CliOptions& options);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    const std::string& PortName() const { return portName_; }
    const CliOptions& Options() const { return options_; }

    // A catalogued setting of 1 to 8 bytes, zero-extended.
    ZelResult TryRead(const SettingAddress& address, uint64_t* value);
    uint64_t Read(const SettingAddress& address);  // throws on failure
    uint64_t Read(int category, int setting);
    ZelResult TryWrite(const SettingAddress& address, uint32_t value);
    void Write(const SettingAddress& address, uint32_t value);  // throws on failure

    // Type, mode and firmware version.
    DeviceIdentity Identify();
    // After a command that restarts the device: waits until it answers again (at most
    // RESTART_LIMIT_MS; throws when it does not) and identifies it anew.
    DeviceIdentity AwaitRestart();

    // The port has been hung up or has vanished.
    bool LineGone() const { return ComLineGone(&port_); }

    // The unit's serial number as text, read once ("" when it cannot be read). Read it
    // before a change that restarts the unit, so that the change log can name the unit.
    const std::string& SerialText();
    // Appends a change made on this unit to the change log; never fails the command.
    void RecordChange(const std::string& action, const std::string& setting, const std::string& oldValue,
                      const std::string& newValue, const std::string& outcome);
    // The same for a write of one setting; `oldValue` null when it was not read.
    void RecordWrite(const std::string& action, const SettingAddress& address, const uint64_t* oldValue,
                     uint64_t newValue, ZelResult result);

    // A progress note on stderr, unless --quiet.
    void Note(const std::string& text) const;

private:
    CliOptions options_;
    std::string portName_;
    ComPort port_;
    bool serialRead_ = false;
    std::string serial_;
};

// The session opened when a command first needs the device, so that every usage error
// comes before a port is opened.
class SessionOnDemand {
public:
    explicit SessionOnDemand(const CliOptions& options) : options_(options) {}
    DeviceSession& operator*();
    DeviceSession* operator->() { return &**this; }
    // The unit's operational mode, read once.
    int UnitMode();

private:
    const CliOptions& options_;
    std::unique_ptr<DeviceSession> session_;
    int mode_ = -1;
};
