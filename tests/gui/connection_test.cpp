// Connecting from the COM port box and detecting the device, with the window's
// port opener pointed at the in-process simulator.
#include <QAbstractButton>
#include <memory>

#include "cat81_panel.h"
#include "cat82_panel.h"
#include "control_ids.h"
#include "main_window_fixture.h"
#include "sim_clock.h"
#include "sim_device.h"
#include "sim_transport.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

class ConnectionTest : public MainWindowTest {
protected:
    void Connect(const SimConfig& config, const QString& boxText)
    {
        device_ = std::make_unique<SimDevice>(config, clock_);
        transport_ = std::make_unique<SimTransport>(*device_, clock_);
        app_->PortOpener = [this](const std::string& name) {
            openedPorts_.push_back(name);
            transport_->Install();
            return 0;
        };
        window_->ComPortBox()->setEditText(boxText);
        window_->ConnectComPort();
    }

    void TearDown() override
    {
        if (transport_)
            transport_->Uninstall();
        MainWindowTest::TearDown();
    }

    bool PanelEnabled(const PanelControls& panel) const
    {
        return window_->Edit(panel.fields.front().field)->isEnabled() &&
               window_->Button(panel.refreshButton)->isEnabled();
    }

    VirtualClock clock_;
    std::unique_ptr<SimDevice> device_;
    std::unique_ptr<SimTransport> transport_;
};

TEST_F(ConnectionTest, FindsTheDeviceAndItsModeAndEnablesThatModesPanels)
{
    SimConfig config;
    config.mode = 1;
    Connect(config, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(openedPorts_, std::vector<std::string>{"/dev/ttyUSB0"});
    EXPECT_EQ(app_->CurrentPortName, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(app_->Settings.ReadComPort(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_TRUE(PanelEnabled(Cat81Panel()));
    EXPECT_FALSE(PanelEnabled(Cat82Panel()));
    EXPECT_TRUE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_TRUE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
    EXPECT_TRUE(messages_.isEmpty());

    // The same text again opens nothing.
    window_->ConnectComPort();
    EXPECT_EQ(openedPorts_.size(), 1u);
}

TEST_F(ConnectionTest, AnotherDeviceTypeLeavesEveryPanelDisabled)
{
    SimConfig config;
    config.deviceType = 5137;
    Connect(config, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("No ZEL-5100 connected."));
    EXPECT_EQ(app_->DeviceMode, -1);
    EXPECT_FALSE(PanelEnabled(Cat81Panel()));
    EXPECT_FALSE(PanelEnabled(Cat82Panel()));
}

TEST_F(ConnectionTest, ASilentDeviceEndsWithTheThirdTimeOut)
{
    SimConfig config;
    config.faults.silentAfterFrames = 0;
    Connect(config, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Time out while reading mode - 3"));
    EXPECT_EQ(app_->DeviceMode, -1);
    EXPECT_FALSE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_FALSE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ConnectionTest, ALoneDigitOpensThatNumberedPortAndIsStoredAsTyped)
{
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

TEST_F(ConnectionTest, AFailedOpenShowsItsTextAndDisablesTheButtonsOnce)
{
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

TEST_F(ConnectionTest, WithAPortArgumentTheRememberedPortStays)
{
    app_->Settings.WriteComPort(QStringLiteral("/dev/ttyUSB7"));
    QString error;
    ASSERT_TRUE(app_->ParseArguments({"zel5100util", "--port", "/dev/pts/3"}, &error));
    SimConfig config;
    device_ = std::make_unique<SimDevice>(config, clock_);
    transport_ = std::make_unique<SimTransport>(*device_, clock_);
    app_->PortOpener = [this](const std::string& name) {
        openedPorts_.push_back(name);
        transport_->Install();
        return 0;
    };
    window_->OnTimer(1);
    EXPECT_EQ(openedPorts_, std::vector<std::string>{"/dev/pts/3"});
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_EQ(app_->Settings.ReadComPort(), QStringLiteral("/dev/ttyUSB7"));
}

}  // namespace
