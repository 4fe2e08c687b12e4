// Connecting from the COM port box and detecting the device, with the window's
// port opener pointed at the in-process simulator.
#include <QAbstractButton>
#include <memory>
#include <ostream>

#include "cat1_panel.h"
#include "cat2_panel.h"
#include "cat3_panel.h"
#include "cat81_panel.h"
#include "cat82_panel.h"
#include "cat83_panel.h"
#include "cat84_panel.h"
#include "control_ids.h"
#include "sim_window_fixture.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

class ConnectionTest : public SimWindowTest {
protected:
    bool PanelEnabled(const PanelControls& panel) const {
        return window_->Edit(panel.fields.front().field)->isEnabled() &&
               window_->Button(panel.refreshButton)->isEnabled();
    }

    bool PanelEmptyAndDisabled(const PanelControls& panel) const {
        if (window_->Button(panel.refreshButton)->isEnabled()) return false;
        for (const PanelField& field : panel.fields) {
            TavEdit* edit = window_->Edit(field.field);
            if (edit->isEnabled() || !edit->text().isEmpty()) return false;
            if (field.writeButton != 0 && window_->Button(field.writeButton)->isEnabled()) return false;
        }
        return true;
    }

    // The categories of the requests in order, each run of one category once.
    std::vector<int> CategoryRuns(const std::vector<WireRequest>& requests, size_t from) const {
        std::vector<int> runs;
        for (size_t i = from; i < requests.size(); ++i)
            if (runs.empty() || runs.back() != requests[i].category) runs.push_back(requests[i].category);
        return runs;
    }

    static std::vector<WireRequest> Reads(int category, std::initializer_list<int> settings) {
        std::vector<WireRequest> reads;
        for (int setting : settings)
            reads.push_back(Read(category, setting));
        return reads;
    }

    // The reads of one category, in order.
    static std::vector<WireRequest> Only(const std::vector<WireRequest>& requests, int category,
                                         size_t from) {
        std::vector<WireRequest> only;
        for (size_t i = from; i < requests.size(); ++i)
            if (requests[i].category == category) only.push_back(requests[i]);
        return only;
    }
};

// The device is read in the order type, mode, then the panels of its mode,
// each in its table order; the other mode's panels stay empty and disabled.
struct FirstConnectionCase {
    int mode;
    std::vector<int> panelOrder;  // after type and mode; 3 may read nothing yet
    std::vector<const PanelControls*> filled;
    std::vector<const PanelControls*> emptyAndDisabled;
};

void PrintTo(const FirstConnectionCase& c, std::ostream* os) {
    *os << "mode " << c.mode;
}

class FirstConnectionTest : public ConnectionTest, public testing::WithParamInterface<FirstConnectionCase> {};

