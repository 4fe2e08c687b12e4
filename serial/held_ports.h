// The ports this process has open, kept where a signal handler can reach them:
// each with the terminal settings found at opening and its lock file, so that
// releasing it puts everything back as it was.
#pragma once

#include <string>

struct termios;

// Records a port being opened (fd -1 until it is open); the place to hand back
// later, or -1 when no place is left.
int HoldPort(int fd, const std::string& lockPath);
void SetHeldPortDescriptor(int slot, int fd);
// The settings to put back at release; not given for what is no terminal.
void KeepSettingsToRestore(int slot, const termios& settings);
// Whether a port open here owns this lock file.
bool LockFileHeldHere(const std::string& lockPath);
// Puts the settings back, gives up exclusive mode, closes, removes the lock file.
void ReleaseHeldPort(int slot);
// ReleaseHeldPort for every port still held; async-signal-safe.
void ReleaseAllHeldPorts();
