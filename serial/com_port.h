// The serial link to the device: opening a COM port and the four transport
// hooks (transmit, receive, sleep, pump) that the protocol engine talks through.
//
// Plain POSIX termios. One ComPort is owned by the application object, which
// hands it to the hooks as their context.
#pragma once

#include <cstdint>
#include <string>

#include "zel_protocol.h"

// Who holds a port that another program has open for itself.
struct ComPortHolder {
    int pid = 0;          // 0 when not known
    std::string program;  // its name as the system lists it; "" when not known
};

struct ComPort {
    int fd = -1;
    int lastErrno = 0;  // errno of the last failed opening, 0 after a good one
    std::string name;   // the name last given to OpenComPort
    // After an opening refused because the port is held: by whom, and whether
    // the only trace left is the exclusive mark of a program that has ended.
    ComPortHolder holder;
    bool leftLocked = false;
    // While open: the lock file that tells other serial programs the port is
    // ours, or, when none could be made, why not.
    std::string lockFile;
    std::string lockNote;
    int heldSlot = -1;  // its place among the ports released on a fatal signal
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
    COM_OPEN_NOT_SERIAL = -6,      // a terminal, file or device that is no serial line; nothing opened
};

// Closes the port held first (also when the new one then fails), opens `name`
// as given, exclusively, sets 115200 8N1 raw and registers the Com* hooks
// with ZelSetTransport, context = port. Returns 0 or -1..-5. After -2..-5 the
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
ZelResult ComPumpMessages(void* context);

// The name to open for the COM port box's text. A lone decimal digit names a
// port by number (COMn where ports are called so, /dev/ttyUSBn on Linux);
// everything else is a full name and passes unchanged.
std::string ResolvePortName(const std::string& operatorText);
// Why the last opening of `port` failed, in words a user can act on (no such
// port, held by which program, no permission and what to do); "" after a good
// one. The window and zelctl both show this text.
std::string ComOpenFailureHint(const ComPort& port);
