// ports: the serial ports present and what the system knows about each.
#include <cstdio>

#include "commands.h"
#include "com_port.h"
#include "json_value.h"
#include "port_discovery.h"
#include "remembered_port.h"
#include "standard_output.h"
#include "text_codes.h"

namespace {

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

}  // namespace

int RunPorts(const CliOptions& options, CommandArgs& args) {
    args.Expect(0, 0, "no arguments");
    const std::vector<ComPortInfo> ports = DiscoverComPorts();
    const std::string remembered = RememberedComPort();
    const std::string rememberedName = remembered.empty() ? "" : ResolvePortName(remembered);

    if (options.json) {
        JsonValue list = JsonValue::Array();
        for (const ComPortInfo& port : ports) {
            JsonValue item = JsonValue::Object();
            item.Set("name", JsonValue::String(port.name));
            item.Set("usbVendorProduct", JsonValue::String(port.usbVendorProduct));
            item.Set("manufacturer", JsonValue::String(port.manufacturer));
            item.Set("product", JsonValue::String(port.product));
            item.Set("serialNumber", JsonValue::String(port.serialNumber));
            item.Set("driver", JsonValue::String(port.driver));
            item.Set("byIdAlias", JsonValue::String(port.byIdAlias));
            item.Set("remembered", JsonValue::Bool(!rememberedName.empty() && port.name == rememberedName));
            list.Push(std::move(item));
        }
        JsonValue document = JsonValue::Object();
        document.Set("ports", std::move(list));
        document.Set("rememberedPort", JsonValue::String(remembered));
        PrintOut("%s\n", document.Serialize().c_str());
        return 0;
    }

    if (ports.empty()) {
        if (!options.quiet) std::fprintf(stderr, "No serial ports found.\n");
        return 0;
    }
    PrintOut("  %-14s %-9s %-30s %-16s %-12s %s\n", "PORT", "USB", "MANUFACTURER", "SERIAL",
                "DRIVER", "BY-ID ALIAS");
    for (const ComPortInfo& port : ports) {
        const bool isRemembered = !rememberedName.empty() && port.name == rememberedName;
        std::string manufacturer = port.manufacturer;
        if (!port.product.empty()) {
            manufacturer += manufacturer.empty() ? port.product : " " + port.product;
        }
        // The USB strings are the adapter's own: shown escaped, like any foreign text.
        PrintOut("%s %-14s %-9s %-30s %-16s %-12s %s\n", isRemembered ? "*" : " ", Printable(port.name).c_str(),
                    Printable(OrDash(port.usbVendorProduct)).c_str(), Printable(OrDash(manufacturer)).c_str(),
                    Printable(OrDash(port.serialNumber)).c_str(), Printable(OrDash(port.driver)).c_str(),
                    Printable(OrDash(port.byIdAlias)).c_str());
    }
    return 0;
}
