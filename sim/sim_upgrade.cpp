#include "sim_upgrade.h"

#include "zel_setting_ids.h"

namespace {

constexpr int kType2PartSize = 1024;

// Type 1 settings
constexpr int kPartNumber = 1;
constexpr int kUpdateDevice = 3;
constexpr int kAbort = 4;
constexpr int kProgress = 5;
constexpr int kError = 6;
constexpr int kNumberOfParts = 7;
constexpr int kPartSize = 8;
constexpr int kRemaining = 9;
// Type 2 settings
constexpr int kMode = 1;
constexpr int kErase = 2;
constexpr int kVerify = 4;

// Error values the device reports in type 1.
constexpr int kErrorProgramming = 1;
constexpr int kErrorIncomplete = 2;

}  // namespace

SimUpgrade::SimUpgrade(const SimUpgradeSettings& settings) : settings_(settings), mode_(settings.mode) {
    if (settings_.progressSteps < 1) settings_.progressSteps = 1;
}

void SimUpgrade::Reset() {
    status_ = SimUpgradeStatus();
    parts_.clear();
    lastPartNumber_ = 0;
    progressReads_ = 0;
    eraseEndsUs_ = 0;
    mode_ = settings_.mode;
    update_ = abort_ = erase_ = 0;
    finished_ = false;
}

void SimUpgrade::StartType(int type) {
    status_ = SimUpgradeStatus();
    status_.upgradeType = type;
    parts_.clear();
    lastPartNumber_ = 0;
    progressReads_ = 0;
    finished_ = false;
}

bool SimUpgrade::Busy(int64_t nowUs) const {
    return status_.phase == SimUpgradePhase::Erasing && nowUs < eraseEndsUs_;
}

bool SimUpgrade::TakeFinished() {
    bool finished = finished_;
    finished_ = false;
    return finished;
}

std::vector<uint8_t> SimUpgrade::Image() const {
    std::vector<uint8_t> image;
    for (const auto& part : parts_)
        image.insert(image.end(), part.second.begin(), part.second.end());
    return image;
}

int SimUpgrade::ExpectedType1PartSize(int index) const {
    return index == status_.partsAnnounced ? status_.lastPartSize : status_.partSize;
}

bool SimUpgrade::Type1Complete() const {
    // Every stored part was checked for its number and size when it came.
    return status_.partsAnnounced > 0 && static_cast<int>(parts_.size()) == status_.partsAnnounced;
}

bool SimUpgrade::Type2Complete() const {
    if (parts_.empty() || parts_.begin()->first != 1 ||
        parts_.rbegin()->first != static_cast<int>(parts_.size()))
        return false;
    for (const auto& part : parts_)
        if (part.first != parts_.rbegin()->first && part.second.size() != static_cast<size_t>(kType2PartSize))
            return false;
    return true;
}

SimAnswer SimUpgrade::Read(int category, int setting, int64_t nowUs) {
    if (category == ZEL_CAT_DEVICE) return SimAnswer::Of(Busy(nowUs) ? 1 : 0, 1);
    if (category == ZEL_CAT_UPGRADE_TYPE1) {
        switch (setting) {
            case kPartNumber: return SimAnswer::Of(static_cast<uint32_t>(lastPartNumber_), 2);
            case kUpdateDevice: return SimAnswer::Of(static_cast<uint32_t>(update_), 1);
            case kAbort: return SimAnswer::Of(static_cast<uint32_t>(abort_), 1);
            case kError: return SimAnswer::Of(static_cast<uint32_t>(status_.error), 1);
            case kNumberOfParts: return SimAnswer::Of(static_cast<uint32_t>(status_.partsAnnounced), 2);
            case kPartSize: return SimAnswer::Of(static_cast<uint32_t>(status_.partSize), 2);
            case kRemaining: return SimAnswer::Of(static_cast<uint32_t>(status_.lastPartSize), 2);
            case kProgress:
                if (status_.phase == SimUpgradePhase::Programming) {
                    ++progressReads_;
                    if (settings_.fail && progressReads_ >= (settings_.progressSteps + 1) / 2) {
                        status_.error = kErrorProgramming;
                        status_.phase = SimUpgradePhase::Failed;
                    } else {
                        int progress = progressReads_ * 100 / settings_.progressSteps;
                        status_.progress = progress < 100 ? progress : 100;
                        if (status_.progress == 100) {
                            status_.phase = SimUpgradePhase::Programmed;
                            finished_ = true;
                        }
                    }
                }
                return SimAnswer::Of(static_cast<uint32_t>(status_.progress), 1);
            default: return SimAnswer::Refused();
        }
    }
    if (category == ZEL_CAT_UPGRADE_TYPE2) {
        switch (setting) {
            case kMode: return SimAnswer::Of(static_cast<uint32_t>(mode_), 1);
            case kErase: return SimAnswer::Of(static_cast<uint32_t>(erase_), 1);
            case kVerify: {
                if (Busy(nowUs)) return SimAnswer::NotNow();
                bool good =
                    (status_.phase == SimUpgradePhase::Erasing || status_.phase == SimUpgradePhase::Erased ||
                     status_.phase == SimUpgradePhase::Verified) &&
                    Type2Complete() && !settings_.fail;
                if (good && status_.phase != SimUpgradePhase::Verified) {
                    status_.phase = SimUpgradePhase::Verified;
                    finished_ = true;
                }
                return SimAnswer::Of(good ? 1 : 0, 1);
            }
            default: return SimAnswer::Refused();
        }
    }
    return SimAnswer::Refused();
}

