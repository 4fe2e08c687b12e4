// What every category panel shares: its controls, the usability rule, the
// reset that empties and enables or disables it, the reads that fill it, the
// display formats, the parsing of what the operator typed and the four kinds
// of write handler.
//
// None of these routines touches Busy: the command handler (or refresh-all,
// detection, the reboot wait) that runs them holds it from start to end, also
// while a failure is shown, so nothing can start a second transaction inside
// the first.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "ip_octets.h"
#include "zel_protocol.h"

class TavEdit;
class Zel5100UtilApp;
class Zel5100UtilDlg;

struct PanelField {
    int field;
    int writeButton;  // 0: a read-only field without one
};

struct PanelControls {
    int category;
    int refreshButton;
    // In the order the reset empties them.
    std::vector<PanelField> fields;
    // Whether the panel can be used in a device mode.
    bool (*usable)(int deviceMode);
};

bool UsableWithAnyDevice(int deviceMode);   // categories 1, 2, 3
bool UsableInAsiToIp(int deviceMode);       // mode 0: categories 0x82, 0x83
bool UsableInIpToAsi(int deviceMode);       // mode 1: categories 0x81, 0x84

// Empties every field (an editable one loses its changed mark), enables or
// disables the fields, their write buttons and the refresh button by the
// usability rule, then lets the window paint.
void ResetPanel(Zel5100UtilDlg& window, const PanelControls& panel);
// Whether the panel can be used in the current device mode.
bool PanelUsable(Zel5100UtilDlg& window, const PanelControls& panel);
// Routes the panel's refresh button to `refresh` under the busy rule.
void RoutePanelRefresh(Zel5100UtilDlg& window, const PanelControls& panel,
                       void (*refresh)(Zel5100UtilDlg&));

// ---------------------------------------------------------------------------
// Display formats

enum class ValueFormat {
    Decimal,        // "%d" of the 32-bit value, signed
    Decimal64,      // the 64-bit value, signed (read with ZelReadSetting64)
    DottedAddress,  // "%d.%d.%d.%d", most significant octet first
    Version,        // "v%d"
    VersionTenths,  // "v%d.%d": 14 shows v1.4
    SerialNumber,   // "%d.%03d.%03d" of the value taken as unsigned
    DeviceType,     // "ZEL-%d"
    MacAddress,     // six hex bytes, bits 40-47 first (read with ZelReadSetting64)
    Thousandths,    // "%g" of the value / 1000.0
};

// Settings shown in these formats are read with ZelReadSetting64.
bool IsWideFormat(ValueFormat format);
// The text of a value as read (32-bit reads zero-extended) in a format.
QString FormatValue(ValueFormat format, uint64_t value);
QString FormatDottedAddress(uint32_t value);

// ---------------------------------------------------------------------------
// Reads

// One setting of a panel, in the panel's reading order. `store`, when set,
// names the application value the setting is read straight into: it then
// holds whatever the read left, also after a failed read.
struct PanelSetting {
    int setting;
    int field;
    ValueFormat format;
    int Zel5100UtilApp::*store = nullptr;
};

// Reads one setting and shows it in its field, then lets the window paint.
// A failed read shows the protocol error message (ShowZelError) and gives
// false; the field is left as it was.
bool ReadSettingIntoField(Zel5100UtilDlg& window, int category, const PanelSetting& setting);
// The settings in order; stops at the first failed read (its message shown)
// and gives false.
bool ReadPanelSettings(Zel5100UtilDlg& window, int category,
                       const std::vector<PanelSetting>& settings);
// A setting offered only from firmware `minFirmware` on: read and shown when
// the firmware has it, else emptied; then its field and write button are
// enabled only when offered. A failed read ends it (false) with the field
// empty and still enabled, as the reset left it.
bool ReadGatedSetting(Zel5100UtilDlg& window, int category, const PanelSetting& setting,
                      int writeButton, int minFirmware);

// ---------------------------------------------------------------------------
// What the operator typed

// The field's text (first 99 characters) as a signed 64-bit number, with the
// field's thousands separator removed first: white space, a sign, then digits
// up to the first other character; no digits give 0, out of range gives the
// nearest 64-bit value. 0 for no field.
int64_t ParseEditNumber(const TavEdit* field);
// The field's text scanned as "a.b.c.d"; octets not given stay -1.
IpOctets ScanAddressField(const TavEdit* field);

// ---------------------------------------------------------------------------
// Write handlers. Each runs under the busy rule and does nothing while
// another command runs; the Route* forms connect a write button to one.

// Writes the number typed, reads the setting back and shows what the device
// now holds; a failure is shown and the field keeps the operator's text.
void PlainWrite(Zel5100UtilDlg& window, int field, int category, int setting);
// Writes the address typed, not read back; the field keeps its text and turns
// unchanged.
void AddressWrite(Zel5100UtilDlg& window, int field, int category, int setting);
// Below firmware `minFirmware` sends nothing; else writes, reads back and
// shows the value without looking at either result.
void GatedWrite(Zel5100UtilDlg& window, int field, int category, int setting, int minFirmware);
// Shows `statusText`, writes (result not examined), runs `extraStep` and
// waits for the rebooting device with RebootAndReconnect.
void RebootingWrite(Zel5100UtilDlg& window, int field, int category, int setting,
                    const QString& statusText, const std::function<void()>& extraStep = {});

void RoutePlainWrite(Zel5100UtilDlg& window, int button, int field, int category, int setting);
void RouteAddressWrite(Zel5100UtilDlg& window, int button, int field, int category, int setting);
void RouteGatedWrite(Zel5100UtilDlg& window, int button, int field, int category, int setting,
                     int minFirmware);
void RouteRebootingWrite(Zel5100UtilDlg& window, int button, int field, int category,
                         int setting, const QString& statusText,
                         std::function<void()> extraStep = {});
