// Ending the window by a signal (SIGTERM from a session ending, SIGHUP from a
// closed terminal, Ctrl+C in the terminal that started it) without leaving the
// port behind: its settings as found, its exclusive mode given up, no lock file.
#pragma once

void ReleasePortOnEndingSignals();
