// Category 3, network: the device's Ethernet configuration, plus Reboot and Change.
#pragma once

#include "panel_framework.h"

const PanelControls& Cat3Panel();
void RouteCat3Commands(WindowHost& window);

// Button 1020: restarts the device and waits for it.
void OnRebootDevice(WindowHost& window);
// Button 1021: the Change IP Address dialog, then a restart when it wrote anything.
void OnChangeIpAddress(WindowHost& window);
