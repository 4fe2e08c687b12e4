// monitor: settings polled at an interval, one line per poll.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "cli_errors.h"
#include "commands.h"
#include "device_session.h"
#include "interrupt.h"
#include "local_time.h"
#include "setting_names.h"
#include "setting_output.h"

namespace {

int64_t ParseCount(const std::string& text) {
    int64_t count = 0;
    if (!ParseInteger(text, &count) || count < 1) {
        ThrowUsage("monitor: --count takes a whole number of polls of 1 or more, not '" + text + "'");
    }
    return count;
}

// Waits until `until`, in short steps so that an interrupt or a line that goes away
// is noticed soon.
void WaitUntil(std::chrono::steady_clock::time_point until, const DeviceSession& session) {
    while (!InterruptRequested() && !session.LineGone()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(100)));
    }
}

}  // namespace

int RunMonitor(const CliOptions& options) {
    const double interval =
        options.Has("--interval") ? ParseIntervalSeconds("monitor", options.interval, 0) : 1.0;
    const int64_t count = options.Has("--count") ? ParseCount(options.count) : -1;
    SessionOnDemand device(options);
    const UnitModeFn mode = [&device] { return device.UnitMode(); };
    std::vector<SettingAddress> addresses;
    for (const std::string& word : ExpectArgs(options, 1, -1, "one or more NAME or CAT:SETTING")) {
        addresses.push_back(ResolveSetting(word, mode));
    }

    DeviceSession& session = *device;
    SetGracefulInterrupt(true);
    const auto step = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(interval));
    auto next = std::chrono::steady_clock::now();
    bool anyFailed = false;
    bool lineGone = false;

    for (int64_t poll = 0; (count < 0 || poll < count) && !InterruptRequested(); ++poll) {
        if (poll > 0) {
            // Polls keep to the interval's grid; one that overran starts the next at once.
            next += step;
            const auto now = std::chrono::steady_clock::now();
            if (next < now) next = now;
            WaitUntil(next, session);
            if (InterruptRequested()) break;
            if (session.LineGone()) {
                lineGone = true;
                break;
            }
        }
        const std::string stamp = LocalTimeText(true, true);
        Json values = Json::array();
        std::string line = stamp;
        for (const SettingAddress& address : addresses) {
            uint64_t value = 0;
            const ZelResult result = session.TryRead(address, &value);
            const ValueFormat format = SettingFormat(address);
            if (result != ZEL_OK) anyFailed = true;
            // A silent unit is polled on; a line that is gone ends the monitor.
            if (ZelLineGone(result)) lineGone = true;
            if (options.json) {
                values.push_back(result == ZEL_OK ? SettingJson(address, value, format)
                                                  : SettingErrorJson(address, result));
            } else {
                line += " " + CategoryText(address.category) + ":" + std::to_string(address.setting) + "=" +
                        (result == ZEL_OK ? FormatValue(format, value) : CliResultName(result));
            }
        }
        if (options.json) {
            Json document = Json::object();
            document["time"] = stamp;
            document["values"] = std::move(values);
            line = JsonText(document);
        }
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        if (lineGone || session.LineGone()) {
            lineGone = true;
            break;
        }
    }
    SetGracefulInterrupt(false);
    if (lineGone) {
        throw CliError(EXIT_DEVICE_FAILED,
                       "the line to the device is gone (" + session.PortName() + " was hung up or unplugged)",
                       "line-gone");
    }
    if (anyFailed) {
        throw CliError(EXIT_DEVICE_FAILED, "some values could not be read (see the lines above)",
                       "setting-refused");
    }
    return 0;
}
