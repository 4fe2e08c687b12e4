// Category 1, device properties: versions, serial number and type, all read-only.
#pragma once

#include "panel_framework.h"

const PanelControls& Cat1Panel();
