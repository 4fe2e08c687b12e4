// The simulated ZEL-5100 / ZEL-5137: request bytes in, reply bytes out.
//
// The model takes bytes as they come off the line (frames may be split across calls,
// stray bytes between frames are ignored), answers each well-formed request with at
// most one reply frame, and keeps every setting the window shows, the restart, the
// DHCP address and the firmware upgrade. Reply bytes wait in an outgoing queue, each
// stamped with the time it is on the line, so that restarts, delays and wire pacing
// come out the same in virtual time (tests) and in real time (the pseudo-terminal).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "sim_answer.h"
#include "sim_clock.h"
#include "sim_config.h"
#include "sim_faults.h"
#include "sim_frame.h"
#include "sim_line.h"
#include "sim_upgrade.h"

struct SimStats {
    uint64_t requests = 0;  // well-formed requests addressed to the device
    uint64_t ignored = 0;   // frames not answered: bad checksum, unreadable, other address
    uint64_t deaf = 0;      // bytes lost because the device was restarting
    uint64_t replies = 0;   // reply frames put on the line
    uint64_t refusals = 0;  // "E" replies, injected ones included
    uint64_t restarts = 0;
    // Injected faults
    uint64_t silenced = 0;
    uint64_t injectedErrors = 0;
    uint64_t injectedBusy = 0;
    uint64_t dropped = 0;
    uint64_t corrupted = 0;
    uint64_t noisy = 0;
    uint64_t delayed = 0;
    uint64_t held = 0;
};

class SimDevice {
public:
    // The device is switched on at the clock's present time.
    SimDevice(const SimConfig& config, const SimClock& clock);

    // Bytes from the host, arriving now.
    void Receive(const uint8_t* bytes, size_t count);
    // Takes up to max bytes that are on the line by now.
    size_t Read(uint8_t* buffer, size_t max);
    // When the next outgoing byte is on the line; -1 when nothing is waiting.
    int64_t NextOutputUs() const { return out_.NextArrivalUs(); }
    size_t PendingOutput() const { return out_.Pending(); }
    // The device has answered its last request before hanging up the line.
    bool HangingUp() const { return hangingUp_; }

    // Power-cycles the device now.
    void Restart();
    bool Restarting();
    // When the running restart ends; -1 when none runs.
    int64_t RestartEndsUs();

    // What a read of the setting answers now, without faults; nothing when the
    // device does not know it. The upgrade categories 0x80 and 0x85 are not served
    // here (reading Progress moves it): see UpgradeStatus.
    std::optional<uint64_t> Value(int category, int setting);
    // Test set-up: puts a value in place at once, without the write checks; network
    // settings change both what is configured and what is in use; a counter counts on
    // from the value.
    void SetValue(int category, int setting, uint64_t value);

    int Mode();
    int FirmwareVersion() const { return firmware_; }
    // The version the device will run after its next restart (a programmed image).
    std::optional<int> PendingFirmwareVersion() const { return pendingFirmware_; }

    // The firmware image as reassembled from the parts received so far.
    std::vector<uint8_t> UpgradeImage() const { return upgrade_.Image(); }
    SimUpgradeStatus UpgradeStatus() const { return upgrade_.Status(); }
    // Called with the whole image once it has been programmed (type 1) or verified
    // (type 2).
    void OnImageFinished(std::function<void(const std::vector<uint8_t>&)> callback) {
        imageFinished_ = std::move(callback);
    }
    // Called with every frame the device takes in (fromHost) or puts out.
    void OnTrace(std::function<void(bool fromHost, const std::vector<uint8_t>& frame)> callback) {
        trace_ = std::move(callback);
    }

    const SimStats& Stats() const { return stats_; }
    const SimConfig& Config() const { return config_; }

private:
    struct Effects {
        bool restartNow = false;         // before any reply: the Reboot write
        bool restartAfterReply = false;  // once the reply has left: Mode, Application
    };

    void Settle(int64_t atUs);
    void BeginRestart(int64_t atUs);
    void FinishRestart();
    void Feed(uint8_t byte, int64_t atUs);
    void HandleFrame(int64_t atUs);
    SimAnswer Execute(const SimRequest& request, int64_t atUs, Effects* effects);
    SimAnswer ReadSetting(int category, int setting, int64_t atUs);
    SimAnswer WriteSetting(int category, int setting, uint64_t value, int64_t atUs, Effects* effects);
    bool Knows(int category, int setting) const;
    uint64_t Stored(int category, int setting) const;
    void Store(int category, int setting, uint64_t value);
    void ActiveNetwork(int64_t atUs, uint32_t* address, uint32_t* subnet, uint32_t* gateway) const;
    std::vector<uint8_t> Disturb(std::vector<uint8_t> reply, const SimFaultDraw& draw);
    void ImageFinished(int64_t replyEndUs);

    SimConfig config_;
    const SimClock& clock_;
    SimLine in_;
    SimLine out_;
    SimFaults faults_;
    SimUpgrade upgrade_;
    SimStats stats_;

    std::map<int, uint64_t> values_;          // by category * 256 + setting
    std::map<int, int64_t> countingSinceUs_;  // counters: when their stored value held
    int firmware_;
    std::optional<int> pendingFirmware_;
    bool activeDhcp_;
    uint32_t activeAddress_, activeSubnet_, activeGateway_;

    int64_t poweredOnUs_;
    int64_t startedUs_;           // end of the last start
    int64_t restartAtUs_ = -1;    // a restart is due then
    int64_t restartEndsUs_ = -1;  // a restart runs until then

    bool inFrame_ = false;
    bool hangingUp_ = false;
    std::vector<uint8_t> heldReply_;  // with holdReplies: the reply still held back
    std::vector<uint8_t> frame_;

    std::function<void(const std::vector<uint8_t>&)> imageFinished_;
    std::function<void(bool, const std::vector<uint8_t>&)> trace_;
};
