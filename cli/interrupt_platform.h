// What the interrupt handling needs of the system, and what the system's
// handler asks of it. Called from a signal handler on POSIX systems (so only
// async-signal-safe calls inside), from a thread of its own on Windows.
#pragma once

#include <cstdint>

// Milliseconds of a clock that never goes back.
int64_t InterruptClockMs();
// Writes to standard error without buffering.
void WriteInterruptText(const char* text);

// Whether the program ends after an interrupt (the ports given back already).
// `fromKeyboard`: Ctrl+C, which a running upgrade may ask to have confirmed.
bool EndAfterInterrupt(bool fromKeyboard);
