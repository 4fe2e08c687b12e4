// Port names as the operator types them.
#include "com_port.h"

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
