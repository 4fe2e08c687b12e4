// A main window whose port opener connects it to the in-process simulated
// device, running in virtual time. Records what the status line showed, the
// requests on the wire, and any transmit made from inside a pump (a second
// transaction started within the first).
#pragma once

#include <QCoreApplication>
#include <QLineEdit>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "sim_clock.h"
#include "sim_config.h"
#include "sim_device.h"
#include "sim_transport.h"
#include "tav_combo.h"
#include "tav_edit.h"
#include "zel_protocol.h"

// One request as it went out on the line.
struct WireRequest {
    int category = 0;
    int setting = 0;
    bool read = false;
    uint64_t value = 0;  // a write's data
    int dataDigits = 0;

    bool operator==(const WireRequest& other) const {
        return category == other.category && setting == other.setting && read == other.read &&
               (read || value == other.value);
    }
};

inline WireRequest Read(int category, int setting) {
    return {category, setting, true, 0, 0};
}
inline WireRequest Write(int category, int setting, uint64_t value) {
    return {category, setting, false, value, 0};
}

void PrintTo(const WireRequest& request, std::ostream* os);

class SimWindowTest : public MainWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Switches a simulated device on; the window's port opener then opens it
    // under any name.
    void StartDevice(const SimConfig& config);
    // StartDevice, then the COM port box text given and ConnectComPort.
    void Connect(const SimConfig& config, const QString& boxText = QStringLiteral("/dev/ttyUSB0"));

    // Every request transmitted since the last ClearWire, retries included.
    std::vector<WireRequest> Requests() const;
    // The same with each run of repeats of one request counted once.
    std::vector<WireRequest> DistinctRequests() const;
    void ClearWire();
    int TransmitCount() const;

    // From now on the device never hears this request (or any request), as
    // if the line lost it: the read or write gets no reply.
    void Mute(int category, int setting);
    void MuteAll();
    void Unmute();

    // Types `text` into a field as the operator would (it turns changed).
    void Type(int field, const QString& text);
    // Presses a button through the window's command routing.
    void Press(int button) { window_->OnCommand(button); }

    VirtualClock clock_;
    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<SimTransport> transport_;
    QStringList statuses_;
    // Run inside every pump of a transaction, before the window's events.
    std::function<void()> onPump_;
    int transmitsInsidePumps_ = 0;

private:
    static ZelResult MutingTransmit(void* context, int address, const uint8_t* bytes, int length);
    void InstallMuting();

    std::vector<std::pair<int, int>> muted_;
    bool mutedAll_ = false;
};
