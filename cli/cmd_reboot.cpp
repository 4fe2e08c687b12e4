// reboot: the reboot command, then the wait until the device answers again.
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "standard_output.h"

int RunReboot(const CliOptions& options, CommandArgs& args) {
    args.Expect(0, 0, "no arguments");
    DeviceSession session(options);
    session.Note("Write reboot command");
    // The reboot write awaits no reply, so it counts as done once sent.
    const ZelResult result = session.TryWrite(CataloguedSetting(ZEL_CAT_NETWORK, ZEL_SET_REBOOT), 1);
    if (result != ZEL_OK && result != ZEL_REPLY_IGNORED) ThrowDeviceFailure("writing the reboot command", result);
    const DeviceIdentity identity = session.AwaitRestart();
    PrintOut("%s mode %d\n", FormatDeviceType(identity.type).c_str(), identity.mode);
    return 0;
}
