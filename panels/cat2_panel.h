// Category 2, configuration: operational mode, application and volatile storage.
#pragma once

#include "panel_framework.h"

const PanelControls& Cat2Panel();
