// Category 0x83, ASI/SPI input (mode 0, ASI to IP).
#pragma once

#include "panel_framework.h"

const PanelControls& Cat83Panel();
