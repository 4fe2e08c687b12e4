// get and set: one setting at a time.
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "setting_output.h"
#include "settings_model.h"

namespace {

void PrintSetting(const CliOptions& options, const SettingAddress& address, uint64_t value) {
    const ValueFormat format = SettingFormat(address);
    if (options.json) {
        std::printf("%s\n", SettingJson(address, value, format).Serialize().c_str());
    } else {
        std::printf("%s\n", FormatValue(format, value).c_str());
    }
}

}  // namespace

int RunGet(const CliOptions& options, CommandArgs& args) {
    const std::vector<std::string> words = args.Expect(2, 2, "CAT SETTING");
    const SettingAddress address = ParseSettingAddress(words[0], words[1]);
    DeviceSession session(options);
    PrintSetting(options, address, session.Read(address));
    return 0;
}

int RunSet(const CliOptions& options, CommandArgs& args) {
    const std::vector<std::string> words = args.Expect(3, 3, "CAT SETTING VALUE");
    const SettingAddress address = ParseSettingAddress(words[0], words[1]);
    const uint32_t value = ParseSettingValue(address, words[2]);
    DeviceSession session(options);

    if (address.category == ZEL_CAT_NETWORK && address.setting == ZEL_SET_REBOOT) {
        // The reboot write awaits no reply: sent is done.
        const ZelResult result = session.TryWrite(address, value);
        if (result != ZEL_OK && result != ZEL_REPLY_IGNORED) {
            ThrowDeviceFailure("writing " + SettingText(address), result);
        }
        session.AwaitRestart();
        return 0;
    }

    session.Write(address, value);
    if (WriteRestartsDevice(address.category, address.setting)) {
        session.AwaitRestart();
        const uint64_t held = session.Read(address);
        PrintSetting(options, address, held);
        if (held != value) {
            throw CliError(EXIT_DEVICE_FAILED, "after restarting the device holds " + std::to_string(held) +
                                                   " in " + SettingText(address) + ", not the " +
                                                   std::to_string(value) + " written");
        }
        return 0;
    }

    const uint64_t held = session.Read(address);
    PrintSetting(options, address, held);
    if (IsNetworkSetting(address.category, address.setting)) {
        session.Note("Network settings take effect when the device next restarts (zelctl reboot).");
    }
    if (WriteTakesEffectAtOnce(address.category, address.setting) && held != value) {
        // The device answered the write but kept another value: the write did not take.
        const ValueFormat format = SettingFormat(address);
        throw CliError(EXIT_DEVICE_FAILED, "the device kept " + FormatValue(format, held) + " in " +
                                               SettingText(address) + ", not the " + FormatValue(format, value) +
                                               " written");
    }
    return 0;
}
