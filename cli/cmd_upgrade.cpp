// upgrade: the window's firmware file check and transfer, with progress on stderr.
#include <algorithm>
#include <cstdio>

#include "cli_errors.h"
#include "commands.h"
#include "console.h"
#include "device_session.h"
#include "firmware_check.h"
#include "firmware_progress.h"
#include "firmware_stream.h"
#include "interrupt.h"
#include "json_outcome.h"
#include "standard_output.h"
#include "text_codes.h"
#include "write_guard.h"
#include "zel_upgrade.h"

namespace {

constexpr int kBarWidth = 30;

// Shows the transfer's progress: a bar redrawn in place on a terminal, a plain line per
// change otherwise, nothing when quiet.
class ProgressDisplay {
public:
    ProgressDisplay(bool quiet, bool terminal) : quiet_(quiet), terminal_(terminal) {}

    void Report(int phase, int percent) {
        if (quiet_ || (phase == phase_ && percent == percent_)) return;
        if (!terminal_) {
            WriteErrLine(FirmwareProgressText(phase, percent));
        } else {
            if (phase != phase_ && phase_ >= 0) std::fputc('\n', stderr);
            const int clamped = percent < 0 ? 0 : percent > 100 ? 100 : percent;
            const int filled = clamped * kBarWidth / 100;
            std::fprintf(stderr, "\r%-11s [%s%s] %3d%%", ZelUpgPhaseName(phase),
                         std::string(size_t(filled), '#').c_str(),
                         std::string(size_t(kBarWidth - filled), '.').c_str(), percent);
            drawn_ = true;
        }
        std::fflush(stderr);
        phase_ = phase;
        percent_ = percent;
    }

    void Finish() {
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = false;
    }

    // A unit that programs may not answer for a while: the silence is shown as it lasts.
    void Silence(int silentMs) {
        if (quiet_) return;
        Finish();
        if (silentMs > 0) {
            WriteErrLine("Programming: no answer from the device for " +
                         std::to_string((silentMs + 500) / 1000) + " s; still asking");
        } else {
            WriteErrLine("Programming: the device answers again");
        }
        std::fflush(stderr);
        phase_ = -1;  // the bar is drawn anew
    }

private:
    bool quiet_;
    bool terminal_;
    bool drawn_ = false;
    int phase_ = -1;
    int percent_ = -1;
};

// What an upgrade that ends early leaves the unit with, as far as the transfer got, and
// the command that tries again. Keeps the texts a Ctrl+C shows up to date.
class UpgradeState {
public:
    // `ownsInterrupt`: the texts a Ctrl+C shows are this upgrade's (in a fleet, the fleet's).
    UpgradeState(bool typeTwo, const std::string& port, const std::string& file, bool ownsInterrupt)
        : typeTwo_(typeTwo),
          ownsInterrupt_(ownsInterrupt),
          retry_("To try again: zelctl --port " + port + " upgrade " + file) {
        Refresh();
    }
    ~UpgradeState() {
        if (ownsInterrupt_) SetConfirmedInterrupt(nullptr, nullptr);
    }
    UpgradeState(const UpgradeState&) = delete;
    UpgradeState& operator=(const UpgradeState&) = delete;

    void Reached(int phase, int percent) {
        if (phase == phase_ && percent == percent_) return;
        phase_ = phase;
        percent_ = percent;
        Refresh();
    }

    // One paragraph: the unit's state and the command to retry.
    std::string Paragraph() const { return State() + " " + retry_ + "."; }

private:
    std::string State() const {
        if (typeTwo_) {
            // The erase is asked for before the first part; it cannot be undone.
            const bool erased =
                phase_ > ZEL_UPG_PHASE_INIT || (phase_ == ZEL_UPG_PHASE_INIT && percent_ >= 20);
            return erased ? "The unit's firmware is erased: upload the file again before power-cycling the "
                            "unit, "
                            "or it will not start."
                          : "The unit's firmware may already be erased: upload the file again before "
                            "power-cycling the unit.";
        }
        if (phase_ >= ZEL_UPG_PHASE_PROGRAMMING) {
            return "The unit was told to program the new firmware and may still be doing so: leave it "
                   "powered "
                   "until it answers again and check its version with zelctl info; if it still runs the old "
                   "firmware, nothing was programmed.";
        }
        return "The old firmware still runs on the unit: nothing was programmed.";
    }

