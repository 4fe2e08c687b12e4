// How zelctl ends: exit codes and the failures that lead to them.
#pragma once

#include <stdexcept>
#include <string>

#include "zel_protocol.h"

enum ExitCode : int {
    EXIT_OK = 0,
    EXIT_DEVICE_FAILED = 1,     // the device or the line failed
    EXIT_USAGE = 2,             // the command line (or a file it names) is not usable
    EXIT_FIRMWARE_REFUSED = 3,  // the firmware file check refused the file
};

// A failure that ends the command; main() prints the message and exits with the code.
class CliError : public std::runtime_error {
public:
    // `result`: the name a script sees in --json output; "" for the exit code's own.
    CliError(int exitCode, const std::string& message, const std::string& result = "")
        : std::runtime_error(message), exitCode_(exitCode), result_(result) {}
    int ExitCode() const { return exitCode_; }
    // The device's result ("ZEL_E_RX_FAILED") or zelctl's own name for the failure.
    std::string Result() const;

private:
    int exitCode_;
    std::string result_;
};

[[noreturn]] void ThrowUsage(const std::string& message);
// "<action> failed: <result name> (<plain reason>)", on one line.
[[noreturn]] void ThrowDeviceFailure(const std::string& action, ZelResult result);
std::string DeviceFailureText(const std::string& action, ZelResult result);

// The device answered but would not serve this one setting (refused, busy, wrong size);
// any other failure means the line or the device is gone.
bool SettingRefused(ZelResult result);

// The result's name; unlike the protocol's name table this also names 21.
std::string CliResultName(ZelResult result);
// A short reason a user can act on, empty when there is nothing to add.
std::string ResultReason(ZelResult result);
