// The seven category panels of the main window. Reset empties a panel and
// enables or disables it by DeviceMode; refresh resets it and then reads the
// category from the device again.
#pragma once

class Zel5100UtilDlg;

void ResetCat1Panel(Zel5100UtilDlg& window);
void ResetCat2Panel(Zel5100UtilDlg& window);
void ResetCat3Panel(Zel5100UtilDlg& window);
void ResetCat81Panel(Zel5100UtilDlg& window);
void ResetCat82Panel(Zel5100UtilDlg& window);
void ResetCat83Panel(Zel5100UtilDlg& window);
void ResetCat84Panel(Zel5100UtilDlg& window);

void RefreshCat1Panel(Zel5100UtilDlg& window);
void RefreshCat2Panel(Zel5100UtilDlg& window);
void RefreshCat3Panel(Zel5100UtilDlg& window);
void RefreshCat81Panel(Zel5100UtilDlg& window);
void RefreshCat82Panel(Zel5100UtilDlg& window);
void RefreshCat83Panel(Zel5100UtilDlg& window);
void RefreshCat84Panel(Zel5100UtilDlg& window);

// All seven in category order 1, 2, 3, 0x81, 0x82, 0x83, 0x84.
void ResetAllPanels(Zel5100UtilDlg& window);
void RefreshAllPanels(Zel5100UtilDlg& window);

// Connects the refresh and write buttons of every panel to their handlers.
void RoutePanelCommands(Zel5100UtilDlg& window);

// Timer 2's step while a DHCP address is awaited: refreshes the network panel
// once the device reports an address worth showing.
void PollAwaitedAddress(Zel5100UtilDlg& window);
