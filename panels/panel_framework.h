// What every category panel shares: the map from the model's settings to the
// panel's controls, and the reset, refresh and write routes written once for
// all of them. A panel is a table of (setting name, field, write button); what
// a setting is, how it reads and how it is written comes from the model.
//
// None of these routines touches Busy: the command handler (or refresh-all,
// detection, the reboot wait) that runs them holds it from start to end, also
// while a failure is shown, so nothing can start a second transaction inside
// the first.
#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "ip_octets.h"
#include "settings_model.h"
#include "zel_protocol.h"

class TavEdit;
class Zel5100UtilApp;
class WindowHost;

// One line of a panel's table: the model's name of a setting of the panel's
// category and the controls that show and write it. `store`, when set, names
// the application value the setting is read straight into: it then holds
// whatever the read left, also after a failed read.
struct PanelRow {
    const char* name;
    int field;
    int writeButton;  // 0: a read-only field without one
    int Zel5100UtilApp::*store = nullptr;
};

struct PanelField {
    const SettingView* view;
    int field;
    int writeButton;
    int Zel5100UtilApp::*store;
};

struct PanelControls {
    int category;
    int refreshButton;
    // In the model's reading order (the order the reset empties them too).
    std::vector<PanelField> fields;
    // Runs after each setting read and shown, before the next one is read.
    void (*afterRead)(WindowHost& window, int setting);
};

// Resolves the rows against the model (a name it does not know stops the
// program at start-up: a fault of this table, caught by every window test).
PanelControls MakePanel(int category, int refreshButton, std::initializer_list<PanelRow> rows,
                        void (*afterRead)(WindowHost&, int) = nullptr);

// Empties every field (an editable one loses its changed mark), enables or
// disables the fields, their write buttons and the refresh button by the
// panel's operational mode, then lets the window paint.
void ResetPanel(WindowHost& window, const PanelControls& panel);
// Whether the panel can be used in the current device mode.
bool PanelUsable(WindowHost& window, const PanelControls& panel);
// Resets the panel and, when usable, reads its settings in order into their
// fields; a setting the firmware does not offer is left empty and disabled.
// Stops at the first failed read (its message shown) and gives false.
bool RefreshPanel(WindowHost& window, const PanelControls& panel);
// Routes the refresh button and every write button to their handlers, the
// write route chosen by the setting's write kind.
void RoutePanel(WindowHost& window, const PanelControls& panel);

QString FormatDottedAddress(uint32_t value);

// ---------------------------------------------------------------------------
// Reads

// Reads one setting and shows it in its field, then lets the window paint.
// A failed read shows the protocol error message (ShowZelError) and gives
// false; the field is left as it was.
bool ReadSettingIntoField(WindowHost& window, const PanelField& field);

// ---------------------------------------------------------------------------
// What the operator typed

// The field's text (first 99 characters) with the field's thousands separator
// removed, read as ScanTypedNumber does. 0 for no field.
int64_t ParseEditNumber(const TavEdit* field);
// The field's text scanned as "a.b.c.d"; octets not given stay -1.
IpOctets ScanAddressField(const TavEdit* field);

// ---------------------------------------------------------------------------
// Write handlers. Each runs under the busy rule and does nothing while
// another command runs.

// Writes the number typed, reads the setting back and shows what the device
// now holds; when that is not what was written, the status line says so. A
// failure is shown and the field keeps the operator's text.
void PlainWrite(WindowHost& window, const PanelField& field);
// Writes the address typed, not read back; the field keeps its text and turns
// unchanged.
void AddressWrite(WindowHost& window, const PanelField& field);
// Below the setting's lowest firmware sends nothing; else writes, reads back
// and shows the value without looking at either result.
void GatedWrite(WindowHost& window, const PanelField& field);
// Shows "Writing to <caption> - Unit will reboot", writes (result not
// examined), reads the setting back into its store when it has one and waits
// for the rebooting device with RebootAndReconnect.
void RebootingWrite(WindowHost& window, const PanelField& field);

// The status line's words when the unit holds another value than written.
// For the change log: the unit's serial number as the device panel shows it, and the
// value a field last showed from the device (empty for no field).
QString UnitSerialText(const WindowHost& window);
QString DeviceTextOf(const TavEdit* field);

QString KeptAnotherValueText(const SettingView& view, uint64_t held, uint64_t written);
