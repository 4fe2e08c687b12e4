#include "zel_upgrade.h"

#include "zel_engine_internal.h"
#include "zel_setting_ids.h"
#include "zel_wait_budget.h"

namespace {

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

ZelUpgradeHooks& Hooks() {
    return ZelCurrentState().upgrade;
}

void Report(int phase, int percent) {
    const ZelUpgradeHooks& hooks = Hooks();
    // The percent travels as a signed 8-bit value.
    if (hooks.progress) hooks.progress(hooks.progressContext, phase, static_cast<int8_t>(percent));
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
    const ZelUpgradeHooks& hooks = Hooks();
    if (hooks.silence) hooks.silence(hooks.silenceContext, static_cast<int>(silentMs));
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
        ZelResult result = ZelReadSetting(ZEL_CAT_UPGRADE_TYPE1, ZEL_SET_UPGRADE_ERROR, &error);
        if (ZelLineGone(result)) return result;
        if (error != 0) return ZEL_E_UPG_FAILED;

        uint32_t progress = 0;
        result = ZelReadSetting(ZEL_CAT_UPGRADE_TYPE1, ZEL_SET_PROGRESS, &progress);
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

// What the transfer learnt of the unit and of the image before the first part.
struct TransferPlan {
    int32_t deviceType = 0;
    int32_t firmwareVersion = -1;  // type 1 only
    bool sevenBit = false;
    int32_t parts = 0;
    int32_t lastPartSize = 0;
};

void PlanParts(int32_t imageSize, TransferPlan* plan) {
    plan->parts = (imageSize + ZEL_PART_SIZE - 1) / ZEL_PART_SIZE;
    plan->lastPartSize = imageSize - (plan->parts - 1) * ZEL_PART_SIZE;
}

// Sends every part, each read through the read-part hook and encoded as the unit takes it.
ZelResult SendParts(const TransferPlan& plan, int category, int setting) {
    const ZelUpgradeHooks& hooks = Hooks();
    uint8_t* part = ZelCurrentState().partBuffer;
    for (int32_t number = 1; number <= plan.parts; ++number) {
        const int size = number == plan.parts ? plan.lastPartSize : ZEL_PART_SIZE;
        Pump();
        ZelResult result = hooks.readPart(hooks.readPartContext, part, size);
        if (result != ZEL_OK) return result;
        Pump();
        const int encoded = plan.sevenBit ? ZelEncode7Bit(size) : ZelEncodeHex(size);
        Pump();
        result = ZelWriteData(category, setting, number, encoded);
        if (result != ZEL_OK) return result;
        ReportAndPump(ZEL_UPG_PHASE_UPLOADING, (number - 1) * 100 / plan.parts);
    }
    return ZEL_OK;
}

// Type 1: the unit's type and firmware version decide the encoding.
ZelResult StartType1(TransferPlan* plan) {
    ZelResult result = ReadSigned(ZEL_CAT_DEVICE, ZEL_SET_TYPE, &plan->deviceType);
    if (result != ZEL_OK) return result;
    result = ReadSigned(ZEL_CAT_DEVICE, ZEL_SET_FIRMWARE_VERSION, &plan->firmwareVersion);
    if (result != ZEL_OK) return result;
    plan->sevenBit = UseSevenBit(1, plan->deviceType, plan->firmwareVersion);
    return ZEL_OK;
}

// Type 1: any parts sent before are dropped, then the part count and sizes announced.
ZelResult AnnounceParts(const TransferPlan& plan) {
    const struct {
        int setting;
        uint32_t value;
        int percent;
    } steps[] = {
        {ZEL_SET_ABORT, 1, 40},
        {ZEL_SET_NUMBER_OF_PARTS, static_cast<uint32_t>(plan.parts), 60},
        {ZEL_SET_PART_SIZE, ZEL_PART_SIZE, 80},
        {ZEL_SET_LAST_PART_SIZE, static_cast<uint32_t>(plan.lastPartSize), 100},
    };
    for (const auto& step : steps) {
        const ZelResult result = ZelWriteSetting(ZEL_CAT_UPGRADE_TYPE1, step.setting, step.value);
        if (result != ZEL_OK) return result;
        ReportAndPump(ZEL_UPG_PHASE_INIT, step.percent);
    }
    return ZEL_OK;
}

ZelResult TransferType1(int32_t imageSize) {
    ReportAndPump(ZEL_UPG_PHASE_INIT, 0);
    TransferPlan plan;
    ZelResult result = StartType1(&plan);
    if (result != ZEL_OK) return result;
    ReportAndPump(ZEL_UPG_PHASE_INIT, 20);

    PlanParts(imageSize, &plan);
    result = AnnounceParts(plan);
    if (result != ZEL_OK) return result;
    result = SendParts(plan, ZEL_CAT_UPGRADE_TYPE1, ZEL_SET_FILE_PART);
    if (result != ZEL_OK) return result;

    result = ZelWriteSetting(ZEL_CAT_UPGRADE_TYPE1, ZEL_SET_UPDATE_DEVICE, 1);
    if (result != ZEL_OK) return result;
    ReportAndPump(ZEL_UPG_PHASE_PROGRAMMING, 0);
    result = FollowProgramming();
    if (result != ZEL_OK) return result;
    ReportAndPump(ZEL_UPG_PHASE_FINISHED, 100);

    // The device restarts into the new firmware without answering; nothing to check.
    if (plan.deviceType == ZEL_DEVICE_TYPE_5100 && plan.firmwareVersion >= 14)
        ZelWriteSetting(ZEL_CAT_NETWORK, ZEL_SET_REBOOT, 1);
    return ZEL_OK;
}

// Type 2: the bootloader version decides the encoding; the unit must be in upgrade mode
// and is erased before the first part.
ZelResult StartType2(TransferPlan* plan) {
    ZelResult result = ReadSigned(ZEL_CAT_DEVICE, ZEL_SET_TYPE, &plan->deviceType);
    if (result != ZEL_OK) return result;
    int32_t bootloaderVersion = 0;
    result = ReadSigned(ZEL_CAT_DEVICE, ZEL_SET_BOOTLOADER_VERSION, &bootloaderVersion);
    if (result != ZEL_OK) return result;
    plan->sevenBit = UseSevenBit(2, plan->deviceType, bootloaderVersion);

    uint32_t mode = 0;
    result = ZelReadSetting(ZEL_CAT_UPGRADE_TYPE2, ZEL_SET_UPGRADE_MODE, &mode);
    if (result != ZEL_OK) return result;
    if (mode != 1) return ZEL_E_INVALID_MODE;
    result = ZelWriteSetting(ZEL_CAT_UPGRADE_TYPE2, ZEL_SET_ERASE, 1);
    if (result != ZEL_OK) return result;
    return ZelWaitWhileBusy();
}

ZelResult TransferType2(int32_t imageSize) {
    ReportAndPump(ZEL_UPG_PHASE_INIT, 0);
    TransferPlan plan;
    ZelResult result = StartType2(&plan);
    if (result != ZEL_OK) return result;
    ReportAndPump(ZEL_UPG_PHASE_INIT, 20);

    PlanParts(imageSize, &plan);
    result = SendParts(plan, ZEL_CAT_UPGRADE_TYPE2, ZEL_SET_PROGRAMMING_DATA);
    if (result != ZEL_OK) return result;
    ReportAndPump(ZEL_UPG_PHASE_PROGRAMMING, 0);

    uint32_t verify = 0;
    result = ZelReadSetting(ZEL_CAT_UPGRADE_TYPE2, ZEL_SET_VERIFY, &verify);
    if (result != ZEL_OK) return result;
    if (verify != 1) return ZEL_E_UPG_VERIFY_FAILED;
    ReportAndPump(ZEL_UPG_PHASE_FINISHED, 100);
    return ZEL_OK;
}

}  // namespace

void ZelSetUpgradeHooks(ZelUpgReadPartFn readPart, void* readPartContext, ZelUpgProgressFn progress,
                        void* progressContext) {
    ZelUpgradeHooks& hooks = Hooks();
    hooks.readPart = readPart;
    hooks.readPartContext = readPartContext;
    hooks.progress = progress;
    hooks.progressContext = progressContext;
}

void ZelSetUpgradeSilenceHook(ZelUpgSilenceFn silence, void* context) {
    ZelUpgradeHooks& hooks = Hooks();
    hooks.silence = silence;
    hooks.silenceContext = context;
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
    const ZelResult result = ReadSigned(ZEL_CAT_DEVICE, ZEL_SET_TYPE, &deviceType);
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
        const ZelResult result = ZelReadSetting(ZEL_CAT_DEVICE, ZEL_SET_BUSY, &busy);
        if (result == ZEL_OK && busy == 0) return ZEL_OK;
        if (ZelLineGone(result)) return result;
        if (budget.Exhausted()) return ZEL_E_TIME_OUT;
        budget.Sleep(RETRY_SLEEP_MS);
    }
}