    void Refresh() {
        if (!ownsInterrupt_) return;
        // The texts are written into the pair the handler does not see, then shown to it.
        const int slot = 1 - shown_;
        warning_[slot] = "\nzelctl: stopping now ends the upgrade unfinished. " + State() +
                         "\nPress Ctrl+C again within 3 s to stop; otherwise the upgrade goes on.\n";
        ending_[slot] = "\nzelctl: upgrade interrupted. " + Paragraph() + "\n";
        SetConfirmedInterrupt(warning_[slot].c_str(), ending_[slot].c_str());
        shown_ = slot;
    }

    bool typeTwo_;
    bool ownsInterrupt_;
    std::string retry_;
    int phase_ = -1;
    int percent_ = -1;
    std::string warning_[2];
    std::string ending_[2];
    int shown_ = 1;
};

struct UpgradeView {
    ProgressDisplay* display;
    UpgradeState* state;
};

void ShowProgress(void* context, int phase, int percent) {
    UpgradeView* view = static_cast<UpgradeView*>(context);
    view->state->Reached(phase, percent);
    view->display->Report(phase, percent);
}

void ShowSilence(void* context, int silentMs) {
    static_cast<UpgradeView*>(context)->display->Silence(silentMs);
}

// A unit firmware version as typed: tenths ("23") or dotted ("2.3", "v2.3").
int32_t ParseUnitFirmware(const std::string& text) {
    std::string digits = text;
    if (!digits.empty() && (digits[0] == 'v' || digits[0] == 'V')) digits.erase(0, 1);
    const size_t dot = digits.find('.');
    int64_t whole = 0;
    int64_t tenth = 0;
    const bool dotted = dot != std::string::npos;
    const bool ok = dotted ? ParseInteger(digits.substr(0, dot), &whole) && digits.size() == dot + 2 &&
                                 digits[dot + 1] >= '0' && digits[dot + 1] <= '9'
                           : ParseInteger(digits, &whole);
    if (dotted) tenth = digits.back() - '0';
    const int64_t tenths = dotted ? whole * 10 + tenth : whole;
    if (!ok || whole < 0 || tenths > 9999) {
        ThrowUsage("upgrade: --firmware takes the unit's firmware version, 23 or v2.3, not '" + text + "'");
    }
    return int32_t(tenths);
}

FirmwareCheck CheckAgainst(const std::string& path, int32_t unitFirmware) {
    FirmwareStream stream;
    FirmwareCheck check = CheckFirmwareFile(path, unitFirmware, stream);
    stream.Close();
    return check;
}

std::string PartsText(int32_t storedSize) {
    const int64_t parts = (int64_t(storedSize) + ZEL_PART_SIZE - 1) / ZEL_PART_SIZE;
    return std::to_string(storedSize) + " bytes, " + std::to_string(parts) + " part" +
           (parts == 1 ? "" : "s");
}

// upgrade --check: the file alone, or against a unit's firmware given on the command line.
int CheckOnly(const CliOptions& options, const std::string& path) {
    // A unit new enough for every file: what is refused then is the file itself.
    const int32_t newest = std::max(FIRMWARE_NEEDED_FOR_ZLIB, FIRMWARE_NEEDED_FOR_NEWER_IMAGE);
    const FirmwareCheck wellFormed = CheckAgainst(path, newest);
    if (wellFormed.result != FwCheckOk) throw CliError(EXIT_FIRMWARE_REFUSED, wellFormed.text);
    int32_t lowest = newest;
    for (int32_t version : {int32_t(0), FIRMWARE_NEEDED_FOR_ZLIB, FIRMWARE_NEEDED_FOR_NEWER_IMAGE}) {
        if (version < lowest && CheckAgainst(path, version).result == FwCheckOk) lowest = version;
    }
    const bool against = options.Has("--firmware");
    const int32_t unit = against ? ParseUnitFirmware(options.firmware) : 0;
    if (against) {
        const FirmwareCheck check = CheckAgainst(path, unit);
        if (check.result != FwCheckOk) throw CliError(EXIT_FIRMWARE_REFUSED, check.text);
    }
    const std::string lowestText = lowest > 0 ? FormatVersionTenths(uint32_t(lowest)) + " or newer" : "any";
    if (options.json) {
        Json& document = JsonOutcome();
        document["file"] = path;
        document["wellFormed"] = true;
        document["storedSize"] = wellFormed.storedSize;
        document["parts"] = (int64_t(wellFormed.storedSize) + ZEL_PART_SIZE - 1) / ZEL_PART_SIZE;
        document["minUnitFirmware"] = lowest;
        document["minUnitFirmwareText"] = FormatVersionTenths(uint32_t(lowest));
        if (against) document["unitFirmware"] = unit;
        return 0;
    }
    PrintOut("%s: a well-formed firmware file (%s); unit firmware needed: %s\n", Printable(path).c_str(),
             PartsText(wellFormed.storedSize).c_str(), lowestText.c_str());
    if (against)
        PrintOut("A unit with firmware %s can take it.\n", FormatVersionTenths(uint32_t(unit)).c_str());
    return 0;
}

}  // namespace

