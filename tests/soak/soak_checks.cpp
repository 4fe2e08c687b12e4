#include "soak_checks.h"

#include <sstream>

#include "sim_frame.h"

void HostWriteLog::Attach(SimDevice& device) {
    device.OnTrace([this](bool fromHost, const std::vector<uint8_t>& frame) {
        if (!fromHost || frame.size() < 2) return;
        SimRequest request;
        if (ParseSimRequest(frame.data() + 1, frame.size() - 2, &request) != SimParseResult::Ok ||
            request.read)
            return;
        // The firmware upgrade's own commands: its parts and settings, and the reboot
        // that ends it.
        if (request.category == 0x80 || request.category == 0x85 ||
            (request.category == 0x03 && request.setting == 5))
            return;
        uint64_t value = 0;
        for (uint8_t c : request.data)
            value = value << 4 | uint64_t(SimHexDigit(c) < 0 ? 0 : SimHexDigit(c));
        std::lock_guard<std::mutex> lock(mutex_);
        writes_.push_back({request.category, request.setting, value});
    });
}

std::vector<HostWriteLog::Write> HostWriteLog::Writes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

::testing::AssertionResult WritesAsIntended(const std::vector<SoakOp>& planned,
                                            const std::vector<HostWriteLog::Write>& seen) {
    // Two writes of the same value in a row cannot be told from one write sent twice.
    std::vector<SoakOp> intended;
    for (const SoakOp& op : planned)
        if (intended.empty() || intended.back().category != op.category ||
            intended.back().setting != op.setting || intended.back().value != op.value)
            intended.push_back(op);
    size_t next = 0;  // the intended write the frames have reached
    size_t sentOnce = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        const HostWriteLog::Write& w = seen[i];
        auto same = [&](const SoakOp& op) {
            return op.category == w.category && op.setting == w.setting && op.value == w.value;
        };
        // A frame repeats the write in progress (a retry) or is the next write.
        if (sentOnce > 0 && next < intended.size() && same(intended[next])) continue;
        if (sentOnce > 0) ++next;
        if (next >= intended.size() || !same(intended[next])) {
            std::ostringstream text;
            text << "write frame " << i << " sets 0x" << std::hex << w.category << std::dec << "/"
                 << w.setting << " to " << w.value << ", but the write in progress was ";
            if (next < intended.size())
                text << "0x" << std::hex << intended[next].category << std::dec << "/"
                     << intended[next].setting << " = " << intended[next].value;
            else
                text << "none";
            return ::testing::AssertionFailure() << text.str();
        }
        sentOnce = 1;
    }
    size_t reached = seen.empty() ? 0 : next + 1;
    if (reached != intended.size())
        return ::testing::AssertionFailure()
               << intended.size() << " writes were made but only " << reached << " reached the device";
    return ::testing::AssertionSuccess();
}

void AttemptCounter::Install() {
    inner_ = ZelGetTransport();
    ZelSetTransport(Transmit, inner_.receive ? Receive : nullptr, inner_.sleep ? Sleep : nullptr,
                    inner_.pump ? Pump : nullptr, this);
    installed_ = true;
}

void AttemptCounter::Uninstall() {
    if (installed_ && ZelGetTransport().context == this)
        ZelSetTransport(inner_.transmit, inner_.receive, inner_.sleep, inner_.pump, inner_.context);
    installed_ = false;
}

ZelResult AttemptCounter::Transmit(void* context, int address, const uint8_t* bytes, int length) {
    auto* self = static_cast<AttemptCounter*>(context);
    ++self->transmits_;
    return self->inner_.transmit(self->inner_.context, address, bytes, length);
}

ZelResult AttemptCounter::Receive(void* context, int address, uint8_t* buffer, int count, int* received,
                                  int timeoutMs) {
    auto* self = static_cast<AttemptCounter*>(context);
    return self->inner_.receive(self->inner_.context, address, buffer, count, received, timeoutMs);
}

ZelResult AttemptCounter::Sleep(void* context, int milliseconds) {
    auto* self = static_cast<AttemptCounter*>(context);
    return self->inner_.sleep(self->inner_.context, milliseconds);
}

ZelResult AttemptCounter::Pump(void* context) {
    auto* self = static_cast<AttemptCounter*>(context);
    return self->inner_.pump(self->inner_.context);
}

ZelResult RunSoakOp(const SoakOp& op, uint64_t* readValue) {
    if (op.write) return ZelWriteSetting(op.category, op.setting, op.value);
    if (ZelSettingSize(op.category, op.setting) > 4)
        return ZelReadSetting64(op.category, op.setting, readValue);
    uint32_t value = 0;
    ZelResult result = ZelReadSetting(op.category, op.setting, &value);
    *readValue = value;
    return result;
}
