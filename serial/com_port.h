// The serial link to the device: opening a COM port and the four transport
// hooks (transmit, receive, sleep, pump) that the protocol engine talks through.
//
// Plain POSIX termios. One ComPort is owned by the application object, which
// hands it to the hooks as their context.
#pragma once

#include <cstdint>
#include <string>

#include "zel_protocol.h"

struct ComPort {
    int fd = -1;
    int lastErrno = 0;  // errno of the last failed opening, 0 after a good one
    // Installed by the window so that waits inside a transaction keep it
    // painting; left null by the command-line tool and the tests.
    ZelPumpFn pump = nullptr;
    void* pumpContext = nullptr;
};

// Failure codes of OpenComPort.
enum : int {
    COM_OPEN_OK = 0,
    COM_OPEN_FAILED = -1,         // no such port, held by another program, no permission
    COM_GET_SETTINGS_FAILED = -2,  // not a terminal
    COM_SET_SETTINGS_FAILED = -3,
    COM_GET_TIMING_FAILED = -4,
    COM_SET_TIMING_FAILED = -5,
};

// Closes the port held first (also when the new one then fails), opens `name`
// as given, exclusively, sets 115200 8N1 raw and registers the Com* hooks
// with ZelSetTransport, context = port. Returns 0 or -1..-5. After -2..-5 the
// port stays open in `port` and the caller closes it; hooks registered by an
// earlier good opening stay registered in every case.
int OpenComPort(ComPort* port, const std::string& name);
// Releases the port; safe on a port that is not open.
void CloseComPort(ComPort* port);
// Status-line text for an OpenComPort failure code; "" for any other code.
const char* ComOpenStatusText(int code);

ZelResult ComTransmit(void* context, int address, const uint8_t* bytes, int length);
ZelResult ComReceive(void* context, int address, uint8_t* buffer, int count, int* received,
                     int timeoutMs);
ZelResult ComSleep(void* context, int milliseconds);
// The port has been hung up or has vanished (an unplugged adapter), or is not open.
// Looks without waiting and without taking any input.
bool ComLineGone(const ComPort* port);
ZelResult ComPumpMessages(void* context);

// The name to open for the COM port box's text. A lone decimal digit names a
// port by number (COMn where ports are called so, /dev/ttyUSBn on Linux);
// everything else is a full name and passes unchanged.
std::string ResolvePortName(const std::string& operatorText);
// A plain-words reason for a failed opening, from ComPort::lastErrno; "" for 0.
std::string ComOpenFailureHint(int lastErrno);
