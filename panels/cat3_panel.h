// Category 3, network: the device's Ethernet configuration, plus Reboot and Change.
#pragma once

#include "panel_framework.h"

const PanelControls& Cat3Panel();
void RouteCat3Commands(Zel5100UtilDlg& window);
