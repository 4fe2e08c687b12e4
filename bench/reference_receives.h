// Receives to compare the serial link's own against, with its contract (count,
// time-out, number received, 11 when nothing came) over the open ComPort given as
// context. Kept here only for the benchmark; neither is the link's receive.
#pragma once

#include "zel_protocol.h"

// The classic way a serial tool waits for a reply: read whatever has arrived and,
// when the reply is not complete yet, try again 1 ms later, until the time-out.
ZelResult PollingReceive(void* context, int address, uint8_t* buffer, int count, int* received,
                         int timeoutMs);

// Reads in a loop that never sleeps. It takes every byte the moment it is there, so
// its times show what the pseudo-terminal and the simulator cost on their own; it
// burns a whole core doing so.
ZelResult SpinningReceive(void* context, int address, uint8_t* buffer, int count, int* received,
                          int timeoutMs);
