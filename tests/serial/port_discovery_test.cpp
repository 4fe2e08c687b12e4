// Port discovery against a sysfs and /dev tree that the test builds, shaped
// like the kernel's: class links into the device tree, serial-core ports
// below serial-base devices, USB adapters below their interface and device.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <tuple>

#include <gtest/gtest.h>

#include "port_discovery.h"

namespace fs = std::filesystem;

static auto Fields(const ComPortInfo& p) {
    return std::tie(p.name, p.usbVendorProduct, p.manufacturer, p.serialNumber, p.byIdAlias, p.driver,
                    p.product);
}
static bool operator==(const ComPortInfo& a, const ComPortInfo& b) {
    return Fields(a) == Fields(b);
}
static void PrintTo(const ComPortInfo& p, std::ostream* out) {
    *out << "{" << p.name << " | " << p.usbVendorProduct << " | " << p.manufacturer << " | " << p.serialNumber
         << " | " << p.byIdAlias << " | " << p.driver << " | " << p.product << "}";
}

namespace {

class FakeSystem {
public:
    FakeSystem() {
        char pattern[] = "/tmp/zel-fake-sys-XXXXXX";
        root_ = mkdtemp(pattern);
        fs::create_directories(Sys() / "class" / "tty");
        fs::create_directories(Dev());
    }
    ~FakeSystem() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    fs::path Sys() const { return root_ / "sys"; }
    fs::path Dev() const { return root_ / "dev"; }

    // A terminal with no hardware: console, tty0, ptmx, pseudo-terminals.
    void AddVirtual(const std::string& name) { AddTty(name, "devices/virtual/tty/" + name, ""); }

    // An 8250 port as current kernels show it: port and controller devices on
    // the serial-base bus below the device that carries the real driver.
    void AddSerialCore(const std::string& name, const std::string& parent, const std::string& driver,
                       int type) {
        fs::path parentDir = Sys() / "devices" / parent;
        Bind(parentDir, "bus/platform", driver);
        fs::path ctrl = parentDir / (fs::path(parent).filename().string() + ":0");
        Bind(ctrl, "bus/serial-base", "ctrl");
        fs::path portDir = ctrl / (ctrl.filename().string() + "." + name.substr(4));
        Bind(portDir, "bus/serial-base", "port");
        fs::path tty = AddTty(name, fs::relative(portDir / "tty" / name, Sys()).string(),
                              fs::relative(portDir, Sys()).string());
        Write(tty / "type", std::to_string(type));
    }

    // A USB adapter: device (ids and strings) / interface / port (driver) / tty.
    void AddUsbSerial(const std::string& name, const std::string& usbPath, const std::string& vendor,
                      const std::string& product, const std::string& manufacturer,
                      const std::string& productName, const std::string& serial, const std::string& driver,
                      bool portDeviceBetween) {
        fs::path device = Sys() / "devices" / usbPath;
        fs::create_directories(device);
        Write(device / "idVendor", vendor);
        Write(device / "idProduct", product);
        Write(device / "manufacturer", manufacturer);
        Write(device / "product", productName);
        if (!serial.empty()) Write(device / "serial", serial);
        fs::path interface = device / (device.filename().string() + ":1.0");
        fs::path owner = interface;
        if (portDeviceBetween) {  // usb-serial drivers put a port device below the interface
            fs::create_directories(interface);
            owner = interface / name;
        }
        Bind(owner, "bus/usb-serial", driver);
        AddTty(name, fs::relative(owner / "tty" / name, Sys()).string(), fs::relative(owner, Sys()).string());
    }

    void AddNode(const std::string& name) { Write(Dev() / name, ""); }

    void AddById(const std::string& alias, const std::string& target) {
        fs::create_directories(Dev() / "serial" / "by-id");
        fs::create_symlink("../../" + target, Dev() / "serial" / "by-id" / alias);
    }

    fs::path TtyDir(const std::string& name) const { return Sys() / "class" / "tty" / name; }

    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }

private:
    // The tty's own directory in the device tree, its class link, and its
    // "device" link when it has hardware behind it.
    fs::path AddTty(const std::string& name, const std::string& ttyPath, const std::string& devicePath) {
        fs::path dir = Sys() / ttyPath;
        fs::create_directories(dir);
        Write(dir / "uevent", "MAJOR=188\nMINOR=0\nDEVNAME=" + name);
        if (!devicePath.empty()) {
            fs::create_symlink(fs::relative(Sys() / devicePath, dir), dir / "device");
        }
        fs::create_symlink(fs::relative(dir, Sys() / "class" / "tty"), TtyDir(name));
        return dir;
    }

    void Bind(const fs::path& device, const std::string& bus, const std::string& driver) {
        fs::create_directories(device);
        fs::create_directories(Sys() / bus / "drivers" / driver);
        if (!fs::exists(device / "subsystem")) {
            fs::create_symlink(fs::relative(Sys() / bus, device), device / "subsystem");
        }
        if (!driver.empty() && !fs::exists(device / "driver")) {
            fs::create_symlink(fs::relative(Sys() / bus / "drivers" / driver, device), device / "driver");
        }
    }

    fs::path root_;
};

const ComPortInfo* Find(const std::vector<ComPortInfo>& ports, const std::string& name) {
    for (const ComPortInfo& port : ports) {
        if (port.name == name) return &port;
    }
    return nullptr;
}