SimAnswer SimUpgrade::WriteValue(int category, int setting, uint32_t value, int64_t nowUs) {
    if (category == ZEL_CAT_UPGRADE_TYPE1) {
        bool programming = status_.phase == SimUpgradePhase::Programming;
        switch (setting) {
            case kAbort:
                abort_ = static_cast<int>(value);
                if (value == 1) StartType(1);
                return SimAnswer::Of(value, 1);
            case kNumberOfParts:
            case kPartSize:
            case kRemaining: {
                if (programming) return SimAnswer::NotNow();
                if (status_.upgradeType != 1 || status_.phase != SimUpgradePhase::Receiving) {
                    StartType(1);
                    status_.phase = SimUpgradePhase::Receiving;
                }
                int v = static_cast<int>(value);
                if (setting == kNumberOfParts)
                    status_.partsAnnounced = v;
                else if (setting == kPartSize)
                    status_.partSize = v;
                else
                    status_.lastPartSize = v;
                // A new announcement makes the parts taken so far worthless.
                parts_.clear();
                status_.partsReceived = 0;
                return SimAnswer::Of(value, 2);
            }
            case kUpdateDevice:
                if (value == 1) {
                    // The same command again, after its reply was lost on the line: it is
                    // already being carried out, so it is answered, not refused.
                    if (programming || status_.phase == SimUpgradePhase::Programmed ||
                        status_.phase == SimUpgradePhase::Failed)
                        return SimAnswer::Of(value, 1);
                    if (status_.phase != SimUpgradePhase::Receiving) return SimAnswer::Refused();
                    if (!Type1Complete()) {
                        status_.error = kErrorIncomplete;
                        status_.phase = SimUpgradePhase::Failed;
                    } else {
                        status_.phase = SimUpgradePhase::Programming;
                        status_.progress = 0;
                        progressReads_ = 0;
                    }
                }
                update_ = static_cast<int>(value);
                return SimAnswer::Of(value, 1);
            default: return SimAnswer::Refused();
        }
    }
    if (category == ZEL_CAT_UPGRADE_TYPE2) {
        switch (setting) {
            case kMode:
                if (Busy(nowUs)) return SimAnswer::NotNow();
                mode_ = static_cast<int>(value);
                return SimAnswer::Of(value, 1);
            case kErase:
                if (Busy(nowUs))  // a repeated Erase joins the one in progress
                    return value == 1 ? SimAnswer::Of(value, 1) : SimAnswer::NotNow();
                if (value == 1) {
                    if (mode_ != 1) return SimAnswer::Refused();
                    StartType(2);
                    status_.phase = SimUpgradePhase::Erasing;
                    eraseEndsUs_ = nowUs + static_cast<int64_t>(settings_.eraseBusyMs) * 1000;
                }
                erase_ = static_cast<int>(value);
                return SimAnswer::Of(value, 1);
            default: return SimAnswer::Refused();
        }
    }
    return SimAnswer::Refused();
}

SimAnswer SimUpgrade::WritePart(int category, int index, const uint8_t* data, size_t length, int64_t nowUs) {
    std::vector<uint8_t> part;
    SimPartEncoding encoding = SimPartEncoding::Hex;
    if (category == ZEL_CAT_UPGRADE_TYPE1) {
        if (status_.phase != SimUpgradePhase::Receiving || status_.partsAnnounced == 0 ||
            status_.partSize == 0 || status_.lastPartSize == 0 || status_.lastPartSize > status_.partSize)
            return SimAnswer::Refused();
        if (index < 1 || index > status_.partsAnnounced) return SimAnswer::Refused();
        if (settings_.refuseLastPart && index == status_.partsAnnounced) return SimAnswer::Refused();
        if (!DecodeSimPart(data, length, &part, &encoding) ||
            static_cast<int>(part.size()) != ExpectedType1PartSize(index))
            return SimAnswer::Refused();
    } else if (category == ZEL_CAT_UPGRADE_TYPE2) {
        if (Busy(nowUs)) return SimAnswer::NotNow();
        if (status_.phase != SimUpgradePhase::Erasing && status_.phase != SimUpgradePhase::Erased)
            return SimAnswer::Refused();
        if (index < 1 || !DecodeSimPart(data, length, &part, &encoding) ||
            part.size() > static_cast<size_t>(kType2PartSize))
            return SimAnswer::Refused();
        status_.phase = SimUpgradePhase::Erased;
    } else {
        return SimAnswer::Refused();
    }

    // A part sent again (its reply was lost) simply replaces the first copy.
    parts_[index] = std::move(part);
    lastPartNumber_ = index;
    status_.partsReceived = static_cast<int>(parts_.size());
    ++status_.partWrites;
    if (encoding == SimPartEncoding::Hex)
        ++status_.hexParts;
    else
        ++status_.sevenBitParts;
    // Type 1 answers with two data bytes (the part number), type 2 with none.
    return category == ZEL_CAT_UPGRADE_TYPE1 ? SimAnswer::Of(static_cast<uint32_t>(index), 2)
                                             : SimAnswer::Of(0, 0);
}
