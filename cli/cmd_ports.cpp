// ports: the serial ports present and what the system knows about each.
#include <cstdio>

#include "com_port.h"
#include "commands.h"
#include "json_document.h"
#include "port_discovery.h"
#include "remembered_port.h"
#include "standard_output.h"
#include "text_codes.h"

namespace {

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

int RunPorts(const CliOptions& options) {
    ExpectArgs(options, 0, 0, "no arguments");
    const std::vector<ComPortInfo> ports = DiscoverComPorts();
    const std::string remembered = RememberedComPort();
    const std::string rememberedName = remembered.empty() ? "" : ResolvePortName(remembered);

    if (options.json) {
        Json list = Json::array();
        for (const ComPortInfo& port : ports) {
            Json item = Json::object();
            item["name"] = port.name;
            item["usbVendorProduct"] = port.usbVendorProduct;
            item["manufacturer"] = port.manufacturer;
            item["product"] = port.product;
            item["serialNumber"] = port.serialNumber;
            item["driver"] = port.driver;
            item["byIdAlias"] = port.byIdAlias;
            item["remembered"] = !rememberedName.empty() && port.name == rememberedName;
            list.push_back(std::move(item));
        }
        Json document = Json::object();
        document["ports"] = std::move(list);
        document["rememberedPort"] = remembered;
        WriteOut(JsonText(document) + "\n");
        return 0;
    }

    if (ports.empty()) {
        if (!options.quiet) std::fprintf(stderr, "No serial ports found.\n");
        return 0;
    }
    PrintOut("  %-14s %-9s %-30s %-16s %-12s %s\n", "PORT", "USB", "MANUFACTURER", "SERIAL", "DRIVER",
             "BY-ID ALIAS");
    for (const ComPortInfo& port : ports) {
        const bool isRemembered = !rememberedName.empty() && port.name == rememberedName;
        std::string manufacturer = port.manufacturer;
        if (!port.product.empty()) {
            manufacturer += manufacturer.empty() ? port.product : " " + port.product;
        }
        // The USB strings are the adapter's own: shown escaped, like any foreign text.
        PrintOut("%s %-14s %-9s %-30s %-16s %-12s %s\n", isRemembered ? "*" : " ",
                 Printable(port.name).c_str(), Printable(OrDash(port.usbVendorProduct)).c_str(),
                 Printable(OrDash(manufacturer)).c_str(), Printable(OrDash(port.serialNumber)).c_str(),
                 Printable(OrDash(port.driver)).c_str(), Printable(OrDash(port.byIdAlias)).c_str());
    }
    return 0;
}
