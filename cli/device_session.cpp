#include "device_session.h"

#include <cerrno>
#include <cstdio>
#include <grp.h>
#include <sys/stat.h>

#include "cli_errors.h"
#include "frame_trace.h"
#include "interrupt.h"
#include "text_codes.h"
#include "remembered_port.h"
#include "zel_restart_wait.h"
#include "setting_views.h"

namespace {

std::string OwningGroup(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "";
    if (const group* entry = getgrgid(info.st_gid); entry && entry->gr_name) return entry->gr_name;
    return "";
}

}  // namespace

std::string ChoosePortName(const CliOptions& options) {
    std::string name = options.port;
    if (name.empty()) name = RememberedComPort();
    if (name.empty()) {
        ThrowUsage("no port given and the window remembers none: use --port NAME "
                   "(zelctl ports lists the ports found)");
    }
    return ResolvePortName(name);
}

std::string OpenFailureText(const std::string& name, int code, int lastErrno) {
    std::string reason;
    switch (lastErrno) {
    case ENOENT:
    case ENODEV:
    case ENXIO: reason = "no such port"; break;
    case EBUSY:
        reason = "the port is held by another program (the window, another zelctl, a terminal "
                 "program): close it there first";
        break;
    case EACCES:
    case EPERM: {
        const std::string group = OwningGroup(name);
        reason = "permission denied: join the group that owns the port (" +
                 (group.empty() ? std::string("typically dialout") : group) +
                 "), for example with: sudo usermod -aG " +
                 (group.empty() ? std::string("dialout") : group) + " $USER, then log in again";
        break;
    }
    default: {
        reason = ComOpenFailureHint(lastErrno);
        const char* status = ComOpenStatusText(code);
        if (status && *status) reason = reason.empty() ? status : reason + " (" + status + ")";
    }
    }
    return "cannot open port " + name + ": " + reason;
}

DeviceSession::DeviceSession(const CliOptions& options)
    : options_(options), portName_(ChoosePortName(options)) {
    const int code = OpenComPort(&port_, portName_);
    if (code != COM_OPEN_OK) {
        const int error = port_.lastErrno;
        CloseComPort(&port_);
        throw CliError(EXIT_DEVICE_FAILED, OpenFailureText(portName_, code, error));
    }
    SetInterruptPort(port_.fd);
    if (options_.trace) {
        InstallFrameTrace(stderr);
        TraceNote("opened " + portName_ + " at 115200 8N1");
    }
}

DeviceSession::~DeviceSession() {
    RemoveFrameTrace();
    SetInterruptPort(-1);
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
    return ZelWriteSetting(address.category, address.setting, value);
}

void DeviceSession::Write(const SettingAddress& address, uint32_t value) {
    const ZelResult result = TryWrite(address, value);
    if (result != ZEL_OK) ThrowDeviceFailure("writing " + SettingText(address), result);
}

DeviceIdentity DeviceSession::Identify() {
    DeviceIdentity identity;
    identity.type = uint32_t(Read(TYPE_CATEGORY, TYPE_SETTING));
    identity.mode = int(Read(MODE_CATEGORY, MODE_SETTING));
    identity.firmwareVersion = int32_t(Read(FIRMWARE_CATEGORY, FIRMWARE_SETTING));
    return identity;
}

void DeviceSession::Note(const std::string& text) const {
    if (options_.quiet) return;
    std::fprintf(stderr, "%s\n", PrintableLines(text).c_str());
    std::fflush(stderr);
}

DeviceIdentity DeviceSession::AwaitRestart() {
    Note("Waiting for the device to restart (at most " + std::to_string(RESTART_LIMIT_MS / 1000) +
         " s)");
    const RestartWaitOutcome outcome = AwaitRestartedDevice(RESTART_LIMIT_MS, [](int attempt) {
        TraceNote("restart wait: trying to establish contact - " + std::to_string(attempt));
    });
    if (outcome.result != ZEL_OK) {
        throw CliError(EXIT_DEVICE_FAILED,
                       "the device did not answer within " + std::to_string(RESTART_LIMIT_MS / 1000) +
                           " s after restarting (" + std::to_string(outcome.attempts) +
                           " reads of the mode, the last one " + CliResultName(outcome.lastRead) +
                           ")\n" + ZelErrorMessage(outcome.lastRead));
    }
    const DeviceIdentity identity = Identify();
    Note("The device answers again: " + FormatDeviceType(identity.type) + " in mode " +
         std::to_string(identity.mode) + ", firmware " + FormatVersionTenths(uint32_t(identity.firmwareVersion)));
    return identity;
}
