// The serial link to the device: opening a COM port and the four transport
// hooks (transmit, receive, sleep, pump) that the protocol engine talks through.
//
// The line itself is a SerialLink chosen by the port's name. One ComPort is
// owned by the application object, which hands it to the hooks as their context.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "com_open_failure.h"
#include "serial_link.h"

#include "zel_protocol.h"

struct ComPort {
    std::string name;  // the name last given to OpenComPort
    // Why the last opening failed; problem None after a good one.
    ComOpenFailure failure;
    // While open: the lock file that tells other serial programs the port is
    // ours, or, when none could be made, why not.
    std::string lockFile;
    std::string lockNote;
    // Installed by the window so that waits inside a transaction keep it
    // painting; left null by the command-line tool and the tests.
    ZelPumpFn pump = nullptr;
    void* pumpContext = nullptr;
    // The open line; null when none is open.
    std::unique_ptr<SerialLink> link;
};

// Closes the port held first (also when the new one then fails), opens `name`
// as given, exclusively, sets 115200 8N1 raw and registers the Com* hooks
// with ZelSetTransport, context = port. Returns 0 or -1..-6. After -2..-5 the
// port stays open in `port` and the caller closes it; hooks registered by an
// earlier good opening stay registered in every case.
//
// Exclusive means as other serial programs (minicom, picocom, ser2net) expect
// it: a lock file in the system's lock folder, an advisory lock on the port and
// the terminal's exclusive mode. A lock file or exclusive mode left behind by a
// program that has ended is taken over. The terminal settings found at opening
// are put back at closing.
int OpenComPort(ComPort* port, const std::string& name);
// Releases the port: its settings as found, its exclusive mode, its lock file.
// Safe on a port that is not open.
void CloseComPort(ComPort* port);
// The same for every port open in this process, for a handler of a fatal
// signal: async-signal-safe, and leaves the ComPort records as they are.
void ComReleaseAllPortsNow();
// Status-line text for an OpenComPort failure code; "" for any other code
// (COM_OPEN_NOT_SERIAL names the port: NotASerialPortText in serial_node_check.h).
const char* ComOpenStatusText(int code);

ZelResult ComTransmit(void* context, int address, const uint8_t* bytes, int length);
ZelResult ComReceive(void* context, int address, uint8_t* buffer, int count, int* received,
                     int timeoutMs);
ZelResult ComSleep(void* context, int milliseconds);
// The port has been hung up or has vanished (an unplugged adapter), or is not open.
// Looks without waiting and without taking any input.
bool ComLineGone(const ComPort* port);
bool ComPortIsOpen(const ComPort& port);
ZelResult ComPumpMessages(void* context);
// Asks a terminal server to throw away what it holds of the device's bytes.
ZelResult ComPurge(void* context);
// The round trip of a network port measured at opening, in milliseconds, that
// every wait for the device is lengthened by; -1 for a local port or none.
int ComRoundTripMs(const ComPort& port);

// The name to open for the COM port box's text. A lone decimal digit names a
// port by number (COMn where ports are called so, /dev/ttyUSBn on Linux);
// everything else is a full name and passes unchanged.
std::string ResolvePortName(const std::string& operatorText);
// Why the last opening of `port` failed, in words a user can act on (no such
// port, held by which program, no permission and what to do); "" after a good
// one. The window and zelctl both show this text.
std::string ComOpenFailureHint(const ComPort& port);
