// The change log: what was changed on which unit, by whom and when, so that a plant can
// answer "who changed this unit, and when". One JSON object a line, appended whole, in
// the user's state folder ($XDG_STATE_HOME/zel5100util/changes.jsonl, on Windows
// %LOCALAPPDATA%\Zel5100Util\changes.jsonl).
#pragma once

#include <string>
#include <vector>

struct ChangeRecord {
    std::string time;          // UTC, "2026-12-10T15:52:47Z"; filled in when empty
    std::string user;          // filled in when empty
    std::string host;          // filled in when empty
    std::string program;       // "zelctl", "zel5100util"
    std::string action;        // "write", "restore", "reboot", "upgrade"
    std::string port;          // the port name as opened
    std::string serialNumber;  // "1.002.345"; empty when it could not be read
    std::string setting;       // "0x81:udp-port"; empty for a reboot
    std::string oldValue;      // as the user reads it; empty when not known
    std::string newValue;
    std::string outcome;  // "ok", or the failure's name ("ZEL_E_RX_FAILED")
};

// Where the log lives for this user.
std::string ChangeLogPath();

// Appends the record as one line. Never fails the caller: a log that cannot be written
// is reported once on stderr and the device operation goes on.
void LogChange(ChangeRecord record);

// The records of the log at `path`, oldest first; lines that are no record are skipped.
// False with the reason in `error` when the file exists but cannot be read.
bool ReadChangeLog(const std::string& path, std::vector<ChangeRecord>* records, std::string* error);

// One record as its JSON line (without the newline), and back.
std::string ChangeRecordLine(const ChangeRecord& record);
bool ParseChangeRecord(const std::string& line, ChangeRecord* record);

// "2026-12-10T15:52:47Z" for now.
std::string UtcNowText();
