// Commands that restart the device, and the wait for it to come back: the
// status texts, the pauses and the start-up output on the wire, the bound on
// the wait and the panels filled afterwards.
#include <QAbstractButton>
#include <algorithm>
#include <numeric>

#include "control_ids.h"
#include "sim_window_fixture.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

const char kStartupNoise[] = "ZEL-5100 bootloader v4\r\nstarting application...\r\n";

class RebootTest : public SimWindowTest {
protected:
    void ConnectDevice(SimConfig config) {
        config.startupNoise = kStartupNoise;
        Connect(config);
        ASSERT_EQ(app_->DeviceMode, config.mode);
        ClearWire();
        statuses_.clear();
    }

    // The attempt numbers the status line counted, in order.
    std::vector<int> ContactAttempts() const {
        const QString prefix = QStringLiteral("Rebooting, trying to establish contact - ");
        std::vector<int> attempts;
        for (const QString& status : statuses_)
            if (status.startsWith(prefix)) attempts.push_back(status.mid(prefix.size()).toInt());
        return attempts;
    }

    std::vector<int> Sleeps() const {
        std::vector<int> sleeps;
        for (const SimWireRecord& record : transport_->RecordsOf(SimWireRecord::Sleep))
            sleeps.push_back(record.timeoutMs);
        return sleeps;
    }

    bool EveryPanelEmptyAndDisabled() const {
        for (int field : {Idc::Cat1Type, Idc::Cat2Mode, Idc::Cat81UdpPort, Idc::Cat82UdpPort,
                          Idc::Cat83PacketSize, Idc::Cat84PacketSize})
            if (window_->Edit(field)->isEnabled() || !window_->Edit(field)->text().isEmpty()) return false;
        return true;
    }
};

TEST_F(RebootTest, WritingModeRebootsAndFillsTheNewModesPanels) {
    SimConfig config;
    config.mode = 1;
    config.restartMs = 6000;
    ConnectDevice(config);
    window_->AwaitingDhcpAddress = true;
    bool emptiedWhileWaiting = false;
    onPump_ = [this, &emptiedWhileWaiting] {
        if (app_->DeviceMode == -3 && EveryPanelEmptyAndDisabled()) emptiedWhileWaiting = true;
    };

    Type(Idc::Cat2Mode, QStringLiteral("0"));
    Press(Idc::Cat2ModeWrite);

    ASSERT_GE(statuses_.size(), 3);
    EXPECT_EQ(statuses_[0], QStringLiteral("Writing to Mode - Unit will reboot"));
    EXPECT_EQ(statuses_[1], QStringLiteral("ZEL-5100 starts rebooting"));
    // The attempt number rises by one while the unit restarts.
    const std::vector<int> attempts = ContactAttempts();
    ASSERT_GE(attempts.size(), 3u);
    for (size_t i = 0; i < attempts.size(); ++i)
        EXPECT_EQ(attempts[i], static_cast<int>(i) + 1);
    EXPECT_EQ(statuses_.back(), QStringLiteral("OK"));
    EXPECT_TRUE(emptiedWhileWaiting);

    // The write, the read of the mode that follows it, the attempts, then detection.
    const std::vector<WireRequest> requests = DistinctRequests();
    ASSERT_GE(requests.size(), 4u);
    EXPECT_EQ(requests[0], Write(2, 1, 0));
    EXPECT_EQ(requests[1], Read(2, 1));
    const auto detection = std::find(requests.begin(), requests.end(), Read(1, 5));
    ASSERT_NE(detection, requests.end());
    EXPECT_EQ(*(detection - 1), Read(2, 1));

    // Pauses: 2500 ms before the first attempt, 100 ms after each, 1000 ms at the end.
    const std::vector<int> sleeps = Sleeps();
    ASSERT_EQ(sleeps.size(), attempts.size() + 2);
    EXPECT_EQ(sleeps.front(), 2500);
    EXPECT_EQ(sleeps.back(), 1000);
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 100), static_cast<long>(attempts.size()));

    // What the unit printed while starting was taken off the line before the
    // detection, and the line was cleared once more (500 bytes, 100 ms)...
    const std::vector<SimWireRecord> receives = transport_->RecordsOf(SimWireRecord::Receive);
    const auto discard = std::find_if(receives.begin(), receives.end(), [](const SimWireRecord& r) {
        return r.count == 500 && r.timeoutMs == 100;
    });
    ASSERT_NE(discard, receives.end());
    std::string readBeforeDetection;
    for (auto r = receives.begin(); r <= discard; ++r)
        readBeforeDetection.append(r->bytes.begin(), r->bytes.end());
    EXPECT_NE(readBeforeDetection.find(kStartupNoise), std::string::npos);
    // ...and disturbed nothing: the new mode's panels are filled, without an error.
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();
    EXPECT_EQ(app_->DeviceMode, 0);
    EXPECT_FALSE(window_->Edit(Idc::Cat82UdpPort)->text().isEmpty());
    EXPECT_FALSE(window_->Edit(Idc::Cat83PacketSize)->text().isEmpty());
    EXPECT_FALSE(window_->Edit(Idc::Cat81UdpPort)->isEnabled());
    EXPECT_FALSE(window_->Edit(Idc::Cat84PacketSize)->isEnabled());
    EXPECT_FALSE(window_->Busy);
    EXPECT_FALSE(window_->AwaitingDhcpAddress);
}

