#include "sim_device.h"

#include "sim_settings.h"
#include "zel_protocol.h"
#include "zel_setting_ids.h"

namespace {

constexpr int Key(int category, int setting) {
    return category * 256 + setting;
}

// Longest text between STX and ETX a request can have (2048 data bytes plus header,
// index and checksum), with room to spare; anything longer is line garbage.
constexpr size_t kMaxFrameContent = 2100;

constexpr int kSetBusy = 12;
constexpr int kSetFlashWrites = 5;
constexpr int kSetFecDelay = 3;
constexpr int kSetFecEnable = 4;
constexpr int kSetReceiveEnable = 2;
constexpr int kSetReceiveStatus = 14;

// From this firmware version on the device waits for the host's Reboot after a
// type-1 upgrade; older firmware restarts by itself once programming is done.
constexpr int kRebootCommandFirmware = 14;

constexpr uint32_t kLinkLocalSubnet = 0xFFFF0000;

uint64_t Truncate(uint64_t value, int bytes) {
    return bytes >= 8 ? value : value & ((uint64_t{1} << (8 * bytes)) - 1);
}

bool IsUpgradeCategory(int category) {
    return category == ZEL_CAT_UPGRADE_TYPE1 || category == ZEL_CAT_UPGRADE_TYPE2;
}

}  // namespace

SimDevice::SimDevice(const SimConfig& config, const SimClock& clock)
    : config_(config),
      clock_(clock),
      in_(config.wirePacing),
      out_(config.wirePacing),
      faults_(config.faults),
      upgrade_(SimUpgradeSettings{config.upgradeProgressSteps, config.failUpgrade, config.eraseBusyMs,
                                  config.upgradeMode, config.refuseLastPart}),
      firmware_(config.firmwareVersion),
      activeDhcp_(config.dhcpEnabled),
      activeAddress_(config.staticAddress),
      activeSubnet_(config.staticSubnet),
      activeGateway_(config.staticGateway),
      poweredOnUs_(clock.NowUs()),
      startedUs_(clock.NowUs()) {
    int count = 0;
    const SimSettingSpec* rows = SimSettingRows(&count);
    for (int i = 0; i < count; ++i)
        values_[Key(rows[i].category, rows[i].setting)] = rows[i].initial;
    Store(ZEL_CAT_DEVICE, ZEL_SET_FPGA_VERSION, static_cast<uint32_t>(config.fpgaVersion));
    Store(ZEL_CAT_DEVICE, ZEL_SET_HARDWARE_VERSION, static_cast<uint32_t>(config.hardwareVersion));
    Store(ZEL_CAT_DEVICE, ZEL_SET_SERIAL_NUMBER, config.serialNumber);
    Store(ZEL_CAT_DEVICE, 7, static_cast<uint32_t>(config.bootloaderVersion));
    Store(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE, static_cast<uint32_t>(config.mode));
    Store(ZEL_CAT_NETWORK, ZEL_SET_IP_ADDRESS, config.staticAddress);
    Store(ZEL_CAT_NETWORK, ZEL_SET_SUBNET_MASK, config.staticSubnet);
    Store(ZEL_CAT_NETWORK, ZEL_SET_GATEWAY, config.staticGateway);
    Store(ZEL_CAT_NETWORK, ZEL_SET_DHCP_ENABLED, config.dhcpEnabled ? 1 : 0);
    Store(ZEL_CAT_NETWORK, ZEL_SET_MAC_ADDRESS, config.macAddress);
}

uint64_t SimDevice::Stored(int category, int setting) const {
    auto it = values_.find(Key(category, setting));
    return it == values_.end() ? 0 : it->second;
}

void SimDevice::Store(int category, int setting, uint64_t value) {
    values_[Key(category, setting)] = value;
}

// ---------------------------------------------------------------------------
// Restart

void SimDevice::Settle(int64_t atUs) {
    if (restartAtUs_ >= 0 && atUs >= restartAtUs_) BeginRestart(restartAtUs_);
    if (restartEndsUs_ >= 0 && atUs >= restartEndsUs_) FinishRestart();
}

