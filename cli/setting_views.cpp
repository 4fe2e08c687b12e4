#include "setting_views.h"

namespace {

using F = ValueFormat;
using W = WriteKind;

std::vector<PanelView> BuildPanels() {
    return {
        {0x01, MODE_ANY,
         {{0x01, 1, F::Version, W::None, 0},
          {0x01, 2, F::Version, W::None, 0},
          {0x01, 3, F::VersionTenths, W::None, 0},
          {0x01, 4, F::SerialNumber, W::None, 0},
          {0x01, 5, F::DeviceType, W::None, 0}}},
        {0x02, MODE_ANY,
         {{0x02, 1, F::Unsigned, W::Restart, 0},
          {0x02, 2, F::Unsigned, W::Restart, 0},
          {0x02, 3, F::Unsigned, W::Plain, 14}}},
        {0x03, MODE_ANY,
         {{0x03, 1, F::Address, W::Network, 0},
          {0x03, 2, F::Address, W::Network, 0},
          {0x03, 3, F::Address, W::Network, 0},
          {0x03, 4, F::Unsigned, W::Network, 0},
          {0x03, 6, F::Mac, W::None, 0}}},
        {0x81, 1,
         {{0x81, 1, F::Unsigned, W::Plain, 0},
          {0x81, 2, F::Unsigned, W::Plain, 0},
          {0x81, 3, F::Unsigned, W::None, 0},
          {0x81, 4, F::Unsigned, W::Plain, 0},
          {0x81, 5, F::Unsigned, W::None, 0},
          {0x81, 6, F::Unsigned, W::None, 0},
          {0x81, 7, F::Unsigned, W::None, 0},
          {0x81, 8, F::Unsigned, W::None, 0},
          {0x81, 9, F::Unsigned, W::None, 0},
          {0x81, 10, F::Unsigned, W::Plain, 0},
          {0x81, 11, F::Unsigned, W::Plain, 0},
          {0x81, 12, F::Address, W::Address, 0},
          {0x81, 13, F::Unsigned, W::None, 0},
          {0x81, 14, F::Unsigned, W::None, 0},
          {0x81, 15, F::Unsigned, W::None, 0},
          {0x81, 16, F::Unsigned, W::None, 0},
          {0x81, 17, F::Unsigned, W::None, 0},
          {0x81, 18, F::Unsigned, W::None, 0},
          {0x81, 19, F::Unsigned, W::None, 0},
          {0x81, 20, F::Unsigned, W::None, 0},
          {0x81, 21, F::Unsigned, W::None, 0},
          {0x81, 22, F::Unsigned, W::Plain, 0},
          {0x81, 23, F::Unsigned, W::None, 0},
          {0x81, 24, F::Unsigned, W::None, 0},
          {0x81, 25, F::Thousandths, W::None, 0}}},
        {0x82, 0,
         {{0x82, 1, F::Unsigned, W::Plain, 0},
          {0x82, 3, F::Unsigned, W::Plain, 0},
          {0x82, 4, F::Unsigned, W::Plain, 0},
          {0x82, 5, F::Unsigned, W::Plain, 0},
          {0x82, 6, F::Address, W::Address, 0},
          {0x82, 7, F::Unsigned, W::None, 0},
          {0x82, 8, F::Unsigned, W::Plain, 0},
          {0x82, 9, F::Unsigned, W::Plain, 0},
          {0x82, 10, F::Unsigned, W::Plain, 0},
          {0x82, 11, F::Unsigned, W::None, 0},
          {0x82, 12, F::Unsigned, W::None, 0},
          {0x82, 13, F::Unsigned, W::Plain, 0}}},
        {0x83, 0,
         {{0x83, 1, F::Unsigned, W::Plain, 0},
          {0x83, 2, F::Unsigned, W::None, 0},
          {0x83, 3, F::Unsigned, W::None, 0},
          {0x83, 4, F::Unsigned, W::None, 0},
          {0x83, 5, F::Unsigned, W::None, 0},
          {0x83, 6, F::Unsigned, W::None, 0},
          {0x83, 7, F::Unsigned, W::Plain, 23}}},
        {0x84, 1,
         {{0x84, 1, F::Unsigned, W::Plain, 0},
          {0x84, 2, F::Unsigned, W::None, 0},
          {0x84, 3, F::Unsigned, W::None, 0}}},
    };
}

}  // namespace

const std::vector<PanelView>& WindowPanels() {
    static const std::vector<PanelView> panels = BuildPanels();
    return panels;
}

const PanelView* FindPanel(int category) {
    for (const PanelView& panel : WindowPanels()) {
        if (panel.category == category) return &panel;
    }
    return nullptr;
}

const SettingView* FindSettingView(int category, int setting) {
    const PanelView* panel = FindPanel(category);
    if (!panel) return nullptr;
    for (const SettingView& view : panel->settings) {
        if (view.setting == setting) return &view;
    }
    return nullptr;
}

bool PanelUsable(const PanelView& panel, int mode) {
    if (mode < 0) return false;
    return panel.usableMode == MODE_ANY || panel.usableMode == mode;
}

std::vector<int> UsableCategories(int mode) {
    std::vector<int> categories;
    for (const PanelView& panel : WindowPanels()) {
        if (PanelUsable(panel, mode)) categories.push_back(panel.category);
    }
    return categories;
}

bool SettingOffered(const SettingView& view, int32_t firmwareVersion) {
    return view.minFirmware == 0 || firmwareVersion >= view.minFirmware;
}

bool WriteRestartsDevice(int category, int setting) {
    return (category == REBOOT_CATEGORY && setting == REBOOT_SETTING) ||
           (category == MODE_CATEGORY && (setting == 1 || setting == 2));
}

bool IsNetworkSetting(int category, int setting) {
    return category == DHCP_CATEGORY && setting >= 1 && setting <= DHCP_SETTING;
}

bool WriteTakesEffectAtOnce(int category, int setting) {
    struct Command {
        int category, setting;
    };
    static const Command commands[] = {{0x02, 4}, {0x80, 3}, {0x80, 4}, {0x85, 2}};
    for (const Command& command : commands) {
        if (command.category == category && command.setting == setting) return false;
    }
    return !WriteRestartsDevice(category, setting) && !IsNetworkSetting(category, setting);
}

const char* ModeName(int mode) {
    switch (mode) {
    case 0: return "ASI to IP";
    case 1: return "IP to ASI";
    default: return "";
    }
}
