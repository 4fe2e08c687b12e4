// Category 0x81, IP receive settings (mode 1, IP to ASI).
#pragma once

#include "panel_framework.h"

const PanelControls& Cat81Panel();
