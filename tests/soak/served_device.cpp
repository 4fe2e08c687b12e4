#include "served_device.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "zel_protocol.h"

ServedDevice::ServedDevice(const SimConfig& config, std::string linkPath)
    : device_(config, clock_), server_(device_, clock_), linkPath_(std::move(linkPath)) {}

bool ServedDevice::Start(std::string* error) {
    if (!server_.Open(linkPath_, error)) return false;
    thread_ = std::thread([this] {
        server_.Serve(&stop_);
        // The far end goes: the client's side of the terminal hangs up now.
        server_.Close();
    });
    return true;
}

std::string ServedDevice::PortName() const {
    return linkPath_.empty() ? server_.SlavePath() : linkPath_;
}

void ServedDevice::Unplug() {
    stop_ = 1;
    if (thread_.joinable()) thread_.join();
    server_.Close();
}

namespace {

SimConfig WithoutFaults(SimConfig config) {
    config.faults = SimFaultConfig();
    return config;
}

}  // namespace

ShadowDevice::ShadowDevice(const SimConfig& config) : device_(WithoutFaults(config), clock_) {}

void ShadowDevice::Write(int category, int setting, uint32_t value) {
    const int size = ZelSettingSize(category, setting);
    std::vector<uint8_t> frame{ZEL_STX};
    char header[16];
    std::snprintf(header, sizeof header, "%02X%02X%02Xw%s", ZEL_DEVICE_ADDRESS, category & 0xFF,
                  setting & 0xFF, ZelCategoryIndexed(category) ? "0000" : "");
    frame.insert(frame.end(), header, header + std::strlen(header));
    uint8_t digits[8];
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                              uint8_t(value >> 24)};
    frame.insert(frame.end(), digits, digits + ZelBytesToHex(bytes, size, digits));
    char checksum[3];
    std::snprintf(checksum, sizeof checksum, "%02X", ZelChecksum(frame.data() + 1, int(frame.size()) - 1));
    frame.insert(frame.end(), checksum, checksum + 2);
    frame.push_back(ZEL_ETX);
    device_.Receive(frame.data(), frame.size());
    uint8_t reply[64];
    while (device_.Read(reply, sizeof reply) > 0) {
    }
}
