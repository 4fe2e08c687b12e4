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

std::string NoPermissionText(const std::string& owner) {
    const std::string group = owner.empty() ? "dialout" : owner;
    return "Permission denied: join the group that owns the port (" + (owner.empty() ? "typically dialout" : group) +
           "), for example with: sudo usermod -aG " + group + " $USER, then log in again";
}

}  // namespace

std::string ComOpenFailureHint(const ComPort& port) {
    const ComOpenFailure& failure = port.failure;
    switch (failure.problem) {
    case ComOpenProblem::None: return "";
    case ComOpenProblem::NoSuchPort: return "No such port";
    case ComOpenProblem::Held: return HeldText(failure);
    case ComOpenProblem::NoPermission: return NoPermissionText(failure.accessGroup);
    case ComOpenProblem::NotSerial: return "Not a serial port";
    case ComOpenProblem::LineSettingsRefused: return "The port does not take the line settings 115200 8N1";
    case ComOpenProblem::NoHardware: return "No serial hardware answers at this port";
    case ComOpenProblem::TooManyPorts: return "Too many ports are open in this program";
    case ComOpenProblem::NameNotResolved: return "The name " + failure.detail + " does not resolve to an address";
    case ComOpenProblem::ConnectionRefused:
        return "The connection was refused: nothing serves " + failure.detail;
    case ComOpenProblem::NoAnswer: return "No answer within the time allowed (" + failure.detail + ")";
    case ComOpenProblem::ServerClosed: return "The server closed the connection";
    case ComOpenProblem::ServerRefused: return "The server refused the connection: " + failure.detail;
    case ComOpenProblem::TelnetAtRawPort:
        return "The server speaks Telnet: name the port rfc2217://" + failure.detail + " instead";
    case ComOpenProblem::RawAtTelnetPort:
        return "The server does not answer Telnet COM Port Control: name the port tcp://" + failure.detail +
               " instead";
    case ComOpenProblem::UnknownKind:
    case ComOpenProblem::Other: return failure.detail;
    }
    return failure.detail;
}
