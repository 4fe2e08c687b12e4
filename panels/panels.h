// The seven category panels of the main window. Reset empties a panel and
// enables or disables it by DeviceMode; refresh resets it and then reads the
// category from the device again.
#pragma once

#include <vector>

class WindowHost;
struct PanelControls;

// All seven in category order 1, 2, 3, 0x81, 0x82, 0x83, 0x84.
const std::vector<const PanelControls*>& AllPanelControls();
void ResetAllPanels(WindowHost& window);
void RefreshAllPanels(WindowHost& window);

// The network panel alone (the DHCP wait refreshes it).
void ResetCat3Panel(WindowHost& window);
void RefreshCat3Panel(WindowHost& window);

// Connects the refresh and write buttons of every panel to their handlers.
void RoutePanelCommands(WindowHost& window);

// Timer 2's step while a DHCP address is awaited: refreshes the network panel
// once the device reports an address worth showing.
void PollAwaitedAddress(WindowHost& window);
