// Shared by the simulator's tests: a device on a virtual clock, bound to the
// protocol engine, and raw frame helpers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim_clock.h"
#include "sim_config.h"
#include "sim_device.h"
#include "sim_transport.h"
#include "zel_protocol.h"

// STX + text + checksum digits + ETX.
std::vector<uint8_t> SimFrame(const std::string& text);
// STX + text + ETX, as given.
std::vector<uint8_t> SimRaw(const std::string& text);
std::vector<uint8_t> Bytes(const std::string& text);
std::string Text(const std::vector<uint8_t>& bytes);

class SimTest : public ::testing::Test {
protected:
    // Builds the device with `config` and installs its transport.
    void Start(const SimConfig& config = SimConfig());
    void TearDown() override;

    // Hands bytes to the device directly and collects what it sends within waitMs.
    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request, int waitMs = 1000);
    // Moves virtual time on and takes whatever the device sent meanwhile.
    std::vector<uint8_t> Collect(int waitMs);

    VirtualClock clock{1000000};
    std::unique_ptr<SimDevice> device;
    std::unique_ptr<SimTransport> transport;
};
