// The protocol module is never entered twice: whatever the operator clicks, and
// whichever timer ticks, while the window waits for the device, no second
// transaction starts inside the first.
#include <QAbstractButton>
#include <algorithm>

#include "control_ids.h"
#include "sim_window_fixture.h"
#include "tav_edit.h"

namespace {

class NestedEntryTest : public SimWindowTest {
protected:
    // Every command a click could start, and both timers, tried at once.
    void ClickEverything() {
        busySeen_.push_back(window_->Busy);
        for (int button : {Idc::RefreshAll, Idc::Cat1Refresh, Idc::Cat2Refresh, Idc::Cat81Refresh,
                           Idc::Cat84Refresh, Idc::Cat81UdpPortWrite, Idc::Cat2ModeWrite,
                           Idc::Cat81MulticastAddressWrite, Idc::Cat2VolatileStorageWrite})
            Press(button);
        window_->AwaitingDhcpAddress = true;
        window_->OnTimer(2);
        window_->AwaitingDhcpAddress = false;
    }

    std::vector<bool> busySeen_;
};

TEST_F(NestedEntryTest, TheFirstConnectionFromTimerOneKeepsClicksOut) {
    StartDevice(SimConfig());
    app_->PortNames = {QStringLiteral("/dev/ttyUSB0")};
    onPump_ = [this] { ClickEverything(); };
    window_->OnTimer(1);
    onPump_ = nullptr;

    EXPECT_EQ(transmitsInsidePumps_, 0);
    ASSERT_FALSE(busySeen_.empty());
    EXPECT_EQ(std::count(busySeen_.begin(), busySeen_.end(), false), 0);
    // The connection itself ran to the end undisturbed.
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("OK"));
    EXPECT_FALSE(window_->Edit(Idc::Cat84TsRate)->text().isEmpty());
    EXPECT_FALSE(window_->Busy);
}

TEST_F(NestedEntryTest, TimerOneWaitsForACommandThatIsRunning) {
    StartDevice(SimConfig());
    window_->Busy = true;
    window_->OnTimer(1);
    EXPECT_TRUE(openedPorts_.empty());
    window_->Busy = false;
    app_->PortNames = {QStringLiteral("/dev/ttyUSB0")};
    window_->OnTimer(1);
    EXPECT_EQ(openedPorts_.size(), 1u);
}

// A failed read in a refresh run by refresh-all, by detection or by a refresh
// button shows its message while Busy is still held: neither a click during
// the message nor one during the reads that follow starts anything.
TEST_F(NestedEntryTest, AFailedReadInsideARefreshKeepsBusyForItsCaller) {
    Connect(SimConfig());
    ASSERT_EQ(app_->DeviceMode, 1);
    app_->MessageBox = [this](const QString& text) {
        messages_ << text;
        ClickEverything();
    };
    onPump_ = [this] { ClickEverything(); };
    Mute(1, 3);
    Mute(0x81, 2);
    ClearWire();

    Press(Idc::RefreshAll);
    EXPECT_EQ(messages_.size(), 2);
    EXPECT_EQ(transmitsInsidePumps_, 0);
    EXPECT_EQ(std::count(busySeen_.begin(), busySeen_.end(), false), 0);
    // Refresh-all's own reads only: the output panel once, after the IP receive panel.
    const std::vector<WireRequest> requests = DistinctRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), Read(0x84, 1)), 1);
    EXPECT_EQ(requests.back(), Read(0x84, 3));
    EXPECT_FALSE(window_->Busy);
}

TEST_F(NestedEntryTest, AFailedReadDuringDetectionKeepsClicksOut) {
    StartDevice(SimConfig());
    app_->MessageBox = [this](const QString& text) {
        messages_ << text;
        ClickEverything();
    };
    Mute(2, 2);
    window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyUSB0"));
    window_->ConnectComPort();
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_EQ(transmitsInsidePumps_, 0);
    EXPECT_EQ(std::count(busySeen_.begin(), busySeen_.end(), false), 0);
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_FALSE(window_->Busy);
}

// Even a handler that wrongly drops Busy in the middle of a transaction cannot
// start another one: the guard knows a transaction is dispatching.
TEST_F(NestedEntryTest, TheGuardHoldsEvenWhenBusyIsWronglyCleared) {
    Connect(SimConfig());
    onPump_ = [this] {
        window_->Busy = false;
        ClickEverything();
    };
    window_->RunExclusive([this] { window_->DetectDevice(-1); });
    Press(Idc::Cat1Refresh);
    onPump_ = nullptr;
    EXPECT_EQ(transmitsInsidePumps_, 0);
    EXPECT_FALSE(window_->Busy);
    // Outside a transaction the window takes commands again.
    ClearWire();
    Press(Idc::Cat84Refresh);
    EXPECT_EQ(DistinctRequests(), (std::vector<WireRequest>{Read(0x84, 1), Read(0x84, 2), Read(0x84, 3)}));
}

}  // namespace
