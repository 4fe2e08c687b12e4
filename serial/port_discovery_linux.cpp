// Serial ports from the sysfs tty class.
//
// /sys/class/tty/<name> links to every terminal the kernel knows. Those with
// a "device" link have hardware (or at least a driver) behind them; the
// rest are virtual consoles and pseudo-terminals. Serial-core ports also
// carry a "type" attribute, 0 (unknown) for the on-board 8250 placeholders
// that the kernel creates whether a UART exists or not.
#include "port_discovery.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// First line of a sysfs attribute, without trailing blanks; "" when unreadable.
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return "";
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

std::string UeventValue(const fs::path& dir, const std::string& key) {
    std::ifstream in(dir / "uevent");
    std::string line;
    const std::string prefix = key + "=";
    while (std::getline(in, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
    }
    return "";
}

fs::path Resolved(const fs::path& link) {
    std::error_code ec;
    fs::path target = fs::canonical(link, ec);
    return ec ? fs::path() : target;
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// On current kernels a serial-core port hangs below two "serial-base"
// devices (port and controller) whose drivers say nothing; the driver that
// matters is the one of the device above them.
std::string DriverName(fs::path device) {
    for (int level = 0; level < 4 && !device.empty(); ++level) {
        if (Resolved(device / "subsystem").filename() != "serial-base") break;
        device = device.parent_path();
    }
    return Resolved(device / "driver").filename().string();
}

// The USB device a port belongs to: the nearest ancestor with vendor and
// product ids (an adapter's port sits below its interface, below the device).
void FillUsbDetails(fs::path device, const fs::path& sysRoot, ComPortInfo* info) {
    for (int level = 0; level < 6 && !device.empty() && device != sysRoot; ++level) {
        if (Exists(device / "idVendor") && Exists(device / "idProduct")) {
            info->usbVendorProduct =
                ReadAttribute(device / "idVendor") + ":" + ReadAttribute(device / "idProduct");
            info->manufacturer = ReadAttribute(device / "manufacturer");
            info->product = ReadAttribute(device / "product");
            info->serialNumber = ReadAttribute(device / "serial");
            return;
        }
        device = device.parent_path();
    }
}

// The udev by-id link that points at the node, so that the operator can use a
// name that survives replugging the adapter.
std::string ByIdAlias(const fs::path& node, const fs::path& devRoot) {
    const fs::path target = Resolved(node);
    std::error_code ec;
    fs::directory_iterator it(devRoot / "serial" / "by-id", ec);
    if (ec || target.empty()) return "";
    std::vector<std::string> aliases;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (Resolved(it->path()) == target) aliases.push_back(it->path().string());
    }
    if (aliases.empty()) return "";
    std::sort(aliases.begin(), aliases.end());
    return aliases.front();
}

bool IsPlaceholderPort(const fs::path& ttyDir) {
    // Only serial-core ports have "type"; USB and CDC ports have none.
    return Exists(ttyDir / "type") && ReadAttribute(ttyDir / "type") == "0";
}

}  // namespace

std::vector<ComPortInfo> DiscoverComPorts(const std::string& sysRoot, const std::string& devRoot) {
    std::vector<ComPortInfo> ports;
    const fs::path sysRootPath = Resolved(sysRoot);
    std::error_code ec;
    fs::directory_iterator it(fs::path(sysRoot) / "class" / "tty", ec);
    if (ec) return ports;

    // increment(ec) rather than a range-for: a tree that changes while it is
    // read (an adapter unplugged) must end the walk, not throw.
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path ttyDir = it->path();
        const fs::path device = Resolved(ttyDir / "device");
        if (device.empty() || IsPlaceholderPort(ttyDir)) continue;

        ComPortInfo info;
        info.driver = DriverName(device);
        if (info.driver.empty()) continue;  // nothing bound to drive the port

        // sysfs spells a "/" in a device name as "!"; uevent has the real name.
        std::string nodeName = UeventValue(ttyDir, "DEVNAME");
        if (nodeName.empty()) {
            nodeName = ttyDir.filename().string();
            std::replace(nodeName.begin(), nodeName.end(), '!', '/');
        }
        const fs::path node = fs::path(devRoot) / nodeName;
        if (!Exists(node)) continue;

        info.name = node.string();
        FillUsbDetails(device, sysRootPath, &info);
        info.byIdAlias = ByIdAlias(node, devRoot);
        ports.push_back(std::move(info));
    }

    std::sort(ports.begin(), ports.end(),
              [](const ComPortInfo& a, const ComPortInfo& b) { return NaturalNameLess(a.name, b.name); });
    return ports;
}