void SimDevice::BeginRestart(int64_t atUs) {
    restartAtUs_ = -1;
    restartEndsUs_ = atUs + static_cast<int64_t>(config_.restartMs) * 1000;
    inFrame_ = false;
    frame_.clear();
    ++stats_.restarts;
    // Whatever the starting firmware prints comes out as soon as it is up.
    if (!config_.startupNoise.empty())
        out_.Send(reinterpret_cast<const uint8_t*>(config_.startupNoise.data()), config_.startupNoise.size(),
                  restartEndsUs_);
}

void SimDevice::FinishRestart() {
    startedUs_ = restartEndsUs_;
    restartEndsUs_ = -1;
    // Network settings written since the last start take effect now.
    activeDhcp_ = Stored(ZEL_CAT_NETWORK, ZEL_SET_DHCP_ENABLED) != 0;
    activeAddress_ = static_cast<uint32_t>(Stored(ZEL_CAT_NETWORK, ZEL_SET_IP_ADDRESS));
    activeSubnet_ = static_cast<uint32_t>(Stored(ZEL_CAT_NETWORK, ZEL_SET_SUBNET_MASK));
    activeGateway_ = static_cast<uint32_t>(Stored(ZEL_CAT_NETWORK, ZEL_SET_GATEWAY));
    Store(ZEL_CAT_NETWORK, ZEL_SET_REBOOT, 0);
    if (pendingFirmware_) {
        firmware_ = *pendingFirmware_;
        pendingFirmware_.reset();
    }
    upgrade_.Reset();
}

void SimDevice::Restart() {
    int64_t now = clock_.NowUs();
    Settle(now);
    if (restartEndsUs_ < 0) {
        restartAtUs_ = now;
        Settle(now);
    }
}

bool SimDevice::Restarting() {
    Settle(clock_.NowUs());
    return restartEndsUs_ >= 0;
}

int64_t SimDevice::RestartEndsUs() {
    Settle(clock_.NowUs());
    return restartEndsUs_;
}

// ---------------------------------------------------------------------------
// Bytes in and out

void SimDevice::Receive(const uint8_t* bytes, size_t count) {
    if (count == 0) return;
    std::vector<int64_t> arrivals(count);
    in_.Arrivals(count, clock_.NowUs(), arrivals.data());
    for (size_t i = 0; i < count; ++i) {
        Settle(arrivals[i]);
        if (restartEndsUs_ >= 0) {
            ++stats_.deaf;
            continue;
        }
        Feed(bytes[i], arrivals[i]);
    }
}

size_t SimDevice::Read(uint8_t* buffer, size_t max) {
    return out_.Take(buffer, max, clock_.NowUs());
}

void SimDevice::Feed(uint8_t byte, int64_t atUs) {
    if (byte == ZEL_STX) {
        // A new start always wins: a frame cut short by noise is given up.
        inFrame_ = true;
        frame_.clear();
        return;
    }
    if (!inFrame_) return;
    if (byte == ZEL_ETX) {
        inFrame_ = false;
        HandleFrame(atUs);
        frame_.clear();
        return;
    }
    if (frame_.size() >= kMaxFrameContent) {
        inFrame_ = false;
        frame_.clear();
        ++stats_.ignored;
        return;
    }
    frame_.push_back(byte);
}