TEST_P(FirstConnectionTest, ReadsTypeModeThenThePanelsOfTheMode) {
    const FirstConnectionCase& c = GetParam();
    SimConfig config;
    config.mode = c.mode;
    StartDevice(config);
    app_->PortNames = {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")};
    window_->OnTimer(1);

    // Nothing stored: the first port found is proposed.
    EXPECT_EQ(openedPorts_, std::vector<std::string>{"/dev/ttyS0"});
    ASSERT_GE(statuses_.size(), 3);
    EXPECT_EQ(statuses_.mid(0, 3),
              (QStringList{"COM port opened successfully!",
                           "Try to read operational mode (cat 2, setting 1) - Attempt 1", "OK"}));
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("OK"));
    EXPECT_EQ(app_->DeviceMode, c.mode);
    EXPECT_FALSE(window_->Busy);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join('\n').toStdString();

    const std::vector<WireRequest> requests = Requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0], Read(1, 5));
    EXPECT_EQ(requests[1], Read(2, 1));
    std::vector<int> expectedRuns = c.panelOrder;
    std::vector<int> runs = CategoryRuns(requests, 2);
    // The network panel may not read anything; only its place in the order counts.
    if (std::find(runs.begin(), runs.end(), 3) == runs.end())
        expectedRuns.erase(std::find(expectedRuns.begin(), expectedRuns.end(), 3));
    EXPECT_EQ(runs, expectedRuns);

    EXPECT_EQ(Only(requests, 1, 2), Reads(1, {1, 2, 3, 4, 5}));
    EXPECT_EQ(Only(requests, 2, 2), Reads(2, {1, 2, 3}));
    if (c.mode == 1) {
        EXPECT_EQ(Only(requests, 0x81, 2), Reads(0x81, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                                        14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}));
        EXPECT_EQ(Only(requests, 0x84, 2), Reads(0x84, {1, 2, 3}));
    } else {
        EXPECT_EQ(Only(requests, 0x82, 2), Reads(0x82, {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
        EXPECT_EQ(Only(requests, 0x83, 2), Reads(0x83, {1, 2, 3, 4, 5, 6, 7}));
    }

    for (const PanelControls* panel : c.filled) {
        EXPECT_TRUE(PanelEnabled(*panel)) << panel->category;
        EXPECT_FALSE(window_->Edit(panel->fields.front().field)->text().isEmpty()) << panel->category;
    }
    for (const PanelControls* panel : c.emptyAndDisabled)
        EXPECT_TRUE(PanelEmptyAndDisabled(*panel)) << panel->category;
    EXPECT_TRUE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_TRUE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    BothModes, FirstConnectionTest,
    testing::Values(FirstConnectionCase{1,
                                        {1, 2, 3, 0x81, 0x84},
                                        {&Cat1Panel(), &Cat2Panel(), &Cat81Panel(), &Cat84Panel()},
                                        {&Cat82Panel(), &Cat83Panel()}},
                    FirstConnectionCase{0,
                                        {1, 2, 3, 0x82, 0x83},
                                        {&Cat1Panel(), &Cat2Panel(), &Cat82Panel(), &Cat83Panel()},
                                        {&Cat81Panel(), &Cat84Panel()}}),
    [](const testing::TestParamInfo<FirstConnectionCase>& info) {
        return info.param.mode == 1 ? "IpToAsi" : "AsiToIp";
    });

TEST_F(ConnectionTest, TheRememberedPortIsProposedBeforeTheFirstOneFound) {
    app_->Settings.WriteComPort(QStringLiteral("/dev/ttyUSB1"));
    app_->PortNames = {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB1")};
    StartDevice(SimConfig());
    window_->OnTimer(1);
    EXPECT_EQ(openedPorts_, std::vector<std::string>{"/dev/ttyUSB1"});
    EXPECT_EQ(window_->ComPortBox()->currentText(), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(window_->ComPortBox()->count(), 2);
    EXPECT_EQ(app_->DeviceMode, 1);
}

TEST_F(ConnectionTest, ASilentDeviceGetsThreeAttemptsAndLeavesEverythingDisabled) {
    SimConfig config;
    config.faults.silentAfterFrames = 0;
    Connect(config);
    EXPECT_EQ(
        statuses_,
        (QStringList{
            "COM port opened successfully!", "Try to read operational mode (cat 2, setting 1) - Attempt 1",
            "Time out while reading mode - 1", "Try to read operational mode (cat 2, setting 1) - Attempt 2",
            "Time out while reading mode - 2", "Try to read operational mode (cat 2, setting 1) - Attempt 3",
            "Time out while reading mode - 3"}));
    // Three attempts of three tries each, all of them for the type.
    EXPECT_EQ(Requests(), std::vector<WireRequest>(9, Read(1, 5)));
    EXPECT_EQ(app_->DeviceMode, -1);
    for (const PanelControls* panel : {&Cat1Panel(), &Cat2Panel(), &Cat3Panel(), &Cat81Panel(), &Cat82Panel(),
                                       &Cat83Panel(), &Cat84Panel()})
        EXPECT_TRUE(PanelEmptyAndDisabled(*panel)) << panel->category;
    EXPECT_FALSE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_FALSE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
    // Detection reports in the status line only.
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ConnectionTest, AnotherDeviceTypeLeavesEveryPanelDisabled) {
    SimConfig config;
    config.deviceType = 5137;
    Connect(config);
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("No ZEL-5100 connected."));
    EXPECT_EQ(app_->DeviceMode, -1);
    EXPECT_EQ(DistinctRequests(), std::vector<WireRequest>{Read(1, 5)});
    EXPECT_FALSE(PanelEnabled(Cat1Panel()));
    EXPECT_FALSE(PanelEnabled(Cat81Panel()));
    EXPECT_FALSE(PanelEnabled(Cat82Panel()));
}

TEST_F(ConnectionTest, APortThatCannotBeOpenedSaysSo) {
    app_->PortOpener = [this](const std::string& name) {
        openedPorts_.push_back(name);
        return -1;
    };
    window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyS9"));
    window_->ConnectComPort();
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Can't open COM port"));
    EXPECT_EQ(app_->DeviceMode, -2);
    EXPECT_FALSE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_FALSE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
    EXPECT_FALSE(PanelEnabled(Cat1Panel()));
}

TEST_F(ConnectionTest, ReconnectingToTheSameDeviceInTheSameModeRefreshesNothing) {
    Connect(SimConfig());
    ASSERT_EQ(app_->DeviceMode, 1);
    const QString udpPort = window_->Edit(Idc::Cat81UdpPort)->text();
    ClearWire();

    window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyUSB1"));
    window_->ConnectComPort();
    EXPECT_EQ(openedPorts_.size(), 2u);
    EXPECT_EQ(DistinctRequests(), (std::vector<WireRequest>{Read(1, 5), Read(2, 1)}));
    EXPECT_EQ(window_->Edit(Idc::Cat81UdpPort)->text(), udpPort);
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("OK"));
}

TEST_F(ConnectionTest, ALoneDigitOpensThatNumberedPortAndIsStoredAsTyped) {
    SimConfig config;
    config.mode = 0;
    Connect(config, QStringLiteral("5"));
    ASSERT_EQ(openedPorts_.size(), 1u);
    EXPECT_NE(openedPorts_[0], "5");
    EXPECT_EQ(openedPorts_[0].back(), '5');
    EXPECT_EQ(app_->Settings.ReadComPort(), QStringLiteral("5"));
    EXPECT_EQ(app_->CurrentPortName, QStringLiteral("5"));
    EXPECT_EQ(app_->DeviceMode, 0);
    EXPECT_TRUE(PanelEnabled(Cat82Panel()));
    EXPECT_FALSE(PanelEnabled(Cat81Panel()));
}

TEST_F(ConnectionTest, AFailedOpenShowsItsTextAndDisablesTheButtonsOnce) {
    app_->PortOpener = [this](const std::string& name) {
        openedPorts_.push_back(name);
        return -3;
    };
    window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyS9"));
    window_->ConnectComPort();
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Error: Can't write COM-port settings!"));
    EXPECT_EQ(app_->DeviceMode, -2);
    EXPECT_FALSE(window_->Button(Idc::RefreshAll)->isEnabled());
    // Typing nothing new does not try again.
    window_->ConnectComPort();
    EXPECT_EQ(openedPorts_.size(), 1u);
}

TEST_F(ConnectionTest, WithAPortArgumentTheRememberedPortStays) {
    app_->Settings.WriteComPort(QStringLiteral("/dev/ttyUSB7"));
    QString error;
    ASSERT_TRUE(app_->ParseArguments({"zel5100util", "--port", "/dev/pts/3"}, &error));
    StartDevice(SimConfig());
    window_->OnTimer(1);
    EXPECT_EQ(openedPorts_, std::vector<std::string>{"/dev/pts/3"});
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_EQ(app_->Settings.ReadComPort(), QStringLiteral("/dev/ttyUSB7"));
}

}  // namespace
