// Everything that makes one simulated ZEL-51xx differ from another.
#pragma once

#include <cstdint>
#include <string>

// Line faults for tests and soak runs. Each percentage is the chance, per answered
// request, that the fault hits; the same seed and the same requests give the same
// faults.
struct SimFaultConfig {
    double dropReplyPercent = 0;    // the device acts but its reply is lost
    double corruptBytePercent = 0;  // one byte of the reply is changed
    double delayReplyPercent = 0;   // the reply arrives after the category's time-out
    double noisePercent = 0;        // stray bytes arrive just before the reply
    double errorReplyPercent = 0;   // the device refuses with "E" and does nothing
    double busyReplyPercent = 0;    // the device answers "B" and does nothing
    // Answer this many requests, then nothing more, as if unplugged; -1 never.
    int64_t silentAfterFrames = -1;
    uint64_t seed = 1;
    // How far past the category's time-out a delayed reply arrives.
    int delayPastTimeoutMs = 50;
    // Each reply is held back until the next request arrives, and goes out just
    // before that request's own reply would have (which is held in its turn).
    bool holdReplies = false;
    // Writes of settings are answered as if done, but nothing changes.
    bool ignoreWrites = false;
    // Answer this many requests, then hang up the line (the terminal goes away); -1 never.
    int64_t hangUpAfterFrames = -1;
};

struct SimConfig {
    // Identity
    int deviceType = 5100;     // 5100 or 5137
    int mode = 1;              // 0 = ASI to IP, 1 = IP to ASI
    int firmwareVersion = 23;  // tenths: 23 is version 2.3
    int fpgaVersion = 7;
    int hardwareVersion = 3;
    int bootloaderVersion = 4;
    uint32_t serialNumber = 1002345;
    uint64_t macAddress = 0x020000123456ULL;

    // Restart: silent this long, then the start-up bytes (may be empty).
    int restartMs = 3000;
    std::string startupNoise;

    // Network. With DHCP the address reads 0.0.0.0, then the link-local address
    // after dhcpLinkLocalMs, then the leased one after dhcpLeaseMs (both counted
    // from the start of the device; negative: never).
    bool dhcpEnabled = false;
    uint32_t staticAddress = 0xC0A8000A;  // 192.168.0.10
    uint32_t staticSubnet = 0xFFFFFF00;
    uint32_t staticGateway = 0xC0A80001;
    int dhcpLinkLocalMs = 2000;
    int dhcpLeaseMs = 5000;
    uint32_t linkLocalAddress = 0xA9FE3456;  // 169.254.52.86
    uint32_t leaseAddress = 0x0A01022A;      // 10.1.2.42
    uint32_t leaseSubnet = 0xFFFFFF00;
    uint32_t leaseGateway = 0x0A010201;

    // Counters move with time when set; frozen at their start values otherwise.
    bool countersMove = true;

    // Firmware upgrade.
    int upgradeProgressSteps = 5;  // Progress polls from 0 to 100 (type 1)
    bool failUpgrade = false;      // type 1: Error turns non-zero; type 2: Verify reads 0
    int eraseBusyMs = 1500;        // type 2: Busy after Erase
    int upgradeMode = 1;           // type 2: what Mode (0x85, 1) reads at start
    bool refuseLastPart = false;   // type 1: the last part is refused with E

    // Wire pacing: bytes take 86.8 us each (115200 baud, 8N1) in both directions and a
    // reply starts turnaroundUs after the last byte of its request has arrived.
    bool wirePacing = false;
    int turnaroundUs = 1000;

    SimFaultConfig faults;
};
