// What an opening of a port can end in, kept as facts: the words for the user
// are made from them in one place (ComOpenFailureHint).
#pragma once

#include <string>

// Failure codes of OpenComPort.
enum : int {
    COM_OPEN_OK = 0,
    COM_OPEN_FAILED = -1,          // no such port, held by another program, no permission
    COM_GET_SETTINGS_FAILED = -2,  // not a terminal
    COM_SET_SETTINGS_FAILED = -3,
    COM_GET_TIMING_FAILED = -4,
    COM_SET_TIMING_FAILED = -5,
    COM_OPEN_NOT_SERIAL = -6,  // a terminal, file or device that is no serial line; nothing opened
};

// Who holds a port that another program has open for itself.
struct ComPortHolder {
    int pid = 0;          // 0 when not known
    std::string program;  // its name as the system lists it; "" when not known
};

enum class ComOpenProblem {
    None,                 // the last opening went well
    NoSuchPort,
    Held,                 // by `holder`, or left locked
    NoPermission,
    NotSerial,
    LineSettingsRefused,  // the port does not take 115200 8N1
    NoHardware,           // nothing answers behind the node
    TooManyPorts,
    UnknownKind,          // a name of a kind no link here opens; `detail` says so
    // Network ports (`detail` holds the host, or the server's own words):
    NameNotResolved,
    ConnectionRefused,
    NoAnswer,             // nothing within the bound; `detail` says at which step
    ServerClosed,
    ServerRefused,        // the server's text, e.g. its line is in use
    TelnetAtRawPort,      // tcp:// at a server that speaks Telnet
    RawAtTelnetPort,      // rfc2217:// at a server that does not
    Other,                // `detail` holds the system's own words
};

struct ComOpenFailure {
    ComOpenProblem problem = ComOpenProblem::None;
    std::string detail;
    // Held: by whom, and whether the only trace left is the exclusive mark of
    // a program that has ended.
    ComPortHolder holder;
    bool leftLocked = false;
    // NoPermission: the group that owns the port; "" when not known.
    std::string accessGroup;
};
