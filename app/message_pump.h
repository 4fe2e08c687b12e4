// Dispatches the window messages that are already waiting, so the window
// paints and reacts while the program waits for the device. Never waits itself.
#pragma once

#include "zel_protocol.h"

void PumpPendingMessages();
// The same as a protocol pump hook (the context is not used).
ZelResult PumpPendingMessagesHook(void* context);
