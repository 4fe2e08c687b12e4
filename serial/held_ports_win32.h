// The COM ports this process has open, kept where a Ctrl+C handler can reach
// them: each with the line settings and time-outs found at opening, so that
// releasing it puts them back as they were.
#pragma once

#include <windows.h>

// Records an open port; its place, or -1 when no place is left.
int HoldComPort(HANDLE handle);
// What to put back at release, once read from the port.
void KeepComStateToRestore(int slot, const DCB& state, const COMMTIMEOUTS& timeouts);
// Puts the settings back and closes the port.
void ReleaseHeldComPort(int slot);
// ReleaseHeldComPort for every port still held. Ctrl+C handlers run in a
// thread of their own, so taking the register's lock here is safe.
void ReleaseAllHeldComPorts();
