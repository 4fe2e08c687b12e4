#include "zel_upgrade.h"

#include "zel_wait_budget.h"

uint8_t ZelPartBuffer[ZEL_PART_SIZE];

namespace {

// Categories and settings the upgrade uses.
constexpr int CAT_PROPERTIES = 0x01;
constexpr int SET_FIRMWARE_VERSION = 3;
constexpr int SET_TYPE = 5;
constexpr int SET_BOOTLOADER_VERSION = 7;
constexpr int SET_BUSY = 12;
constexpr int CAT_CONFIG = 0x03;
constexpr int SET_REBOOT = 5;
constexpr int CAT_UPG1 = 0x80;
constexpr int SET_UPG1_FILE_PART = 2;
constexpr int SET_UPG1_UPDATE_DEVICE = 3;
constexpr int SET_UPG1_ABORT = 4;
constexpr int SET_UPG1_PROGRESS = 5;
constexpr int SET_UPG1_ERROR = 6;
constexpr int SET_UPG1_NUMBER_OF_PARTS = 7;
constexpr int SET_UPG1_PART_SIZE = 8;
constexpr int SET_UPG1_REMAINING = 9;
constexpr int CAT_UPG2 = 0x85;
constexpr int SET_UPG2_MODE = 1;
constexpr int SET_UPG2_ERASE = 2;
constexpr int SET_UPG2_PROGRAMMING_DATA = 3;
constexpr int SET_UPG2_VERIFY = 4;

constexpr int PROGRESS_POLL_MS = 300;
constexpr int RETRY_SLEEP_MS = 1;

struct UpgradeTypeRow {
    int32_t deviceType;
    int32_t upgradeType;
};
constexpr UpgradeTypeRow UPGRADE_TYPES[] = {
    {ZEL_DEVICE_TYPE_5100, 1},
    {ZEL_DEVICE_TYPE_5137, 2},
};

struct UpgradeHooks {
    ZelUpgReadPartFn readPart = nullptr;
    void* readPartContext = nullptr;
    ZelUpgProgressFn progress = nullptr;
    void* progressContext = nullptr;
    ZelUpgSilenceFn silence = nullptr;
    void* silenceContext = nullptr;
};
UpgradeHooks Hooks;

void Report(int phase, int percent) {
    // The percent travels as a signed 8-bit value.
    if (Hooks.progress) Hooks.progress(Hooks.progressContext, phase, static_cast<int8_t>(percent));
}

void Pump() {
    const ZelTransport transport = ZelGetTransport();
    if (transport.pump) transport.pump(transport.context);
}

void ReportAndPump(int phase, int percent) {
    Report(phase, percent);
    Pump();
}

bool UseSevenBit(int upgradeType, int32_t deviceType, int32_t version) {
    if (upgradeType == 1)
        return (deviceType == ZEL_DEVICE_TYPE_5100 && version >= 14) ||
               (deviceType == ZEL_DEVICE_TYPE_5137 && version >= 0);
    return (deviceType == ZEL_DEVICE_TYPE_5100 || deviceType == ZEL_DEVICE_TYPE_5137) && version >= 0;
}

ZelResult ReadSigned(int category, int setting, int32_t* value) {
    uint32_t raw = 0;
    const ZelResult result = ZelReadSetting(category, setting, &raw);
    *value = static_cast<int32_t>(raw);
    return result;
}

void ReportSilence(int64_t silentMs) {
    if (Hooks.silence) Hooks.silence(Hooks.silenceContext, static_cast<int>(silentMs));
}

// Type 1: follows Progress until it reaches 100, or Error turns non-zero. Failed reads
// are normal while a unit programs and are asked again; a line that is gone is not.
ZelResult FollowProgramming() {
    ZelWaitBudget budget(ZEL_PROGRAMMING_LIMIT_MS);
    int64_t lastAnswerMs = 0;
    bool silent = false;
    int8_t lastProgress = 0;
    while (lastProgress < 100) {
        if (budget.Exhausted()) return ZEL_E_TIME_OUT;
        budget.Sleep(PROGRESS_POLL_MS);

        // A failed read of Error leaves 0 and is no error of its own.
        uint32_t error = 0;
        ZelResult result = ZelReadSetting(CAT_UPG1, SET_UPG1_ERROR, &error);
        if (ZelLineGone(result)) return result;
        if (error != 0) return ZEL_E_UPG_FAILED;

        uint32_t progress = 0;
        result = ZelReadSetting(CAT_UPG1, SET_UPG1_PROGRESS, &progress);
        if (ZelLineGone(result)) return result;
        if (result != ZEL_OK) {
            silent = true;
            ReportSilence(budget.SpentMs() - lastAnswerMs);
            budget.Sleep(RETRY_SLEEP_MS);
            continue;
        }
        lastAnswerMs = budget.SpentMs();
        if (silent) ReportSilence(0);
        silent = false;
        lastProgress = static_cast<int8_t>(progress);
        ReportAndPump(ZEL_UPG_PHASE_PROGRAMMING, lastProgress);
    }
    return ZEL_OK;
}

ZelResult Transfer(int32_t imageSize, int upgradeType) {
    ReportAndPump(ZEL_UPG_PHASE_INIT, 0);

    int32_t deviceType = 0;
    ZelResult result = ReadSigned(CAT_PROPERTIES, SET_TYPE, &deviceType);
    if (result != ZEL_OK) return result;

    int32_t firmwareVersion = -1;
    bool sevenBit = false;
    if (upgradeType == 1) {
        result = ReadSigned(CAT_PROPERTIES, SET_FIRMWARE_VERSION, &firmwareVersion);
        if (result != ZEL_OK) return result;
        sevenBit = UseSevenBit(1, deviceType, firmwareVersion);
    } else {
        int32_t bootloaderVersion = 0;
        result = ReadSigned(CAT_PROPERTIES, SET_BOOTLOADER_VERSION, &bootloaderVersion);
        if (result != ZEL_OK) return result;
        sevenBit = UseSevenBit(2, deviceType, bootloaderVersion);

        uint32_t mode = 0;
        result = ZelReadSetting(CAT_UPG2, SET_UPG2_MODE, &mode);
        if (result != ZEL_OK) return result;
        if (mode != 1) return ZEL_E_INVALID_MODE;
        result = ZelWriteSetting(CAT_UPG2, SET_UPG2_ERASE, 1);
        if (result != ZEL_OK) return result;
        result = ZelWaitWhileBusy();
        if (result != ZEL_OK) return result;
    }

    ReportAndPump(ZEL_UPG_PHASE_INIT, 20);
    const int32_t parts = (imageSize + ZEL_PART_SIZE - 1) / ZEL_PART_SIZE;
    const int32_t lastPartSize = imageSize - (parts - 1) * ZEL_PART_SIZE;

    if (upgradeType == 1) {
        const struct {
            int setting;
            uint32_t value;
            int percent;
        } setup[] = {
            {SET_UPG1_ABORT, 1, 40},
            {SET_UPG1_NUMBER_OF_PARTS, static_cast<uint32_t>(parts), 60},
            {SET_UPG1_PART_SIZE, ZEL_PART_SIZE, 80},
            {SET_UPG1_REMAINING, static_cast<uint32_t>(lastPartSize), 100},
        };
        for (const auto& step : setup) {
            result = ZelWriteSetting(CAT_UPG1, step.setting, step.value);
            if (result != ZEL_OK) return result;
            ReportAndPump(ZEL_UPG_PHASE_INIT, step.percent);
        }
    }

    const int dataCategory = upgradeType == 1 ? CAT_UPG1 : CAT_UPG2;
    const int dataSetting = upgradeType == 1 ? SET_UPG1_FILE_PART : SET_UPG2_PROGRAMMING_DATA;
    for (int32_t part = 1; part <= parts; ++part) {
        const int size = part == parts ? lastPartSize : ZEL_PART_SIZE;
        Pump();
        result = Hooks.readPart(Hooks.readPartContext, ZelPartBuffer, size);
        if (result != ZEL_OK) return result;
        Pump();
        const int encoded = sevenBit ? ZelEncode7Bit(size) : ZelEncodeHex(size);
        Pump();
        result = ZelWriteData(dataCategory, dataSetting, part, encoded);
        if (result != ZEL_OK) return result;
        ReportAndPump(ZEL_UPG_PHASE_UPLOADING, (part - 1) * 100 / parts);
    }

    if (upgradeType == 1) {
        result = ZelWriteSetting(CAT_UPG1, SET_UPG1_UPDATE_DEVICE, 1);
        if (result != ZEL_OK) return result;
    }
    ReportAndPump(ZEL_UPG_PHASE_PROGRAMMING, 0);

    if (upgradeType == 1) {
        result = FollowProgramming();
        if (result != ZEL_OK) return result;
    } else {
        uint32_t verify = 0;
        result = ZelReadSetting(CAT_UPG2, SET_UPG2_VERIFY, &verify);
        if (result != ZEL_OK) return result;
        if (verify != 1) return ZEL_E_UPG_VERIFY_FAILED;
    }

    ReportAndPump(ZEL_UPG_PHASE_FINISHED, 100);

    // The device restarts into the new firmware without answering; nothing to check.
    if (upgradeType == 1 && deviceType == ZEL_DEVICE_TYPE_5100 && firmwareVersion >= 14)
        ZelWriteSetting(CAT_CONFIG, SET_REBOOT, 1);
    return ZEL_OK;
}

}  // namespace

