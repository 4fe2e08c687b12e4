// The classic way a serial tool waits for a reply: read whatever has arrived, and
// when the reply is not complete yet, try again 1 ms later, until the time-out.
// Kept here only to compare against; it is not the link's receive.
#pragma once

#include "zel_protocol.h"

// A receive hook with the serial link's contract (count, time-out, number received,
// 11 when nothing came) over the open ComPort given as context.
ZelResult PollingReceive(void* context, int address, uint8_t* buffer, int count, int* received,
                         int timeoutMs);
