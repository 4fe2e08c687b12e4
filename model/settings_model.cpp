#include "settings_model.h"

#include <cstdio>

#include "zel_protocol.h"
#include "zel_setting_ids.h"

namespace {

// How a row of the table below reads; `Number` takes its sign from the catalogue.
enum class Shown { Number, Address, Mac, Version, VersionTenths, SerialNumber, DeviceType, Thousandths };

using S = Shown;
using W = WriteKind;

struct Row {
    int setting;
    const char* name;
    Shown shown;
    WriteKind write;
    int32_t minFirmware;
};

struct PanelRows {
    int category;
    int usableMode;
    std::vector<Row> rows;
};

// The window's panels, each in its reading order. Adding a setting to the
// window and to zelctl's dump, backup and restore is one row here (and one in
// the panel's control map).
const std::vector<PanelRows>& Table() {
    static const std::vector<PanelRows> table{
        {ZEL_CAT_DEVICE,
         MODE_ANY,
         {{ZEL_SET_FPGA_VERSION, "fpga-version", S::Version, W::None, 0},
          {ZEL_SET_HARDWARE_VERSION, "hardware-version", S::Version, W::None, 0},
          {ZEL_SET_FIRMWARE_VERSION, "firmware-version", S::VersionTenths, W::None, 0},
          {ZEL_SET_SERIAL_NUMBER, "serial-number", S::SerialNumber, W::None, 0},
          {ZEL_SET_TYPE, "type", S::DeviceType, W::None, 0}}},
        {ZEL_CAT_CONFIGURATION,
         MODE_ANY,
         {{ZEL_SET_MODE, "mode", S::Number, W::Restart, 0},
          {ZEL_SET_APPLICATION, "application", S::Number, W::Restart, 0},
          {ZEL_SET_VOLATILE_STORAGE, "volatile-storage", S::Number, W::Plain, 14}}},
        {ZEL_CAT_NETWORK,
         MODE_ANY,
         {{ZEL_SET_IP_ADDRESS, "ip-address", S::Address, W::Network, 0},
          {ZEL_SET_SUBNET_MASK, "subnet-mask", S::Address, W::Network, 0},
          {ZEL_SET_GATEWAY, "gateway", S::Address, W::Network, 0},
          {ZEL_SET_DHCP_ENABLED, "dhcp-enabled", S::Number, W::Network, 0},
          {ZEL_SET_MAC_ADDRESS, "mac-address", S::Mac, W::None, 0}}},
        {ZEL_CAT_IP_RECEIVE, ZEL_MODE_IP_TO_ASI, {{1, "addressing-method", S::Number, W::Plain, 0},
                                                  {2, "enable", S::Number, W::Plain, 0},
                                                  {3, "fec-delay", S::Number, W::None, 0},
                                                  {4, "fec-enable", S::Number, W::Plain, 0},
                                                  {5, "fec-columns", S::Number, W::None, 0},
                                                  {6, "fec-rows", S::Number, W::None, 0},
                                                  {7, "jitter-tolerance", S::Number, W::None, 0},
                                                  {8, "lost-after-fec", S::Number, W::None, 0},
                                                  {9, "lost-before-fec", S::Number, W::None, 0},
                                                  {10, "udp-port", S::Number, W::Plain, 0},
                                                  {11, "output-delay", S::Number, W::Plain, 0},
                                                  {12, "multicast-address", S::Address, W::Address, 0},
                                                  {13, "packets-per-ip", S::Number, W::None, 0},
                                                  {14, "status", S::Number, W::None, 0},
                                                  {15, "protocol", S::Number, W::None, 0},
                                                  {16, "index", S::Number, W::None, 0},
                                                  {17, "output-type", S::Number, W::None, 0},
                                                  {18, "packet-size", S::Number, W::None, 0},
                                                  {19, "bitrate", S::Number, W::None, 0},
                                                  {20, "pcr-present", S::Number, W::None, 0},
                                                  {21, "rate-changes", S::Number, W::None, 0},
                                                  {22, "estimation-mode", S::Number, W::Plain, 0},
                                                  {23, "jitter-errors", S::Number, W::None, 0},
                                                  {24, "lock-errors", S::Number, W::None, 0},
                                                  {25, "delay-factor", S::Thousandths, W::None, 0}}},
        {ZEL_CAT_IP_TRANSMIT,
         ZEL_MODE_ASI_TO_IP,
         {{1, "enable", S::Number, W::Plain, 0},
          {3, "fec-enable", S::Number, W::Plain, 0},
          {4, "fec-columns", S::Number, W::Plain, 0},
          {5, "fec-rows", S::Number, W::Plain, 0},
          {6, "destination-address", S::Address, W::Address, 0},
          {7, "address-status", S::Number, W::None, 0},
          {8, "udp-port", S::Number, W::Plain, 0},
          {9, "packets-per-ip", S::Number, W::Plain, 0},
          {10, "protocol", S::Number, W::Plain, 0},
          {11, "index", S::Number, W::None, 0},
          {12, "input-type", S::Number, W::None, 0},
          {13, "time-to-live", S::Number, W::Plain, 0}}},
        {ZEL_CAT_ASI_INPUT,
         ZEL_MODE_ASI_TO_IP,
         {{1, "packet-size", S::Number, W::Plain, 0},
          {2, "physical-port", S::Number, W::None, 0},
          {3, "status", S::Number, W::None, 0},
          {4, "ts-rate", S::Number, W::None, 0},
          {5, "valid-count", S::Number, W::None, 0},
          {6, "violation-count", S::Number, W::None, 0},
          {7, "input-select", S::Number, W::Plain, 23}}},
        {ZEL_CAT_ASI_OUTPUT,
         ZEL_MODE_IP_TO_ASI,
         {{1, "asi-packet-size", S::Number, W::Plain, 0},
          {2, "physical-port", S::Number, W::None, 0},
          {3, "ts-rate", S::Number, W::None, 0}}},
    };
    return table;
}

ValueFormat FormatOf(Shown shown, int type) {
    switch (shown) {
        case Shown::Number:
            return FormatForType(type) == ValueFormat::Signed ? ValueFormat::Signed : ValueFormat::Unsigned;
        case Shown::Address: return ValueFormat::Address;
        case Shown::Mac: return ValueFormat::Mac;
        case Shown::Version: return ValueFormat::Version;
        case Shown::VersionTenths: return ValueFormat::VersionTenths;
        case Shown::SerialNumber: return ValueFormat::SerialNumber;
        case Shown::DeviceType: return ValueFormat::DeviceType;
        case Shown::Thousandths: return ValueFormat::Thousandths;
    }
    return ValueFormat::Unsigned;
}

std::vector<PanelView> BuildPanels() {
    std::vector<PanelView> panels;
    for (const PanelRows& rows : Table()) {
        PanelView panel{rows.category, rows.usableMode, {}};
        for (const Row& row : rows.rows) {
            // Every row is a catalogued setting (a test walks them all).
            const ZelSettingEntry* entry = ZelFindSetting(rows.category, row.setting);
            const int type = entry ? entry->type : -1;
            panel.settings.push_back({rows.category, row.setting, row.name, entry ? entry->name : "", type,
                                      FormatOf(row.shown, type), row.write, row.minFirmware});
        }
        panels.push_back(std::move(panel));
    }
    return panels;
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

bool IsWideSetting(const SettingView& view) {
    return ZelTypeSize(view.type) > 4;
}

std::string FormatSetting(const SettingView& view, uint64_t value) {
    return FormatValue(view.format, value);
}

bool WriteRestartsDevice(int category, int setting) {
    return (category == ZEL_CAT_NETWORK && setting == ZEL_SET_REBOOT) ||
           (category == ZEL_CAT_CONFIGURATION && (setting == ZEL_SET_MODE || setting == ZEL_SET_APPLICATION));
}

bool IsNetworkSetting(int category, int setting) {
    return category == ZEL_CAT_NETWORK && setting >= ZEL_SET_IP_ADDRESS && setting <= ZEL_SET_DHCP_ENABLED;
}

bool WriteTakesEffectAtOnce(int category, int setting) {
    const bool command = (category == ZEL_CAT_CONFIGURATION && setting == ZEL_SET_PERSIST) ||
                         (category == ZEL_CAT_UPGRADE_TYPE1 &&
                          (setting == ZEL_SET_UPDATE_DEVICE || setting == ZEL_SET_ABORT)) ||
                         (category == ZEL_CAT_UPGRADE_TYPE2 && setting == ZEL_SET_ERASE);
    return !command && !WriteRestartsDevice(category, setting) && !IsNetworkSetting(category, setting);
}

const char* ModeName(int mode) {
    switch (mode) {
        case ZEL_MODE_ASI_TO_IP: return "ASI to IP";
        case ZEL_MODE_IP_TO_ASI: return "IP to ASI";
        default: return "";
    }
}

NamedSetting FindSettingByName(const std::string& text, int mode) {
    NamedSetting found;
    std::string name = text;
    const PanelView* only = nullptr;
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        int64_t category = 0;
        if (!ParseInteger(text.substr(0, colon), &category)) return found;
        only = FindPanel(category >= 0 && category <= 0xFF ? int(category) : -1);
        if (!only) return found;
        name = text.substr(colon + 1);
    }
    std::vector<const SettingView*> candidates;
    std::vector<bool> usable;
    for (const PanelView& panel : WindowPanels()) {
        if (only && &panel != only) continue;
        for (const SettingView& view : panel.settings) {
            if (name == view.name) {
                candidates.push_back(&view);
                usable.push_back(PanelUsable(panel, mode));
            }
        }
    }
    if (candidates.size() == 1) {
        found.outcome = NameLookup::Found;
        found.view = candidates[0];
        return found;
    }
    const SettingView* chosen = nullptr;
    int usableCount = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (usable[i]) {
            chosen = candidates[i];
            ++usableCount;
        }
    }
    if (usableCount == 1) {
        found.outcome = NameLookup::Found;
        found.view = chosen;
    } else if (!candidates.empty()) {
        found.outcome = NameLookup::Ambiguous;
        found.matches = candidates;
    }
    return found;
}

std::string QualifiedName(const SettingView& view) {
    char category[8];
    std::snprintf(category, sizeof category, "0x%02X", unsigned(view.category));
    return std::string(category) + ":" + view.name;
}
