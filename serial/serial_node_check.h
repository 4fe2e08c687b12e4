// Which names may be opened as a serial line. A terminal that is not a serial
// line (the operator's own terminal, the console, a virtual console) would be
// set raw and sent request frames; a file or FIFO is no port at all.
#pragma once

#include <string>

// A name served over the network (tcp://host:port, rfc2217://host:port).
bool IsNetworkPortName(const std::string& name);

// False for a local path that exists and is no serial line. A name that does
// not exist, and a network name, pass: opening them reports what is wrong.
bool MayOpenAsSerialPort(const std::string& name);

// The status text for a name MayOpenAsSerialPort refuses.
std::string NotASerialPortText(const std::string& name);
