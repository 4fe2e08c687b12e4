// Ctrl-C and termination. The port is opened exclusively, and on a pseudo-terminal
// that mark outlives the process, so it is given back before the program ends,
// with its settings as found and without its lock file.
#pragma once

void InstallInterruptHandlers();
// While set, an interrupt only raises a flag (monitor stops after its current poll).
void SetGracefulInterrupt(bool graceful);
bool InterruptRequested();
// While set, a first Ctrl+C only writes `warning` to stderr; a second one within 3 s
// writes `ending` and ends the program as usual. Both texts must stay alive and
// unchanged while set (set new ones to change them); a null warning turns it off.
// Termination signals end the program at once.
void SetConfirmedInterrupt(const char* warning, const char* ending);
