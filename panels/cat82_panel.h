// Category 0x82, IP transmit settings (mode 0, ASI to IP).
#pragma once

#include "panel_framework.h"

const PanelControls& Cat82Panel();