TEST_F(RebootTest, ADeviceBackBeforeTheFirstAttemptAnswersAttemptOne) {
    SimConfig config;
    config.restartMs = 1000;
    ConnectDevice(config);
    Type(Idc::Cat2Application, QStringLiteral("1"));
    Press(Idc::Cat2ApplicationWrite);
    EXPECT_EQ(statuses_.front(), QStringLiteral("Writing to Application - Unit will reboot"));
    EXPECT_EQ(ContactAttempts(), std::vector<int>{1});
    EXPECT_EQ(DistinctRequests().front(), Write(2, 2, 1));
    // The same mode as before, read anew after the reboot.
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_FALSE(window_->Edit(Idc::Cat81UdpPort)->text().isEmpty());
    EXPECT_TRUE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(RebootTest, ADeviceThatNeverAnswersEndsTheWaitWithoutADevice) {
    ConnectDevice(SimConfig());
    MuteAll();
    Type(Idc::Cat2Application, QStringLiteral("1"));
    Press(Idc::Cat2ApplicationWrite);

    EXPECT_FALSE(window_->Busy);
    EXPECT_EQ(window_->StatusLine()->text(), QString::fromUtf8(Zel5100UtilDlg::RebootGaveUpText));
    EXPECT_EQ(app_->DeviceMode, -1);
    EXPECT_TRUE(EveryPanelEmptyAndDisabled());
    EXPECT_FALSE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_FALSE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
    EXPECT_TRUE(messages_.isEmpty());
    // The wait was generous: a minute of pauses at least.
    const std::vector<int> sleeps = Sleeps();
    EXPECT_GE(std::accumulate(sleeps.begin(), sleeps.end(), 0), 60000);
    // The detection never ran.
    const std::vector<WireRequest> requests = DistinctRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), Read(1, 5)), 0);

    // Once the unit is back, picking the port again connects to it.
    Unmute();
    window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyUSB0"));
    window_->ConnectComPort();
    EXPECT_EQ(openedPorts_.size(), 2u);
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_TRUE(window_->Button(Idc::RefreshAll)->isEnabled());
}

TEST_F(RebootTest, WithoutAPortTheWaitEndsAtOnce) {
    ConnectDevice(SimConfig());
    transport_->Uninstall();
    window_->RunExclusive([this] { window_->RebootAndReconnect(); });
    EXPECT_EQ(window_->StatusLine()->text(), QString::fromUtf8(Zel5100UtilDlg::RebootGaveUpText));
    EXPECT_TRUE(ContactAttempts().empty());
    EXPECT_EQ(app_->DeviceMode, -1);
    EXPECT_FALSE(window_->Busy);
}

TEST_F(RebootTest, ADeviceOfAnotherTypeAfterTheRebootLeavesNoDevice) {
    ConnectDevice(SimConfig());
    // Another unit answers once the line is back.
    SimConfig other;
    other.deviceType = 5137;
    other.mode = 1;
    StartDevice(other);
    transport_->Install();
    window_->RunExclusive([this] { window_->RebootAndReconnect(); });

    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("No ZEL-5100 connected."));
    EXPECT_EQ(app_->DeviceMode, -1);
    EXPECT_TRUE(EveryPanelEmptyAndDisabled());
    const std::vector<WireRequest> requests = DistinctRequests();
    EXPECT_EQ(requests.back(), Read(1, 5));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(RebootTest, ClicksDuringTheWaitAreDropped) {
    SimConfig config;
    config.restartMs = 5000;
    ConnectDevice(config);
    int transmitsBefore = 0;
    onPump_ = [this] {
        for (int button : {Idc::RefreshAll, Idc::Cat2ApplicationWrite, Idc::Cat1Refresh})
            Press(button);
    };
    Type(Idc::Cat2Application, QStringLiteral("1"));
    transmitsBefore = TransmitCount();
    Press(Idc::Cat2ApplicationWrite);
    EXPECT_GT(TransmitCount(), transmitsBefore);
    EXPECT_EQ(transmitsInsidePumps_, 0);
    const std::vector<WireRequest> requests = DistinctRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), Write(2, 2, 1)), 1);
}

TEST_F(RebootTest, ClosingTheWindowDuringTheWaitEndsItAtOnceAndGivesThePortBack) {
    SimConfig config;
    config.restartMs = 10 * 60 * 1000;  // the unit does not come back within the wait
    ConnectDevice(config);
    int closes = 0;
    app_->PortCloser = [&closes] { ++closes; };
    window_->show();
    size_t sleepsAtClose = 0;
    bool closed = false;
    onPump_ = [&] {
        if (window_->InRebootWait && !closed) {
            closed = true;
            sleepsAtClose = Sleeps().size();
            window_->close();
        }
    };
    window_->RebootAndReconnect();
    onPump_ = nullptr;

    ASSERT_TRUE(closed);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(closes, 1);
    // Not one pause more after the close: the wait did not run on to its limit.
    EXPECT_EQ(Sleeps().size(), sleepsAtClose);
    EXPECT_FALSE(statuses_.contains(QString::fromUtf8(Zel5100UtilDlg::RebootGaveUpText)));
    EXPECT_FALSE(window_->InRebootWait);
}

}  // namespace
