// Port names as the operator types them, and why an opening failed.
#include "com_port.h"

#include <cerrno>
#include <cstring>

namespace {

// Where ports are called COM1, COM2 ... a lone digit is the port's number.
// On Linux the everyday RS-232 port is a USB adapter, /dev/ttyUSBn, so the
// digit names that; every other port is picked from the list or typed in full.
#ifdef _WIN32
const char kNumberedPortPrefix[] = "COM";
#else
const char kNumberedPortPrefix[] = "/dev/ttyUSB";
#endif

}  // namespace

std::string ResolvePortName(const std::string& operatorText) {
    if (operatorText.size() == 1 && operatorText[0] >= '0' && operatorText[0] <= '9') {
        return kNumberedPortPrefix + operatorText;
    }
    return operatorText;
}

std::string ComOpenFailureHint(int lastErrno) {
    switch (lastErrno) {
    case 0: return "";
    case ENOENT:
    case ENODEV:
    case ENXIO: return "No such port";
    case EBUSY: return "The port is in use by another program";
    case EACCES:
    case EPERM:
        return "Permission denied: join the group that owns the port (typically dialout), "
               "then log in again";
    case ENOTTY: return "Not a serial port";
    case EINVAL: return "The port does not take the line settings 115200 8N1";
    case EIO: return "No serial hardware answers at this port";
    default: return std::strerror(lastErrno);
    }
}
