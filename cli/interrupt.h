// Ctrl-C and termination. The port is opened exclusively, and on a pseudo-terminal
// that mark outlives the process, so it is given back before the program ends.
#pragma once

void InstallInterruptHandlers();
// The descriptor to release on an interrupt; -1 for none.
void SetInterruptPort(int fd);
// While set, an interrupt only raises a flag (monitor stops after its current poll).
void SetGracefulInterrupt(bool graceful);
bool InterruptRequested();
