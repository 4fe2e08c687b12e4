#include "fleet_ports.h"

#include <fstream>
#include <sstream>

#include "cli_errors.h"
#include "cli_options.h"

namespace {

// A port or label given twice would send two threads to one line, or make two units indistinguishable.
void CheckUnique(const std::vector<FleetPort>& ports, const FleetPort& port, const std::string& where) {
    for (const FleetPort& known : ports) {
        if (known.name == port.name) ThrowUsage(where + ": port " + port.name + " is listed twice");
        if (!port.label.empty() && known.label == port.label)
            ThrowUsage(where + ": label " + port.label + " is given to two ports");
    }
}

}  // namespace

std::vector<FleetPort> ReadPortsFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) ThrowUsage("cannot read the ports file " + path);
    std::vector<FleetPort> ports;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        const std::string where = path + ":" + std::to_string(number);
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        FleetPort port;
        std::string extra;
        if (!(words >> port.name)) continue;
        words >> port.label;
        if (words >> extra) ThrowUsage(where + ": more than a port name and a label (" + extra + ")");
        CheckUnique(ports, port, where);
        ports.push_back(port);
    }
    if (file.bad()) ThrowUsage("cannot read the ports file " + path);
    return ports;
}

std::vector<FleetPort> FleetPortsFromOptions(const CliOptions& options) {
    std::vector<FleetPort> ports;
    for (const std::string& name : options.ports) {
        FleetPort port{name, ""};
        CheckUnique(ports, port, "--port");
        ports.push_back(port);
    }
    if (options.portsFile.empty()) return ports;
    const std::string path = options.portsFile;
    const std::vector<FleetPort> listed = ReadPortsFile(path);
    if (listed.empty()) ThrowUsage("the ports file " + path + " lists no port");
    for (const FleetPort& port : listed) {
        CheckUnique(ports, port, path);
        ports.push_back(port);
    }
    return ports;
}