void ZelSetUpgradeHooks(ZelUpgReadPartFn readPart, void* readPartContext, ZelUpgProgressFn progress,
                        void* progressContext) {
    Hooks.readPart = readPart;
    Hooks.readPartContext = readPartContext;
    Hooks.progress = progress;
    Hooks.progressContext = progressContext;
}

void ZelSetUpgradeSilenceHook(ZelUpgSilenceFn silence, void* context) {
    Hooks.silence = silence;
    Hooks.silenceContext = context;
}

const char* ZelUpgPhaseName(int phase) {
    switch (phase) {
    case ZEL_UPG_PHASE_INIT: return "Init";
    case ZEL_UPG_PHASE_UPLOADING: return "Uploading";
    case ZEL_UPG_PHASE_PROGRAMMING: return "Programming";
    case ZEL_UPG_PHASE_FINISHED: return "Finished";
    default: return "Unkown";
    }
}

ZelResult ZelGetUpgradeType(int32_t* upgradeType) {
    int32_t deviceType = 0;
    const ZelResult result = ReadSigned(CAT_PROPERTIES, SET_TYPE, &deviceType);
    if (result != ZEL_OK) return result;
    for (const UpgradeTypeRow& row : UPGRADE_TYPES) {
        if (row.deviceType == deviceType) {
            if (upgradeType) *upgradeType = row.upgradeType;
            return ZEL_OK;
        }
    }
    return ZEL_E_NOT_SUPPORTED;
}

