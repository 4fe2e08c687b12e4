// Category 0x84, ASI/SPI output (mode 1, IP to ASI).
#pragma once

#include "panel_framework.h"

const PanelControls& Cat84Panel();