void SimDevice::HandleFrame(int64_t atUs) {
    if (trace_) {
        std::vector<uint8_t> whole;
        whole.reserve(frame_.size() + 2);
        whole.push_back(ZEL_STX);
        whole.insert(whole.end(), frame_.begin(), frame_.end());
        whole.push_back(ZEL_ETX);
        trace_(true, whole);
    }
    SimRequest request;
    SimParseResult parsed = ParseSimRequest(frame_.data(), frame_.size(), &request);
    if (parsed == SimParseResult::Ignore || request.address != ZEL_DEVICE_ADDRESS) {
        ++stats_.ignored;
        return;
    }
    ++stats_.requests;
    if (hangingUp_) return;
    if (config_.faults.hangUpAfterFrames >= 0 &&
        stats_.requests >= static_cast<uint64_t>(config_.faults.hangUpAfterFrames))
        hangingUp_ = true;

    SimFaultDraw draw = faults_.Draw();
    if (draw.silent) {
        ++stats_.silenced;
        return;
    }

    Effects effects;
    SimAnswer answer;
    if (parsed == SimParseResult::Refuse) {
        answer = SimAnswer::Refused();
    } else if (draw.error) {
        ++stats_.injectedErrors;
        answer = SimAnswer::Refused();
    } else if (draw.busy) {
        ++stats_.injectedBusy;
        answer = SimAnswer::NotNow();
    } else {
        answer = Execute(request, atUs, &effects);
    }

    if (effects.restartNow) {
        restartAtUs_ = atUs;
        Settle(atUs);
        return;
    }
    if (answer.kind == SimAnswer::Silent) return;

    char status = request.read ? 'R' : 'W';
    if (answer.kind == SimAnswer::Error) {
        status = 'E';
        ++stats_.refusals;
    } else if (answer.kind == SimAnswer::Busy) {
        status = 'B';
    }
    std::vector<uint8_t> reply = BuildSimReply(request, status, answer.value, answer.bytes);

    int64_t replyEndUs = atUs;
    if (draw.drop) {
        ++stats_.dropped;
    } else {
        reply = Disturb(std::move(reply), draw);
        int64_t startUs = atUs + (config_.wirePacing ? config_.turnaroundUs : 0);
        if (draw.delay) {
            ++stats_.delayed;
            int timeoutMs = ZelCategoryTimeout(request.category);
            if (timeoutMs < 0) timeoutMs = 300;
            startUs += static_cast<int64_t>(timeoutMs + config_.faults.delayPastTimeoutMs) * 1000;
        }
        if (config_.faults.holdReplies) {
            // The reply held back from the request before goes out now instead.
            std::swap(reply, heldReply_);
            ++stats_.held;
        }
        if (!reply.empty()) {
            replyEndUs = out_.Send(reply.data(), reply.size(), startUs);
            ++stats_.replies;
            if (trace_) trace_(false, reply);
        }
    }

    if (effects.restartAfterReply) restartAtUs_ = replyEndUs;
    if (upgrade_.TakeFinished()) ImageFinished(replyEndUs);
}

std::vector<uint8_t> SimDevice::Disturb(std::vector<uint8_t> reply, const SimFaultDraw& draw) {
    SimRandom& random = faults_.Random();
    if (draw.corrupt && reply.size() > 2) {
        ++stats_.corrupted;
        size_t at = 1 + static_cast<size_t>(random.Below(reply.size() - 2));
        reply[at] ^= static_cast<uint8_t>(1 + random.Below(127));
    }
    if (draw.noise) {
        ++stats_.noisy;
        size_t count = 1 + static_cast<size_t>(random.Below(8));
        std::vector<uint8_t> noise(count);
        for (uint8_t& b : noise)
            b = static_cast<uint8_t>(0x20 + random.Below(95));
        reply.insert(reply.begin(), noise.begin(), noise.end());
    }
    return reply;
}

void SimDevice::ImageFinished(int64_t replyEndUs) {
    std::vector<uint8_t> image = upgrade_.Image();
    if (upgrade_.Status().upgradeType == 1) {
        std::optional<int> version = SimImageFirmwareVersion(image);
        if (version) pendingFirmware_ = version;
        if (firmware_ < kRebootCommandFirmware && restartAtUs_ < 0 && restartEndsUs_ < 0)
            restartAtUs_ = replyEndUs;
    }
    if (imageFinished_) imageFinished_(image);
}

// ---------------------------------------------------------------------------
// Settings