int RunUpgrade(const CliOptions& options) {
    const std::string path = ExpectArgs(options, 1, 1, "FILE")[0];
    if (options.check || options.Has("--firmware")) return CheckOnly(options, path);
    RefuseWhenReadOnly(options, "firmware to the unit (upgrade --check only reads the file)");
    DeviceSession session(options);
    const DeviceIdentity identity = session.Identify();

    FirmwareStream stream;
    const FirmwareCheck check = CheckFirmwareFile(path, identity.firmwareVersion, stream);
    if (check.result != FwCheckOk) throw CliError(EXIT_FIRMWARE_REFUSED, check.text);
    ConfirmOffAir(options, "program " + Printable(path) + " into the unit", session.PortName());

    session.Note("Sending " + path + " (" + PartsText(check.storedSize) + ") to the " +
                 FormatDeviceType(identity.type) + " with firmware " +
                 FormatVersionTenths(uint32_t(identity.firmwareVersion)));
    // Bars of several units redrawn in place would overwrite each other: a fleet's units print lines.
    session.SerialText();
    const std::string before = FormatVersionTenths(uint32_t(identity.firmwareVersion));
    ProgressDisplay display(options.quiet, !options.fleetUnit && StandardErrorIsTerminal());
    ZelResult result = ZEL_OK;
    std::string paragraph;
    {
        UpgradeState state(identity.type == uint32_t(ZEL_DEVICE_TYPE_5137), session.PortName(), path,
                           !options.fleetUnit);
        UpgradeView view{&display, &state};
        ZelSetUpgradeHooks(FirmwareStream::ReadPartHook, &stream, ShowProgress, &view);
        ZelSetUpgradeSilenceHook(ShowSilence, &view);
        result = ZelUpgradeFirmware(check.storedSize);
        ZelSetUpgradeSilenceHook(nullptr, nullptr);
        ZelSetUpgradeHooks(nullptr, nullptr, nullptr, nullptr);
        paragraph = state.Paragraph();
    }
    display.Finish();
    stream.Close();
    if (options.json) {
        Json& document = JsonOutcome();
        document["port"] = session.PortName();
        document["file"] = path;
        document["firmwareBefore"] = identity.firmwareVersion;
        document["transferred"] = result == ZEL_OK;
    }
    if (result != ZEL_OK) session.RecordChange("upgrade", "firmware", before, path, CliResultName(result));
    if (ZelLineGone(result)) {
        throw CliError(EXIT_DEVICE_FAILED,
                       "Error while upgrading firmware: the line to the device is gone (" +
                           CliResultName(result) + ").\n" + paragraph,
                       CliResultName(result));
    }
    if (result != ZEL_OK) {
        throw CliError(
            EXIT_DEVICE_FAILED,
            DeviceFailureText("Error while upgrading firmware: the transfer", result) + "\n" + paragraph,
            CliResultName(result));
    }

    session.Note("Firmware uploaded");
    DeviceIdentity after;
    try {
        after = session.AwaitRestart();
    } catch (const CliError& error) {
        session.RecordChange("upgrade", "firmware", before, path, "transferred; " + error.Result());
        throw;
    }
    session.RecordChange("upgrade", "firmware", before,
                         FormatVersionTenths(uint32_t(after.firmwareVersion)) + " (" + path + ")", "ok");
    if (options.json) {
        JsonOutcome()["firmwareVersion"] = after.firmwareVersion;
        JsonOutcome()["firmwareVersionText"] = FormatVersionTenths(uint32_t(after.firmwareVersion));
        return 0;
    }
    PrintOut("%s\n", FormatVersionTenths(uint32_t(after.firmwareVersion)).c_str());
    return 0;
}
