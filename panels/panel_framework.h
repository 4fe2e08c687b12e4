// What every category panel shares: its controls, the usability rule and the
// reset that empties and enables or disables it.
#pragma once

#include <vector>

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