int ZelEncode7Bit(int count) {
    if (count < 1 || count > ZEL_PART_SIZE) return 0;
    const uint8_t* part = ZelCurrentState().partBuffer;
    uint8_t* out = ZelCurrentState().transferBuffer;
    uint32_t bits = 0;
    int bitCount = 0;
    int length = 0;
    for (int i = 0; i < count; ++i) {
        bits |= static_cast<uint32_t>(part[i]) << bitCount;
        bitCount += 8;
        while (bitCount >= 7) {
            out[length++] = static_cast<uint8_t>(0x80 | (bits & 0x7F));
            bits >>= 7;
            bitCount -= 7;
        }
    }
    if (bitCount > 0) out[length++] = static_cast<uint8_t>(0x80 | (bits & 0x7F));
    return length;
}

int ZelEncodeHex(int count) {
    if (count < 1 || count > ZEL_PART_SIZE) return 0;
    static const char digits[] = "0123456789ABCDEF";
    const uint8_t* part = ZelCurrentState().partBuffer;
    uint8_t* out = ZelCurrentState().transferBuffer;
    for (int i = 0; i < count; ++i) {
        out[2 * i] = static_cast<uint8_t>(digits[part[i] >> 4]);
        out[2 * i + 1] = static_cast<uint8_t>(digits[part[i] & 0x0F]);
    }
    return 2 * count;
}

ZelResult ZelUpgradeFirmware(int32_t imageSize) {
    // The part count and part numbers travel in 16 bits: refuse what cannot be numbered
    // before anything is sent.
    if (imageSize <= 0 || imageSize > int64_t{ZEL_MAX_PARTS} * ZEL_PART_SIZE || !Hooks().readPart)
        return ZEL_E_INVALID_PARAMETER;
    int32_t upgradeType = 0;
    const ZelResult result = ZelGetUpgradeType(&upgradeType);
    if (result != ZEL_OK) return result;
    return upgradeType == 1 ? TransferType1(imageSize) : TransferType2(imageSize);
}
