#include "serial_node_check.h"

#include <cctype>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    for (size_t i = 0; prefix[i] != '\0'; ++i) {
        if (i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[i])) != static_cast<unsigned char>(prefix[i]))
            return false;
    }
    return true;
}

}  // namespace

bool IsNetworkPortName(const std::string& name) {
    return StartsWithNoCase(name, "tcp://") || StartsWithNoCase(name, "rfc2217://");
}

std::string NotASerialPortText(const std::string& name) {
    return name + " is not a serial port";
}
