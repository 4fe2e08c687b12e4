// What the window shows of each category: the settings of its seven panels, in
// reading order, with their display format and how each is written. The tool's
// dump, backup and restore follow it so that they show and keep what an operator
// sees in the window.
#pragma once

#include <cstdint>
#include <vector>

#include "value_format.h"

enum class WriteKind {
    None,     // shown only
    Plain,    // written and read back
    Address,  // a dotted IPv4 address, written and read back
    Restart,  // written; the device then restarts (Mode, Application)
    Network,  // written through the Change IP Address dialog; takes effect at the next restart
};

struct SettingView {
    int category;
    int setting;
    ValueFormat format;
    WriteKind write;
    int32_t minFirmware;  // shown and written only from this firmware version (tenths); 0: always
};

constexpr int MODE_ANY = -1;  // a panel usable in every operational mode

struct PanelView {
    int category;
    int usableMode;  // MODE_ANY, or the one operational mode the panel belongs to
    std::vector<SettingView> settings;
};

// The seven panels in the window's order: 1, 2, 3, 0x81, 0x82, 0x83, 0x84.
const std::vector<PanelView>& WindowPanels();
const PanelView* FindPanel(int category);
// The window's view of a setting, or nullptr when no panel shows it.
const SettingView* FindSettingView(int category, int setting);
// Whether a panel can be used while the device is in `mode` (a negative mode: none).
bool PanelUsable(const PanelView& panel, int mode);
// The panels usable in `mode`, in the window's order.
std::vector<int> UsableCategories(int mode);
// The setting is shown (and may be written) at this device firmware version.
bool SettingOffered(const SettingView& view, int32_t firmwareVersion);

// Writes after which the device restarts: Reboot (0x03, 5), Mode (0x02, 1), Application (0x02, 2).
bool WriteRestartsDevice(int category, int setting);
constexpr int REBOOT_CATEGORY = 0x03;
constexpr int REBOOT_SETTING = 5;

// Identity settings read by several commands.
constexpr int TYPE_CATEGORY = 0x01, TYPE_SETTING = 5;
constexpr int MODE_CATEGORY = 0x02, MODE_SETTING = 1, APPLICATION_SETTING = 2;
constexpr int FIRMWARE_CATEGORY = 0x01, FIRMWARE_SETTING = 3;
constexpr int DHCP_CATEGORY = 0x03, DHCP_SETTING = 4;

// "ASI to IP" for 0, "IP to ASI" for 1, "" otherwise.
const char* ModeName(int mode);