bool SimDevice::Knows(int category, int setting) const {
    const SimSettingSpec* rule = FindSimSetting(category, setting);
    if (!rule || ZelSettingSize(category, setting) == 0) return false;
    if (rule->onlyType != 0 && rule->onlyType != config_.deviceType) return false;
    return firmware_ >= rule->minFirmware;
}

SimAnswer SimDevice::Execute(const SimRequest& request, int64_t atUs, Effects* effects) {
    int category = request.category;
    int setting = request.setting;
    if (!Knows(category, setting)) return SimAnswer::Refused();
    const SimSettingSpec& rule = *FindSimSetting(category, setting);
    int size = ZelSettingSize(category, setting);

    if (request.read) {
        if (!request.data.empty() || rule.check == SimCheck::Data) return SimAnswer::Refused();
        return ReadSetting(category, setting, atUs);
    }

    if (rule.check == SimCheck::Data)
        return upgrade_.WritePart(category, request.index, request.data.data(), request.data.size(), atUs);
    // A value write carries exactly the setting's digits.
    if (request.data.size() != static_cast<size_t>(2 * size)) return SimAnswer::Refused();
    uint64_t value = 0;
    for (uint8_t c : request.data) {
        int digit = SimHexDigit(c);
        if (digit < 0) return SimAnswer::Refused();
        value = value << 4 | static_cast<uint64_t>(digit);
    }
    if (!SimWriteAccepted(rule, value)) return SimAnswer::Refused();
    return WriteSetting(category, setting, value, atUs, effects);
}

SimAnswer SimDevice::WriteSetting(int category, int setting, uint64_t value, int64_t atUs, Effects* effects) {
    int size = ZelSettingSize(category, setting);
    if (IsUpgradeCategory(category)) {
        SimAnswer answer = upgrade_.WriteValue(category, setting, static_cast<uint32_t>(value), atUs);
        if (answer.kind == SimAnswer::Value) answer.bytes = size;
        return answer;
    }
    if (category == ZEL_CAT_NETWORK && setting == ZEL_SET_REBOOT && value == 1) {
        effects->restartNow = true;
        return SimAnswer::None();
    }
    if (config_.faults.ignoreWrites) return SimAnswer::Of(value, size);
    if (category == ZEL_CAT_CONFIGURATION && (setting == ZEL_SET_MODE || setting == ZEL_SET_APPLICATION))
        effects->restartAfterReply = true;
    if (category == ZEL_CAT_CONFIGURATION && setting == ZEL_SET_PERSIST && value == 1)
        Store(ZEL_CAT_CONFIGURATION, kSetFlashWrites, Stored(ZEL_CAT_CONFIGURATION, kSetFlashWrites) + 1);
    // A unit given an IP address of its own leaves DHCP at its next start.
    if (category == ZEL_CAT_NETWORK && setting == ZEL_SET_IP_ADDRESS)
        Store(ZEL_CAT_NETWORK, ZEL_SET_DHCP_ENABLED, 0);
    Store(category, setting, value);
    return SimAnswer::Of(value, size);
}

void SimDevice::ActiveNetwork(int64_t atUs, uint32_t* address, uint32_t* subnet, uint32_t* gateway) const {
    if (!activeDhcp_) {
        *address = activeAddress_;
        *subnet = activeSubnet_;
        *gateway = activeGateway_;
        return;
    }
    int64_t upMs = (atUs - startedUs_) / 1000;
    if (config_.dhcpLeaseMs >= 0 && upMs >= config_.dhcpLeaseMs) {
        *address = config_.leaseAddress;
        *subnet = config_.leaseSubnet;
        *gateway = config_.leaseGateway;
    } else if (config_.dhcpLinkLocalMs >= 0 && upMs >= config_.dhcpLinkLocalMs) {
        *address = config_.linkLocalAddress;
        *subnet = kLinkLocalSubnet;
        *gateway = 0;
    } else {
        *address = *subnet = *gateway = 0;
    }
}

