// Choosing the kind of link from the port name.
#include "serial_link.h"

#include <cctype>

#include "local_serial_link.h"
#include "network_link.h"
#include "serial_node_check.h"

namespace {

// "foo" for "foo://x"; "" for a name with no scheme (a path, COM3, a digit).
std::string SchemeOf(const std::string& name) {
    const size_t end = name.find("://");
    if (end == std::string::npos || end == 0) return "";
    if (!std::isalpha(static_cast<unsigned char>(name[0]))) return "";
    for (size_t i = 1; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return "";
    }
    return name.substr(0, end);
}

}  // namespace

std::unique_ptr<SerialLink> MakeSerialLink(const std::string& name, std::string* refusal) {
    const std::string scheme = SchemeOf(name);
    if (scheme.empty()) return MakeLocalSerialLink();
    if (IsNetworkPortName(name)) return MakeNetworkLink();
    if (refusal) {
        *refusal = "Ports named \"" + scheme + "://...\" cannot be opened here: give a serial port such as /dev/ttyUSB0, or tcp://HOST:PORT or rfc2217://HOST:PORT";
    }
    return nullptr;
}