// A desktop with one real on-board UART, three placeholders, two FTDI
// adapters, a CDC modem, and the usual virtual terminals.
class PortDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"console", "tty", "tty0", "tty1", "ptmx"}) {
            sys.AddVirtual(name);
            sys.AddNode(name);
        }
        sys.AddSerialCore("ttyS0", "pnp0/00:05", "serial", 4);
        for (const char* name : {"ttyS1", "ttyS2", "ttyS3"}) {
            sys.AddSerialCore(name, "platform/serial8250", "serial8250", 0);
        }
        sys.AddSerialCore("ttyS10", "pci0000:00/0000:00:16.3", "serial", 4);
        sys.AddUsbSerial("ttyUSB0", "pci0000:00/0000:00:14.0/usb1/1-2", "0403", "6001", "FTDI",
                         "FT232R USB UART", "A50285BI", "ftdi_sio", true);
        sys.AddUsbSerial("ttyUSB1", "pci0000:00/0000:00:14.0/usb1/1-3", "067b", "2303",
                         "Prolific Technology Inc.", "USB-Serial Controller", "", "pl2303", true);
        sys.AddUsbSerial("ttyACM0", "pci0000:00/0000:00:14.0/usb1/1-4", "2341", "0043",
                         "Arduino (www.arduino.cc)", "Uno", "75833353035351A0C1E1", "cdc_acm", false);
        for (const char* name :
             {"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0"}) {
            sys.AddNode(name);
        }
        sys.AddById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0");
        sys.AddById("usb-Arduino__www.arduino.cc__0043_75833353035351A0C1E1-if00", "ttyACM0");
    }

    std::string Node(const std::string& name) const { return (sys.Dev() / name).string(); }
    std::vector<ComPortInfo> Discover() const {
        return DiscoverComPorts(sys.Sys().string(), sys.Dev().string());
    }

    FakeSystem sys;
};

TEST_F(PortDiscoveryTest, ListsThePortsWithHardwareInNameOrderWithWhatIsKnownOfThem) {
    const std::string byId = (sys.Dev() / "serial" / "by-id").string() + "/";
    const std::vector<ComPortInfo> expected = {
        {Node("ttyACM0"), "2341:0043", "Arduino (www.arduino.cc)", "75833353035351A0C1E1",
         byId + "usb-Arduino__www.arduino.cc__0043_75833353035351A0C1E1-if00", "cdc_acm", "Uno"},
        // On-board ports: the driver above the serial core, no USB details.
        {Node("ttyS0"), "", "", "", "", "serial", ""},
        {Node("ttyS10"), "", "", "", "", "serial", ""},
        {Node("ttyUSB0"), "0403:6001", "FTDI", "A50285BI",
         byId + "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ftdi_sio", "FT232R USB UART"},
        {Node("ttyUSB1"), "067b:2303", "Prolific Technology Inc.", "", "", "pl2303", "USB-Serial Controller"},
    };
    EXPECT_EQ(Discover(), expected);
}

TEST_F(PortDiscoveryTest, LeavesOutPortsWithoutNodeOrDriver) {
    sys.AddUsbSerial("ttyUSB2", "pci0000:00/0000:00:14.0/usb1/1-5", "0403", "6015", "FTDI", "FT230X", "DN0",
                     "ftdi_sio", true);  // no node in /dev (not created, or a container)
    sys.AddUsbSerial("ttyUSB3", "pci0000:00/0000:00:14.0/usb1/1-6", "0403", "6015", "FTDI", "FT230X", "DN1",
                     "", true);  // no driver bound
    sys.AddNode("ttyUSB3");
    std::vector<ComPortInfo> ports = Discover();
    EXPECT_EQ(Find(ports, Node("ttyUSB2")), nullptr);
    EXPECT_EQ(Find(ports, Node("ttyUSB3")), nullptr);
    EXPECT_EQ(ports.size(), 5u);
}

TEST_F(PortDiscoveryTest, NodeNameComesFromTheDeviceEvent) {
    // sysfs writes a "/" in a device name as "!"; the node is a subdirectory.
    sys.AddUsbSerial("ttyX!0", "pci0000:00/0000:00:14.0/usb1/1-7", "1234", "5678", "Acme", "X", "1",
                     "acme_serial", true);
    FakeSystem::Write(sys.TtyDir("ttyX!0") / "uevent", "MAJOR=200\nMINOR=0\nDEVNAME=ttyX/0");
    FakeSystem::Write(sys.Dev() / "ttyX" / "0", "");
    EXPECT_NE(Find(Discover(), Node("ttyX/0")), nullptr);
}

TEST(PortDiscoveryEmptyTest, NoTreeOrNoPortsGivesAnEmptyList) {
    EXPECT_TRUE(DiscoverComPorts("/nonexistent-sys", "/nonexistent-dev").empty());
    FakeSystem sys;
    sys.AddVirtual("tty0");
    sys.AddNode("tty0");
    EXPECT_TRUE(DiscoverComPorts(sys.Sys().string(), sys.Dev().string()).empty());
}

TEST(PortDiscoveryEmptyTest, EnumerateAppendsToTheNamesAlreadyThere) {
    std::vector<std::string> names = {"first", "second"};
    EnumerateComPorts(names);
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], "first");
    EXPECT_EQ(names[1], "second");
    EXPECT_EQ(names.size() - 2, DiscoverComPorts().size());
}

TEST(NaturalNameLessTest, NumbersCompareByValue) {
    std::vector<std::string> names = {"/dev/ttyUSB10", "/dev/ttyS10",  "/dev/ttyUSB2",
                                      "/dev/ttyS2",    "/dev/ttyACM0", "/dev/ttyS1"};
    std::sort(names.begin(), names.end(), NaturalNameLess);
    EXPECT_EQ(names, std::vector<std::string>({"/dev/ttyACM0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS10",
                                               "/dev/ttyUSB2", "/dev/ttyUSB10"}));
    EXPECT_FALSE(NaturalNameLess("ttyS1", "ttyS1"));
    EXPECT_TRUE(NaturalNameLess("ttyS", "ttyS0"));
}

}  // namespace
