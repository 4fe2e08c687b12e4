// The device's side of a firmware upgrade: type 1 (category 0x80) announces the
// parts, takes them, then programs while Progress rises; type 2 (category 0x85)
// erases, takes the parts and verifies. Either way the parts are reassembled
// into the image as the host sent it.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "sim_answer.h"
#include "sim_image.h"

enum class SimUpgradePhase {
    Idle,         // nothing announced or erased since the start
    Receiving,    // type 1: announced, taking parts
    Programming,  // type 1: Update device written, Progress rising
    Programmed,   // type 1: Progress reached 100
    Failed,       // type 1: Error non-zero
    Erasing,      // type 2: Busy after Erase
    Erased,       // type 2: taking Programming data
    Verified,     // type 2: Verify read 1
};

struct SimUpgradeStatus {
    int upgradeType = 0;  // 0 until a type-1 or type-2 upgrade starts
    SimUpgradePhase phase = SimUpgradePhase::Idle;
    int partsAnnounced = 0;  // type 1: Number of parts
    int partSize = 0;        // type 1: Part size
    int lastPartSize = 0;    // type 1: Remaining
    int partsReceived = 0;   // distinct part numbers taken
    int partWrites = 0;      // every part write taken, repeats included
    int hexParts = 0;        // part writes by encoding
    int sevenBitParts = 0;
    int progress = 0;
    int error = 0;
};

struct SimUpgradeSettings {
    int progressSteps = 5;
    bool fail = false;
    int eraseBusyMs = 1500;
    int mode = 1;                 // type 2: Mode (0x85, 1)
    bool refuseLastPart = false;  // type 1: the last announced part is answered with E
};

class SimUpgrade {
public:
    explicit SimUpgrade(const SimUpgradeSettings& settings);

    // Reads and writes of categories 0x80 and 0x85, and of Busy (0x01, 12).
    SimAnswer Read(int category, int setting, int64_t nowUs);
    SimAnswer WriteValue(int category, int setting, uint32_t value, int64_t nowUs);
    SimAnswer WritePart(int category, int index, const uint8_t* data, size_t length, int64_t nowUs);
    bool Busy(int64_t nowUs) const;

    // Set once when an image has been taken completely and programmed (type 1) or
    // verified (type 2); cleared by taking it.
    bool TakeFinished();
    // The image reassembled from the parts received so far, in part order.
    std::vector<uint8_t> Image() const;
    SimUpgradeStatus Status() const { return status_; }
    // Forgets everything, as a restart does.
    void Reset();

private:
    void StartType(int type);
    bool Type1Complete() const;
    bool Type2Complete() const;
    int ExpectedType1PartSize(int index) const;

    SimUpgradeSettings settings_;
    SimUpgradeStatus status_;
    std::map<int, std::vector<uint8_t>> parts_;
    int lastPartNumber_ = 0;
    int progressReads_ = 0;
    int64_t eraseEndsUs_ = 0;
    int mode_;
    int update_ = 0;
    int abort_ = 0;
    int erase_ = 0;
    bool finished_ = false;
};
