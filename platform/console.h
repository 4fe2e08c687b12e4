// Whether the program talks to a person: its standard streams at a terminal
// (a console window on Windows) rather than a file or a pipe.
#pragma once

bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();