SimAnswer SimDevice::ReadSetting(int category, int setting, int64_t atUs) {
    int size = ZelSettingSize(category, setting);
    if (IsUpgradeCategory(category) || (category == ZEL_CAT_DEVICE && setting == kSetBusy)) {
        SimAnswer answer = upgrade_.Read(category, setting, atUs);
        if (answer.kind == SimAnswer::Value) answer.bytes = size;
        return answer;
    }

    uint64_t value = Stored(category, setting);
    const SimSettingSpec* rule = FindSimSetting(category, setting);
    if (category == ZEL_CAT_DEVICE && setting == ZEL_SET_FIRMWARE_VERSION) {
        value = static_cast<uint32_t>(firmware_);
    } else if (category == ZEL_CAT_DEVICE && setting == ZEL_SET_TYPE) {
        value = static_cast<uint32_t>(config_.deviceType);
    } else if (category == ZEL_CAT_NETWORK && setting >= ZEL_SET_IP_ADDRESS && setting <= ZEL_SET_GATEWAY) {
        uint32_t address, subnet, gateway;
        ActiveNetwork(atUs, &address, &subnet, &gateway);
        value = setting == ZEL_SET_IP_ADDRESS ? address : setting == ZEL_SET_SUBNET_MASK ? subnet : gateway;
    } else if (category == ZEL_CAT_NETWORK && setting == ZEL_SET_DHCP_ENABLED) {
        value = activeDhcp_ ? 1 : 0;
    } else if (category == ZEL_CAT_IP_RECEIVE && setting == kSetFecDelay) {
        value = Stored(ZEL_CAT_IP_RECEIVE, kSetFecEnable) ? value : 0;
    } else if (category == ZEL_CAT_IP_RECEIVE && setting == kSetReceiveStatus) {
        value = Stored(ZEL_CAT_IP_RECEIVE, kSetReceiveEnable) ? 0 : 1;  // 0 = Ok, 1 = Disable
    } else if (rule && rule->perMinute != 0 && config_.countersMove) {
        auto since = countingSinceUs_.find(Key(category, setting));
        int64_t fromUs = since == countingSinceUs_.end() ? poweredOnUs_ : since->second;
        int64_t elapsedMs = atUs > fromUs ? (atUs - fromUs) / 1000 : 0;
        value += static_cast<uint64_t>(elapsedMs) * rule->perMinute / 60000;
    }
    return SimAnswer::Of(Truncate(value, size), size);
}

std::optional<uint64_t> SimDevice::Value(int category, int setting) {
    int64_t now = clock_.NowUs();
    Settle(now);
    if (IsUpgradeCategory(category) || !Knows(category, setting)) return std::nullopt;
    SimAnswer answer = ReadSetting(category, setting, now);
    if (answer.kind != SimAnswer::Value) return std::nullopt;
    return answer.value;
}

void SimDevice::SetValue(int category, int setting, uint64_t value) {
    int64_t now = clock_.NowUs();
    Settle(now);
    if (category == ZEL_CAT_DEVICE && setting == ZEL_SET_FIRMWARE_VERSION) {
        firmware_ = static_cast<int>(value);
        return;
    }
    if (category == ZEL_CAT_DEVICE && setting == ZEL_SET_TYPE) {
        config_.deviceType = static_cast<int>(value);
        return;
    }
    Store(category, setting, value);
    countingSinceUs_[Key(category, setting)] = now;
    if (category == ZEL_CAT_NETWORK) {
        uint32_t v = static_cast<uint32_t>(value);
        if (setting == ZEL_SET_IP_ADDRESS)
            activeAddress_ = v;
        else if (setting == ZEL_SET_SUBNET_MASK)
            activeSubnet_ = v;
        else if (setting == ZEL_SET_GATEWAY)
            activeGateway_ = v;
        else if (setting == ZEL_SET_DHCP_ENABLED)
            activeDhcp_ = v != 0;
    }
}

int SimDevice::Mode() {
    Settle(clock_.NowUs());
    return static_cast<int>(Stored(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE));
}
