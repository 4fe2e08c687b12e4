// Ctrl-C and termination. The port is opened exclusively, and on a pseudo-terminal
// that mark outlives the process, so it is given back before the program ends,
// with its settings as found and without its lock file.
#pragma once

void InstallInterruptHandlers();
// While set, an interrupt only raises a flag (monitor stops after its current poll).
void SetGracefulInterrupt(bool graceful);
bool InterruptRequested();
