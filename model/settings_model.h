// The device's settings as the window shows them: its seven panels in reading
// order, each setting with a stable short name, its caption, display format,
// how it is written and the lowest firmware that offers it. The window, zelctl
// (dump, backup, restore, names on the command line) and the tests all read
// this one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "value_format.h"
#include "zel_setting_ids.h"

enum class WriteKind {
    None,     // shown only
    Plain,    // written and read back; takes effect at once
    Address,  // a dotted IPv4 address; takes effect at once
    Restart,  // written; the device then restarts (Mode, Application)
    Network,  // written through the Change IP Address dialog; takes effect at the next restart
};

struct SettingView {
    int category;
    int setting;
    const char* name;     // short name in full words, unique within its category: "udp-port"
    const char* caption;  // the catalogue's name: "UDP port"
    int type;             // the catalogue's value type
    ValueFormat format;   // how the value reads; numbers signed only for the signed type
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
// Settings 6 and 8 bytes wide are read whole (ZelReadSetting64).
bool IsWideSetting(const SettingView& view);
// The setting's value as the window and zelctl's dump show it.
std::string FormatSetting(const SettingView& view, uint64_t value);

// Writes after which the device restarts: Reboot, Mode, Application.
bool WriteRestartsDevice(int category, int setting);
// The network settings (address, mask, gateway, DHCP): they take effect when the
// device next restarts.
bool IsNetworkSetting(int category, int setting);
// Writes whose value the device holds as soon as it has answered, so that a read back
// shows whether it took them: not the restarting ones, not the network settings, not
// the commands (Persist, Abort, Update device, Erase).
bool WriteTakesEffectAtOnce(int category, int setting);

// "ASI to IP" for 0, "IP to ASI" for 1, "" otherwise.
const char* ModeName(int mode);

// ---------------------------------------------------------------------------
// Settings by name

enum class NameLookup {
    Found,
    Unknown,    // no panel has a setting of that name (or no such category)
    Ambiguous,  // several panels have it and the mode does not choose one
};

struct NamedSetting {
    NameLookup outcome = NameLookup::Unknown;
    const SettingView* view = nullptr;        // when Found
    std::vector<const SettingView*> matches;  // when Ambiguous: every candidate
};

// "udp-port", or "CAT:name" ("0x81:udp-port", "129:udp-port"). A name that
// several panels share is resolved by the unit's operational mode `mode`:
// the one panel of that mode (or one usable in any mode) that has it.
NamedSetting FindSettingByName(const std::string& text, int mode);
// "0x81:udp-port": the form that names a setting whatever the mode.
std::string QualifiedName(const SettingView& view);