ZelResult ZelWaitWhileBusy() {
    if (!ZelGetTransport().sleep) return ZEL_E_RXFUNC_NULL_PNTR;
    ZelWaitBudget budget(ZEL_BUSY_LIMIT_MS);
    for (;;) {
        uint32_t busy = 0;
        // Any failed read, an error reply included, means "ask again", unless the line is gone.
        const ZelResult result = ZelReadSetting(CAT_PROPERTIES, SET_BUSY, &busy);
        if (result == ZEL_OK && busy == 0) return ZEL_OK;
        if (ZelLineGone(result)) return result;
        if (budget.Exhausted()) return ZEL_E_TIME_OUT;
        budget.Sleep(RETRY_SLEEP_MS);
    }
}

int ZelEncode7Bit(int count) {
    if (count < 1 || count > ZEL_PART_SIZE) return 0;
    uint32_t bits = 0;
    int bitCount = 0;
    int out = 0;
    for (int i = 0; i < count; ++i) {
        bits |= static_cast<uint32_t>(ZelPartBuffer[i]) << bitCount;
        bitCount += 8;
        while (bitCount >= 7) {
            ZelTransferBuffer[out++] = static_cast<uint8_t>(0x80 | (bits & 0x7F));
            bits >>= 7;
            bitCount -= 7;
        }
    }
    if (bitCount > 0) ZelTransferBuffer[out++] = static_cast<uint8_t>(0x80 | (bits & 0x7F));
    return out;
}

int ZelEncodeHex(int count) {
    if (count < 1 || count > ZEL_PART_SIZE) return 0;
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < count; ++i) {
        ZelTransferBuffer[2 * i] = static_cast<uint8_t>(digits[ZelPartBuffer[i] >> 4]);
        ZelTransferBuffer[2 * i + 1] = static_cast<uint8_t>(digits[ZelPartBuffer[i] & 0x0F]);
    }
    return 2 * count;
}

ZelResult ZelUpgradeFirmware(int32_t imageSize) {
    // The part count and part numbers travel in 16 bits: refuse what cannot be numbered
    // before anything is sent.
    if (imageSize <= 0 || imageSize > int64_t{ZEL_MAX_PARTS} * ZEL_PART_SIZE || !Hooks.readPart)
        return ZEL_E_INVALID_PARAMETER;
    int32_t upgradeType = 0;
    const ZelResult result = ZelGetUpgradeType(&upgradeType);
    if (result != ZEL_OK) return result;
    return Transfer(imageSize, upgradeType);
}
