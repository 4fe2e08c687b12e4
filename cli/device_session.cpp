#include "device_session.h"

#include <cstdio>
#include <cstdlib>

#include "change_log.h"
#include "change_log_setting.h"
#include "cli_errors.h"
#include "frame_trace.h"
#include "interrupt.h"
#include "remembered_port.h"
#include "serial_node_check.h"
#include "settings_model.h"
#include "standard_output.h"
#include "text_codes.h"
#include "write_guard.h"
#include "zel_restart_wait.h"

std::string ChoosePortName(const CliOptions& options) {
    std::string name = options.port;
    if (name.empty()) {
        const char* environment = std::getenv("ZELCTL_PORT");
        if (environment) name = environment;
    }
    if (name.empty()) name = RememberedComPort();
    if (name.empty()) {
        ThrowUsage(
            "no port given, ZELCTL_PORT is not set and the window remembers none: use --port NAME "
            "(zelctl ports lists the ports found)");
    }
    return ResolvePortName(name);
}

std::string OpenFailureText(const ComPort& port, int code) {
    if (code == COM_OPEN_NOT_SERIAL) return NotASerialPortText(port.name);
    std::string reason = ComOpenFailureHint(port);
    // Lower-case after the colon, as the tool's other messages are.
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') {
        reason[0] = char(reason[0] - 'A' + 'a');
    }
    const char* status = ComOpenStatusText(code);
    if (code != COM_OPEN_FAILED && status && *status)
        reason = reason.empty() ? status : reason + " (" + status + ")";
    return "cannot open port " + port.name + ": " + reason;
}

DeviceSession::DeviceSession(const CliOptions& options)
    : options_(options), portName_(ChoosePortName(options)) {
    const int code = OpenComPort(&port_, portName_);
    if (code != COM_OPEN_OK) {
        const std::string text = OpenFailureText(port_, code);
        CloseComPort(&port_);
        throw CliError(EXIT_DEVICE_FAILED, text, "port-unavailable");
    }
    if (options_.trace) {
        InstallFrameTrace(stderr);
        TraceNote("opened " + portName_ + " at 115200 8N1");
        const int roundTripMs = ComRoundTripMs(port_);
        if (roundTripMs >= 0) {
            TraceNote("round trip " + std::to_string(roundTripMs) +
                      " ms, added to every wait for the device");
        } else {
            TraceNote(port_.lockFile.empty() ? "no lock file: " + port_.lockNote
                                             : "lock file " + port_.lockFile);
        }
    }
    // The fleet's summary names every unit by its serial number, whatever the command reads.
    if (options_.unitSerial) {
        uint64_t serial = 0;
        const ZelResult result = TryRead(CataloguedSetting(ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER), &serial);
        // A unit that does not answer would fail the command's first read the same way, after as long again.
        if (result != ZEL_OK && !SettingRefused(result))
            ThrowDeviceFailure("reading the serial number", result);
        if (result == ZEL_OK) *options_.unitSerial = FormatSerialNumber(uint32_t(serial));
        serial_ = *options_.unitSerial;
        serialRead_ = true;
    }
}

DeviceSession::~DeviceSession() {
    RemoveFrameTrace();
    CloseComPort(&port_);
}

ZelResult DeviceSession::TryRead(const SettingAddress& address, uint64_t* value) {
    *value = 0;
    if (address.Size() <= 4) {
        uint32_t narrow = 0;
        const ZelResult result = ZelReadSetting(address.category, address.setting, &narrow);
        *value = narrow;
        return result;
    }
    return ZelReadSetting64(address.category, address.setting, value);
}

uint64_t DeviceSession::Read(const SettingAddress& address) {
    uint64_t value = 0;
    const ZelResult result = TryRead(address, &value);
    if (result != ZEL_OK) ThrowDeviceFailure("reading " + SettingText(address), result);
    return value;
}

