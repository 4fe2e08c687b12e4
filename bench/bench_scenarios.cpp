#include "bench_scenarios.h"

#include <sys/resource.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "settings_model.h"
#include "zel_upgrade.h"

namespace {

constexpr int kBaud = 115200;
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// What is taken at the start and the end of the timed stretch.
struct Mark {
    double wall = 0;
    double cpu = 0;
    WireCount wire;

    static Mark Now(const WireMeter& meter) { return {WallSeconds(), ThreadCpuSeconds(), meter.Count()}; }
};

void Between(const Mark& start, const Mark& end, ScenarioRun* run) {
    run->wallSeconds = end.wall - start.wall;
    run->cpuSeconds = end.cpu - start.cpu;
    run->wire = end.wire - start.wire;
}

ZelResult ReadOne(int category, int setting) {
    if (ZelSettingSize(category, setting) > 4) {
        uint64_t value = 0;
        return ZelReadSetting64(category, setting, &value);
    }
    uint32_t value = 0;
    return ZelReadSetting(category, setting, &value);
}

std::string Failed(int category, int setting, ZelResult result) {
    char text[96];
    std::snprintf(text, sizeof text, "read of 0x%02X/%d: %s", category, setting, ZelResultName(result));
    return text;
}

// The upload's image and the marks its progress reports set.
struct UploadState {
    const WireMeter* meter = nullptr;
    std::vector<uint8_t> image;
    size_t offset = 0;
    int lastUploadingPercent = 0;
    bool started = false;
    bool ended = false;
    Mark start, end;
};

ZelResult ReadImagePart(void* context, uint8_t* destination, int count) {
    auto* state = static_cast<UploadState*>(context);
    if (count < 1 || state->offset + size_t(count) > state->image.size()) return ZEL_E_UPG_FILE_ERROR;
    std::copy(state->image.begin() + long(state->offset), state->image.begin() + long(state->offset) + count,
              destination);
    state->offset += size_t(count);
    return ZEL_OK;
}

void MarkProgress(void* context, int phase, int percent) {
    auto* state = static_cast<UploadState*>(context);
    // The set-up ends with (Init, 100) just before the first part; the report after the
    // last part is the last of the Uploading phase.
    if (phase == ZEL_UPG_PHASE_INIT && percent == 100) {
        state->start = Mark::Now(*state->meter);
        state->started = true;
    } else if (phase == ZEL_UPG_PHASE_UPLOADING && percent == state->lastUploadingPercent) {
        state->end = Mark::Now(*state->meter);
        state->ended = true;
    }
}

}  // namespace

ScenarioRun TimeSingleReads(const WireMeter& meter, int category, int setting, int repeats) {
    ScenarioRun run;
    run.operations = repeats;
    Mark start = Mark::Now(meter);
    for (int i = 0; i < repeats && run.failure.empty(); ++i) {
        const double opStart = WallSeconds();
        ZelResult result = ReadOne(category, setting);
        run.opSeconds.push_back(WallSeconds() - opStart);
        if (result != ZEL_OK) run.failure = Failed(category, setting, result);
    }
    Between(start, Mark::Now(meter), &run);
    return run;
}

ScenarioRun TimeFullRefresh(const WireMeter& meter, int mode, int32_t firmwareVersion, int repeats) {
    ScenarioRun run;
    run.operations = repeats;
    Mark start = Mark::Now(meter);
    for (int i = 0; i < repeats && run.failure.empty(); ++i) {
        const double opStart = WallSeconds();
        for (const PanelView& panel : WindowPanels()) {
            if (!PanelUsable(panel, mode)) continue;
            for (const SettingView& view : panel.settings) {
                if (!SettingOffered(view, firmwareVersion)) continue;
                ZelResult result = ReadOne(view.category, view.setting);
                if (result != ZEL_OK && run.failure.empty())
                    run.failure = Failed(view.category, view.setting, result);
            }
        }
        run.opSeconds.push_back(WallSeconds() - opStart);
    }
    Between(start, Mark::Now(meter), &run);
    return run;
}

ScenarioRun TimeUpload(const WireMeter& meter, int bytes) {
    UploadState state;
    state.meter = &meter;
    state.image.resize(size_t(bytes));
    uint32_t seed = 12345;
    for (uint8_t& b : state.image) {
        seed = seed * 1103515245u + 12345u;
        b = uint8_t(seed >> 24);
    }
    const int parts = (bytes + ZEL_PART_SIZE - 1) / ZEL_PART_SIZE;
    state.lastUploadingPercent = (parts - 1) * 100 / parts;

    ZelSetUpgradeHooks(ReadImagePart, &state, MarkProgress, &state);
    ZelResult result = ZelUpgradeFirmware(bytes);
    ZelSetUpgradeHooks(nullptr, nullptr, nullptr, nullptr);

    ScenarioRun run;
    run.operations = 1;
    if (result != ZEL_OK) run.failure = std::string("upgrade: ") + ZelResultName(result);
    if (state.started && state.ended) {
        Between(state.start, state.end, &run);
        run.opSeconds.push_back(run.wallSeconds);
    } else if (run.failure.empty()) {
        run.failure = "the upload phase was not seen";
    }
    return run;
}

double WakeUpCpuSeconds() {
    constexpr int kWakeUps = 2000;
    const double start = ThreadCpuSeconds();
    for (int i = 0; i < kWakeUps; ++i) {
        const timespec shortest{0, 1000};
        nanosleep(&shortest, nullptr);
    }
    return (ThreadCpuSeconds() - start) / kWakeUps;
}

double MedianOpSeconds(const ScenarioRun& run) {
    if (run.opSeconds.empty()) return 0;
    std::vector<double> sorted = run.opSeconds;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double WireLimitSeconds(const WireCount& wire, int turnaroundUs) {
    return double(wire.bytesSent + wire.bytesReceived) * kBitsPerByte / kBaud +
           double(wire.requests) * turnaroundUs / 1e6;
}
