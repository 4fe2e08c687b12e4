// Loopback TCP helpers for tests that put a server between the tool and a device.
#pragma once

#include <string>

// A TCP port on 127.0.0.1 that nobody listened on a moment ago. A program started
// afterwards binds it; a test retries on the rare clash.
int UnusedLoopbackPort();

// True once something listens on 127.0.0.1:port, seen without connecting (a
// connection would make a terminal server open its line).
bool ListeningOnLoopback(int port);

// A connection to 127.0.0.1:port, or -1.
int ConnectLoopback(int port);
