// The one place that knows what the main window is made of: the category
// panels and the firmware buttons, plugged into the window's hooks.
#pragma once

class Zel5100UtilDlg;

// Routes the panels' and the firmware group's buttons, gives the window its
// hooks and empties the panels for a window without a device.
void ComposeMainWindow(Zel5100UtilDlg& window);
