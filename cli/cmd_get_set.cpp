// get and set: one setting at a time, named by number or by the model's name.
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "json_outcome.h"
#include "setting_names.h"
#include "setting_output.h"
#include "settings_model.h"
#include "standard_output.h"
#include "write_guard.h"

namespace {

void PrintSetting(const CliOptions& options, const SettingAddress& address, uint64_t value) {
    const ValueFormat format = SettingFormat(address);
    if (options.json) {
        // Printed at the end, with the failure's members when the value was not the one written.
        JsonOutcome() = SettingJson(address, value, format);
    } else {
        WriteOut(FormatValue(format, value) + "\n");
    }
}

// What set may write: the settings the window has a write button for. Commands such as
// Reboot, Persist or the upgrade's own are refused: reboot and upgrade are their ways.
const SettingView& WritableView(const SettingAddress& address) {
    const SettingView* view = FindSettingView(address.category, address.setting);
    if (view && view->write != WriteKind::None) return *view;
    std::string hint = "; zelctl settings lists those that can be written";
    if (address.category == ZEL_CAT_NETWORK && address.setting == ZEL_SET_REBOOT)
        hint = "; use zelctl reboot";
    if (address.category == ZEL_CAT_UPGRADE_TYPE1 || address.category == ZEL_CAT_UPGRADE_TYPE2)
        hint = "; firmware goes to the unit with zelctl upgrade";
    throw CliError(EXIT_USAGE,
                   SettingText(address) + " cannot be written with set: it is " +
                       (view ? "shown only" : "not a setting of the window") + hint + "; nothing was sent",
                   "not-writable");
}

}  // namespace

int RunGet(const CliOptions& options) {
    const std::vector<std::string>& words = ExpectArgs(options, 1, 2, "NAME, CAT:SETTING or CAT SETTING");
    SessionOnDemand session(options);
    const UnitModeFn mode = [&session] { return session.UnitMode(); };
    const SettingAddress address =
        words.size() == 1 ? ResolveSetting(words[0], mode) : ResolveSetting(words[0], words[1], mode);
    PrintSetting(options, address, session->Read(address));
    return 0;
}

int RunSet(const CliOptions& options) {
    const std::vector<std::string>& words = ExpectArgs(options, 2, 3, "NAME VALUE or CAT SETTING VALUE");
    SessionOnDemand session(options);
    const UnitModeFn mode = [&session] { return session.UnitMode(); };
    const SettingAddress address =
        words.size() == 2 ? ResolveSetting(words[0], mode) : ResolveSetting(words[0], words[1], mode);
    const uint32_t value = ParseSettingValue(address, words.back());
    const SettingView& view = WritableView(address);
    RefuseWhenReadOnly(options, SettingText(address));
    const bool restarts = view.write == WriteKind::Restart;
    if (restarts)
        ConfirmOffAir(options, "write " + SettingText(address) + " and restart the unit",
                      session->PortName());

    // The value before, for the change log; a setting that cannot be read is still written.
    uint64_t before = 0;
    const bool known = session->TryRead(address, &before) == ZEL_OK;
    session->SerialText();
    const ZelResult written = session->TryWrite(address, value);
    session->RecordWrite("write", address, known ? &before : nullptr, value, written);
    if (written != ZEL_OK) ThrowDeviceFailure("writing " + SettingText(address), written);
    if (restarts) {
        session->AwaitRestart();
        const uint64_t held = session->Read(address);
        PrintSetting(options, address, held);
        if (held != value) {
            throw CliError(EXIT_DEVICE_FAILED,
                           "after restarting the device holds " + std::to_string(held) + " in " +
                               SettingText(address) + ", not the " + std::to_string(value) + " written",
                           "value-not-taken");
        }
        return 0;
    }

    const uint64_t held = session->Read(address);
    PrintSetting(options, address, held);
    if (IsNetworkSetting(address.category, address.setting)) {
        session->Note("Network settings take effect when the device next restarts (zelctl reboot).");
    }
    if (WriteTakesEffectAtOnce(address.category, address.setting) && held != value) {
        // The device answered the write but kept another value: the write did not take.
        const ValueFormat format = SettingFormat(address);
        throw CliError(EXIT_DEVICE_FAILED,
                       "the device kept " + FormatValue(format, held) + " in " + SettingText(address) +
                           ", not the " + FormatValue(format, value) + " written",
                       "value-not-taken");
    }
    return 0;
}