uint64_t DeviceSession::Read(int category, int setting) {
    return Read(CataloguedSetting(category, setting));
}

ZelResult DeviceSession::TryWrite(const SettingAddress& address, uint32_t value) {
    // The commands refuse earlier, before any read; this keeps a write that slipped past them off the line.
    RefuseWhenReadOnly(options_, SettingText(address));
    return ZelWriteSetting(address.category, address.setting, value);
}

void DeviceSession::Write(const SettingAddress& address, uint32_t value) {
    const ZelResult result = TryWrite(address, value);
    if (result != ZEL_OK) ThrowDeviceFailure("writing " + SettingText(address), result);
}

const std::string& DeviceSession::SerialText() {
    if (!serialRead_) {
        uint64_t serial = 0;
        if (TryRead(CataloguedSetting(ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER), &serial) == ZEL_OK)
            serial_ = FormatSerialNumber(uint32_t(serial));
        serialRead_ = true;
    }
    return serial_;
}

void DeviceSession::RecordChange(const std::string& action, const std::string& setting,
                                 const std::string& oldValue, const std::string& newValue,
                                 const std::string& outcome) {
    ChangeRecord record;
    record.program = "zelctl";
    record.action = action;
    record.port = portName_;
    record.serialNumber = serial_;  // as read before the change; a restarting unit does not answer
    record.setting = setting;
    record.oldValue = oldValue;
    record.newValue = newValue;
    record.outcome = outcome;
    LogChange(record);
}

void DeviceSession::RecordWrite(const std::string& action, const SettingAddress& address,
                                const uint64_t* oldValue, uint64_t newValue, ZelResult result) {
    RecordChange(action, LoggedSettingName(address.category, address.setting),
                 oldValue ? LoggedValue(address.category, address.setting, *oldValue) : "",
                 LoggedValue(address.category, address.setting, newValue),
                 result == ZEL_OK || result == ZEL_REPLY_IGNORED ? "ok" : CliResultName(result));
}

DeviceIdentity DeviceSession::Identify() {
    DeviceIdentity identity;
    identity.type = uint32_t(Read(ZEL_CAT_DEVICE, ZEL_SET_TYPE));
    identity.mode = int(Read(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE));
    identity.firmwareVersion = int32_t(Read(ZEL_CAT_DEVICE, ZEL_SET_FIRMWARE_VERSION));
    return identity;
}

void DeviceSession::Note(const std::string& text) const {
    if (options_.quiet) return;
    WriteErrLine(PrintableLines(text));
}

DeviceIdentity DeviceSession::AwaitRestart() {
    Note("Waiting for the device to restart (at most " + std::to_string(RESTART_LIMIT_MS / 1000) + " s)");
    const RestartWaitOutcome outcome = AwaitRestartedDevice(RESTART_LIMIT_MS, [](int attempt) {
        TraceNote("restart wait: trying to establish contact - " + std::to_string(attempt));
    });
    if (outcome.result != ZEL_OK) {
        throw CliError(EXIT_DEVICE_FAILED,
                       "the device did not answer within " + std::to_string(RESTART_LIMIT_MS / 1000) +
                           " s after restarting (" + std::to_string(outcome.attempts) +
                           " reads of the mode, the last one " + CliResultName(outcome.lastRead) + ")",
                       CliResultName(outcome.lastRead));
    }
    const DeviceIdentity identity = Identify();
    Note("The device answers again: " + FormatDeviceType(identity.type) + " in mode " +
         std::to_string(identity.mode) + ", firmware " +
         FormatVersionTenths(uint32_t(identity.firmwareVersion)));
    return identity;
}

DeviceSession& SessionOnDemand::operator*() {
    if (!session_) session_ = std::make_unique<DeviceSession>(options_);
    return *session_;
}

int SessionOnDemand::UnitMode() {
    if (mode_ < 0) mode_ = int((**this).Read(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE));
    return mode_;
}
