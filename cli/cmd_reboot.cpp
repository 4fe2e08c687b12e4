// reboot: the reboot command, then the wait until the device answers again.
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "json_outcome.h"
#include "standard_output.h"
#include "write_guard.h"

int RunReboot(const CliOptions& options) {
    ExpectArgs(options, 0, 0, "no arguments");
    const SettingAddress reboot = CataloguedSetting(ZEL_CAT_NETWORK, ZEL_SET_REBOOT);
    RefuseWhenReadOnly(options, "the reboot command (" + SettingText(reboot) + ")");
    DeviceSession session(options);
    ConfirmOffAir(options, "reboot the unit", session.PortName());
    session.Note("Write reboot command");
    // The reboot write awaits no reply, so it counts as done once sent.
    session.SerialText();
    const ZelResult result = session.TryWrite(reboot, 1);
    session.RecordChange("reboot", "", "", "",
                         result == ZEL_OK || result == ZEL_REPLY_IGNORED ? "ok" : CliResultName(result));
    if (result != ZEL_OK && result != ZEL_REPLY_IGNORED)
        ThrowDeviceFailure("writing the reboot command", result);
    if (options.json) JsonOutcome()["rebootSent"] = true;
    const DeviceIdentity identity = session.AwaitRestart();
    if (options.json) {
        Json& document = JsonOutcome();
        document["port"] = session.PortName();
        document["type"] = identity.type;
        document["typeText"] = FormatDeviceType(identity.type);
        document["mode"] = identity.mode;
        document["firmwareVersion"] = identity.firmwareVersion;
        document["firmwareVersionText"] = FormatVersionTenths(uint32_t(identity.firmwareVersion));
        return 0;
    }
    PrintOut("%s mode %d\n", FormatDeviceType(identity.type).c_str(), identity.mode);
    return 0;
}
