#include "sim_listener.h"

#include "network_port_name.h"

bool ListenAt(const std::string& name, SimListener* listener, std::string* error) {
    // Port 0 is no port to connect to, but here it asks for a free one.
    std::string checked = name;
    const bool anyPort = checked.size() > 2 && checked.compare(checked.size() - 2, 2, ":0") == 0;
    if (anyPort) checked.back() = '1';
    NetworkPortName parsed;
    if (!ParseNetworkPortName(checked, &parsed, error)) return false;
    listener->telnet = parsed.telnet;
    std::vector<SocketAddress> addresses;
    std::string why;
    if (!ResolveAddresses(parsed.host, anyPort ? "0" : parsed.port, true, &addresses, &why)) {
        *error = "cannot resolve " + parsed.host + ": " + why;
        return false;
    }
    if (!listener->socket.Listen(addresses.front())) {
        *error = "cannot listen at " + name + ": " + listener->socket.ErrorText();
        return false;
    }
    const std::string host =
        parsed.host.find(':') != std::string::npos ? "[" + parsed.host + "]" : parsed.host;
    listener->name = std::string(listener->telnet ? "rfc2217://" : "tcp://") + host + ":" +
                     std::to_string(listener->socket.LocalPort());
    return true;
}
