// upgrade: the window's firmware file check and transfer, with progress on stderr.
#include <cstdio>
#include <unistd.h>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "firmware_check.h"
#include "firmware_progress.h"
#include "firmware_stream.h"
#include "interrupt.h"
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
            std::fprintf(stderr, "%s\n", FirmwareProgressText(phase, percent).c_str());
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
            std::fprintf(stderr, "Programming: no answer from the device for %d s; still asking\n",
                         (silentMs + 500) / 1000);
        } else {
            std::fprintf(stderr, "Programming: the device answers again\n");
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
    UpgradeState(bool typeTwo, const std::string& port, const std::string& file)
        : typeTwo_(typeTwo), retry_("To try again: zelctl --port " + port + " upgrade " + file) {
        Refresh();
    }
    ~UpgradeState() { SetConfirmedInterrupt(nullptr, nullptr); }
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
            const bool erased = phase_ > ZEL_UPG_PHASE_INIT || (phase_ == ZEL_UPG_PHASE_INIT && percent_ >= 20);
            return erased ? "The unit's firmware is erased: upload the file again before power-cycling the unit, "
                            "or it will not start."
                          : "The unit's firmware may already be erased: upload the file again before "
                            "power-cycling the unit.";
        }
        if (phase_ >= ZEL_UPG_PHASE_PROGRAMMING) {
            return "The unit was told to program the new firmware and may still be doing so: leave it powered "
                   "until it answers again and check its version with zelctl info; if it still runs the old "
                   "firmware, nothing was programmed.";
        }
        return "The old firmware still runs on the unit: nothing was programmed.";
    }

    void Refresh() {
        // The texts are written into the pair the handler does not see, then shown to it.
        const int slot = 1 - shown_;
        warning_[slot] = "\nzelctl: stopping now ends the upgrade unfinished. " + State() +
                         "\nPress Ctrl+C again within 3 s to stop; otherwise the upgrade goes on.\n";
        ending_[slot] = "\nzelctl: upgrade interrupted. " + Paragraph() + "\n";
        SetConfirmedInterrupt(warning_[slot].c_str(), ending_[slot].c_str());
        shown_ = slot;
    }

    bool typeTwo_;
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

}  // namespace

int RunUpgrade(const CliOptions& options, CommandArgs& args) {
    const std::string path = args.Expect(1, 1, "FILE")[0];
    DeviceSession session(options);
    const DeviceIdentity identity = session.Identify();

    FirmwareStream stream;
    const FirmwareCheck check = CheckFirmwareFile(path, identity.firmwareVersion, stream);
    if (check.result != FwCheckOk) throw CliError(EXIT_FIRMWARE_REFUSED, check.text);

    session.Note("Sending " + path + " (" + std::to_string(check.storedSize) + " bytes, " +
                 std::to_string((int64_t(check.storedSize) + ZEL_PART_SIZE - 1) / ZEL_PART_SIZE) + " parts) to the " +
                 FormatDeviceType(identity.type) + " with firmware " +
                 FormatVersionTenths(uint32_t(identity.firmwareVersion)));
    ProgressDisplay display(options.quiet, isatty(STDERR_FILENO) != 0);
    ZelResult result = ZEL_OK;
    std::string paragraph;
    {
        UpgradeState state(identity.type == uint32_t(ZEL_DEVICE_TYPE_5137), session.PortName(), path);
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
    if (ZelLineGone(result)) {
        throw CliError(EXIT_DEVICE_FAILED, "Error while upgrading firmware: the line to the device is gone (" +
                                               CliResultName(result) + ").\n" + paragraph);
    }
    if (result != ZEL_OK) {
        throw CliError(EXIT_DEVICE_FAILED,
                       DeviceFailureText("Error while upgrading firmware: the transfer", result) + "\n" + paragraph);
    }

    session.Note("Firmware uploaded");
    const DeviceIdentity after = session.AwaitRestart();
    std::printf("%s\n", FormatVersionTenths(uint32_t(after.firmwareVersion)).c_str());
    return 0;
}
