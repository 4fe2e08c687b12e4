// What a soak run asks of the device: a seeded stream of reads and writes over the
// settings the simulated device knows, with the values the device must end up holding.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "sim_config.h"
#include "sim_faults.h"

struct SoakOp {
    int category = 0;
    int setting = 0;
    bool write = false;
    uint32_t value = 0;          // write: the value sent
    bool expectRefusal = false;  // write: a value the device must refuse
};

class SoakPlan {
public:
    // `categories` limits the plan to these categories (empty: every category the
    // window shows). Settings the device does not know, the firmware-upgrade
    // categories, and writes that restart the device or wait for a restart (mode,
    // application, network) are left out.
    SoakPlan(const SimConfig& device, uint64_t seed, const std::vector<int>& categories = {});

    SoakOp Next();

    // The writable settings, keyed by category * 256 + setting.
    const std::vector<int>& WritableKeys() const { return writable_; }
    const std::vector<int>& ReadableKeys() const { return readable_; }

private:
    uint32_t ValidValue(int key);
    // A value the device's check refuses that still fits the setting's size.
    bool InvalidValue(int key, uint32_t* value);

    SimRandom random_;
    std::vector<int> readable_;
    std::vector<int> writable_;
};

constexpr int SoakKey(int category, int setting) {
    return category * 256 + setting;
}
constexpr int SoakCategory(int key) {
    return key / 256;
}
constexpr int SoakSetting(int key) {
    return key % 256;
}
