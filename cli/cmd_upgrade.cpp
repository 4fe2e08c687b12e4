// upgrade: the window's firmware file check and transfer, with progress on stderr.
#include <cstdio>
#include <unistd.h>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "firmware_check.h"
#include "firmware_progress.h"
#include "firmware_stream.h"
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

private:
    bool quiet_;
    bool terminal_;
    bool drawn_ = false;
    int phase_ = -1;
    int percent_ = -1;
};

void ShowProgress(void* context, int phase, int percent) {
    static_cast<ProgressDisplay*>(context)->Report(phase, percent);
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
    ZelSetUpgradeHooks(FirmwareStream::ReadPartHook, &stream, ShowProgress, &display);
    const ZelResult result = ZelUpgradeFirmware(check.storedSize);
    ZelSetUpgradeHooks(nullptr, nullptr, nullptr, nullptr);
    display.Finish();
    stream.Close();
    if (result != ZEL_OK) ThrowDeviceFailure("Error while upgrading firmware: the transfer", result);

    session.Note("Firmware uploaded");
    const DeviceIdentity after = session.AwaitRestart();
    std::printf("%s\n", FormatVersionTenths(uint32_t(after.firmwareVersion)).c_str());
    return 0;
}
