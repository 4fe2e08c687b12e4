// Discovery of the serial ports present, for the COM port box and the
// command-line tool's port list.
#pragma once

#include <string>
#include <vector>

struct ComPortInfo {
    std::string name;              // what OpenComPort opens: /dev/ttyUSB0, /dev/ttyS0 ...
    std::string usbVendorProduct;  // "0403:6001" for a USB adapter, else empty
    std::string manufacturer;      // USB strings, empty when unknown
    std::string serialNumber;
    std::string byIdAlias;  // stable /dev/serial/by-id/... link to the port, if any
    std::string driver;     // kernel driver behind the port (ftdi_sio, cdc_acm, serial8250 ...)
    std::string product;
};

// Every serial port with a device behind it, read from the sysfs tty class
// under `sysRoot` and named under `devRoot`. Virtual terminals, pseudo-
// terminals and the legacy on-board placeholders without a UART are left
// out, as are ports whose device node does not exist. Ordered by name, with
// numbers compared as numbers (ttyS2 before ttyS10).
std::vector<ComPortInfo> DiscoverComPorts(const std::string& sysRoot = "/sys",
                                          const std::string& devRoot = "/dev");

// Appends the names of the ports present, in discovery order.
void EnumerateComPorts(std::vector<std::string>& portNames);

// Name order used by the discovery: digit runs compare by value.
bool NaturalNameLess(const std::string& a, const std::string& b);
