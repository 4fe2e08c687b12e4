#include "soak_plan.h"

#include <algorithm>

#include "sim_settings.h"
#include "zel_protocol.h"

namespace {

constexpr int kWindowCategories[] = {0x01, 0x02, 0x03, 0x81, 0x82, 0x83, 0x84};

// Writes that restart the device, or that only take effect at the next restart.
bool WriteLeftOut(int category, int setting) {
    return category == 0x03 || (category == 0x02 && (setting == 1 || setting == 2));
}

bool Writable(const SimSettingSpec& recipe) {
    return recipe.check == SimCheck::Range || recipe.check == SimCheck::MulticastAddress ||
           recipe.check == SimCheck::DestinationAddress;
}

uint32_t SizeMax(int key) {
    int size = ZelSettingSize(SoakCategory(key), SoakSetting(key));
    return size >= 4 ? 0xFFFFFFFFu : (uint32_t{1} << (8 * size)) - 1;
}

}  // namespace

SoakPlan::SoakPlan(const SimConfig& device, uint64_t seed, const std::vector<int>& categories)
    : random_(seed) {
    int count = 0;
    const SimSettingSpec* rows = SimSettingRows(&count);
    for (int i = 0; i < count; ++i) {
        const SimSettingSpec& recipe = rows[i];
        bool wanted =
            categories.empty()
                ? std::find(std::begin(kWindowCategories), std::end(kWindowCategories), recipe.category) !=
                      std::end(kWindowCategories)
                : std::find(categories.begin(), categories.end(), recipe.category) != categories.end();
        int size = ZelSettingSize(recipe.category, recipe.setting);
        if (!wanted || size == 0 || (recipe.onlyType != 0 && recipe.onlyType != device.deviceType) ||
            device.firmwareVersion < recipe.minFirmware)
            continue;
        int key = SoakKey(recipe.category, recipe.setting);
        readable_.push_back(key);
        if (Writable(recipe) && size <= 4 && !WriteLeftOut(recipe.category, recipe.setting))
            writable_.push_back(key);
    }
}

SoakOp SoakPlan::Next() {
    SoakOp op;
    // Two reads to every write, as a window's refreshes and read-backs would have it.
    op.write = !writable_.empty() && random_.Below(3) == 0;
    const std::vector<int>& keys = op.write ? writable_ : readable_;
    int key = keys[random_.Below(keys.size())];
    op.category = SoakCategory(key);
    op.setting = SoakSetting(key);
    if (op.write) {
        op.value = ValidValue(key);
        uint32_t invalid = 0;
        if (random_.Chance(5) && InvalidValue(key, &invalid)) {
            op.value = invalid;
            op.expectRefusal = true;
        }
    }
    return op;
}

uint32_t SoakPlan::ValidValue(int key) {
    const SimSettingSpec& recipe = *FindSimSetting(SoakCategory(key), SoakSetting(key));
    switch (recipe.check) {
        case SimCheck::MulticastAddress:
            return SimIp(224 + uint32_t(random_.Below(16)), uint32_t(random_.Below(256)),
                         uint32_t(random_.Below(256)), 1 + uint32_t(random_.Below(254)));
        case SimCheck::DestinationAddress:
            return SimIp(10, uint32_t(random_.Below(256)), uint32_t(random_.Below(256)),
                         1 + uint32_t(random_.Below(254)));
        default: return recipe.min + uint32_t(random_.Below(uint64_t(recipe.max) - recipe.min + 1));
    }
}

bool SoakPlan::InvalidValue(int key, uint32_t* value) {
    const SimSettingSpec& recipe = *FindSimSetting(SoakCategory(key), SoakSetting(key));
    switch (recipe.check) {
        case SimCheck::MulticastAddress: *value = SimIp(10, 0, 0, 1); return true;
        case SimCheck::DestinationAddress: *value = 0; return true;
        default:
            if (recipe.max < SizeMax(key)) {
                *value = recipe.max + 1;
                return true;
            }
            if (recipe.min > 0) {
                *value = recipe.min - 1;
                return true;
            }
            return false;
    }
}
