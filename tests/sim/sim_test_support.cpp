#include "sim_test_support.h"

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> SimRaw(const std::string& text) {
    std::vector<uint8_t> frame;
    frame.push_back(ZEL_STX);
    frame.insert(frame.end(), text.begin(), text.end());
    frame.push_back(ZEL_ETX);
    return frame;
}

std::vector<uint8_t> SimFrame(const std::string& text) {
    static const char kDigits[] = "0123456789ABCDEF";
    int sum = ZelChecksum(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
    std::string withSum = text;
    withSum.push_back(kDigits[sum >> 4]);
    withSum.push_back(kDigits[sum & 0xF]);
    return SimRaw(withSum);
}

void SimTest::Start(const SimConfig& config) {
    transport.reset();
    device = std::make_unique<SimDevice>(config, clock);
    transport = std::make_unique<SimTransport>(*device, clock);
    transport->Install();
}

void SimTest::TearDown() {
    transport.reset();
    device.reset();
}

std::vector<uint8_t> SimTest::Collect(int waitMs) {
    clock.AdvanceMs(waitMs);
    std::vector<uint8_t> out(4096);
    out.resize(device->Read(out.data(), out.size()));
    return out;
}

std::vector<uint8_t> SimTest::Exchange(const std::vector<uint8_t>& request, int waitMs) {
    device->Receive(request.data(), request.size());
    return Collect(waitMs);
}
