// The words for a failed opening, shared by the window and zelctl.
#include "com_port.h"

namespace {

std::string HeldText(const ComOpenFailure& failure) {
    if (failure.leftLocked) {
        return "The port was left locked by a program that ended; restarting the program that "
               "serves the pseudo-terminal clears it";
    }
    if (failure.holder.pid > 0) {
        const std::string program = failure.holder.program.empty() ? "another program" : failure.holder.program;
        return "The port is held by " + program + " (pid " + std::to_string(failure.holder.pid) +
               "): close it there first";
    }
    return "The port is held by another program (the window, zelctl, a terminal program): "
           "close it there first";
}

std::string NoPermissionText(const ComOpenFailure& failure) {
    if (failure.accessGroup.empty() && !failure.accessMode.empty()) {
        return "Permission denied: " + failure.path + " is " + failure.accessMode + " with group " +
               failure.ownerGroup +
               ", which gives no group of users access; an administrator can change that (a udev rule)";
    }
    const std::string group = failure.accessGroup.empty() ? "dialout" : failure.accessGroup;
    return "Permission denied: join the group that owns the port (" +
           (failure.accessGroup.empty() ? std::string("typically dialout") : group) +
           "), for example with: sudo usermod -aG " + group + " $USER, then log in again";
}

}  // namespace

std::string ComOpenFailureHint(const ComPort& port) {
    const ComOpenFailure& failure = port.failure;
    switch (failure.problem) {
    case ComOpenProblem::None: return "";
    case ComOpenProblem::NoSuchPort: return "No such port";
    case ComOpenProblem::Held: return HeldText(failure);
    case ComOpenProblem::NoPermission: return NoPermissionText(failure);
    case ComOpenProblem::NotSerial: return "Not a serial port";
    case ComOpenProblem::LineSettingsRefused: return "The port does not take the line settings 115200 8N1";
    case ComOpenProblem::NoHardware: return "No serial hardware answers at this port";
    case ComOpenProblem::TooManyPorts: return "Too many ports are open in this program";
    case ComOpenProblem::UnknownKind:
    case ComOpenProblem::Other: return failure.detail;
    }
    return failure.detail;
}
