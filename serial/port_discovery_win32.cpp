// COM ports from the registry, as Windows lists them.
//
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM holds one value per port present, whose
// data is the port's name (COM3). SetupAPI knows the friendly name a driver
// gives it ("USB Serial Port (COM3)") and its hardware id; where it does not
// answer (wine), the name alone is listed.
#include "port_discovery.h"

#include <windows.h>

#include <setupapi.h>

#include <algorithm>
#include <map>

#include "windows_text_win32.h"

namespace {

std::vector<std::string> RegisteredPortNames() {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof data;
        DWORD type = 0;
        const LONG rc = RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataBytes);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
        std::wstring name(data, dataBytes / sizeof(wchar_t));
        while (!name.empty() && name.back() == L'\0')
            name.pop_back();
        if (!name.empty()) names.push_back(Utf8FromWide(name));
    }
    RegCloseKey(key);
    return names;
}

std::string DeviceProperty(HDEVINFO devices, SP_DEVINFO_DATA* device, DWORD property) {
    wchar_t buffer[512];
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(devices, device, property, &type, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr))
        return "";
    buffer[511] = L'\0';
    return Utf8FromWide(buffer);
}

// "VID_0403&PID_6001" in a hardware id becomes "0403:6001".
std::string UsbVendorProduct(const std::string& hardwareId) {
    const size_t vid = hardwareId.find("VID_");
    const size_t pid = hardwareId.find("PID_");
    if (vid == std::string::npos || pid == std::string::npos) return "";
    std::string text = hardwareId.substr(vid + 4, 4) + ":" + hardwareId.substr(pid + 4, 4);
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return char(std::tolower(c)); });
    return text;
}

// The ports SetupAPI knows, by name, with what it says of each.
std::map<std::string, ComPortInfo> DescribedPorts() {
    std::map<std::string, ComPortInfo> described;
    const GUID portsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
    HDEVINFO devices = SetupDiGetClassDevsW(&portsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return described;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(devices, index, &device)) break;
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        wchar_t portName[64];
        DWORD bytes = sizeof portName - sizeof(wchar_t);
        DWORD type = 0;
        const LONG rc =
            RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(portName), &bytes);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
        portName[bytes / sizeof(wchar_t)] = L'\0';
        ComPortInfo info;
        info.name = Utf8FromWide(portName);
        info.product = DeviceProperty(devices, &device, SPDRP_FRIENDLYNAME);
        info.manufacturer = DeviceProperty(devices, &device, SPDRP_MFG);
        info.driver = DeviceProperty(devices, &device, SPDRP_SERVICE);
        info.usbVendorProduct = UsbVendorProduct(DeviceProperty(devices, &device, SPDRP_HARDWAREID));
        described[info.name] = info;
    }
    SetupDiDestroyDeviceInfoList(devices);
    return described;
}

}  // namespace

std::vector<ComPortInfo> DiscoverComPorts(const std::string& /*sysRoot*/, const std::string& /*devRoot*/) {
    const std::map<std::string, ComPortInfo> described = DescribedPorts();
    std::vector<ComPortInfo> ports;
    for (const std::string& name : RegisteredPortNames()) {
        const bool listed = std::any_of(ports.begin(), ports.end(),
                                        [&name](const ComPortInfo& port) { return port.name == name; });
        if (listed) continue;
        const auto found = described.find(name);
        if (found != described.end()) {
            ports.push_back(found->second);
        } else {
            ComPortInfo info;
            info.name = name;
            ports.push_back(info);
        }
    }
    std::sort(ports.begin(), ports.end(),
              [](const ComPortInfo& a, const ComPortInfo& b) { return NaturalNameLess(a.name, b.name); });
    return ports;
}
