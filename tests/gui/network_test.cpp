// The network panel against the in-process simulator: its fields, the wait
// for a DHCP address that timer 2 polls, and the Reboot button.
#include <QAbstractButton>

#include "control_ids.h"
#include "ip_octets.h"
#include "panels.h"
#include "sim_settings.h"
#include "sim_window_fixture.h"
#include "zel_protocol.h"

namespace {

class NetworkPanelTest : public SimWindowTest {
protected:
    static SimConfig Device() {
        SimConfig config;
        config.countersMove = false;
        return config;
    }

    QString Field(int id) const { return window_->Edit(id)->text(); }

    // Timer 2's tick, as the window's timer delivers it.
    void Tick() { window_->OnTimer(2); }
};

TEST_F(NetworkPanelTest, ShowsTheNetworkSettingsAndTheMacAddress) {
    Connect(Device());
    EXPECT_EQ(Field(Idc::Cat3IpAddress), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(Field(Idc::Cat3Subnet), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(Field(Idc::Cat3Gateway), QStringLiteral("192.168.0.1"));
    EXPECT_EQ(Field(Idc::Cat3DhcpEnabled), QStringLiteral("0"));
    EXPECT_EQ(Field(Idc::Cat3MacAddress), QStringLiteral("02.00.00.12.34.56"));
    EXPECT_FALSE(window_->AwaitingDhcpAddress);
    EXPECT_TRUE(messages_.isEmpty());

    // Without a device every field is empty and disabled, but Reboot and
    // Change stay usable.
    app_->DeviceMode = -1;
    ResetCat3Panel(*window_);
    EXPECT_EQ(Field(Idc::Cat3IpAddress), QString());
    EXPECT_FALSE(window_->Edit(Idc::Cat3MacAddress)->isEnabled());
    EXPECT_FALSE(window_->Button(Idc::Cat3Refresh)->isEnabled());
    EXPECT_TRUE(window_->Button(Idc::Cat3Reboot)->isEnabled());
    EXPECT_TRUE(window_->Button(Idc::Cat3Change)->isEnabled());
}

TEST_F(NetworkPanelTest, TheRefreshAwaitsAnAddressOnlyWhileDhcpHasNone) {
    struct DhcpCase {
        bool dhcp;
        uint32_t address;
        bool awaited;
    };
    const DhcpCase cases[] = {
        {true, SimIp(169, 254, 10, 20), true},   {true, SimIp(0, 0, 0, 0), true},
        {true, SimIp(10, 1, 2, 3), false},       {false, SimIp(0, 0, 0, 0), false},
        {false, SimIp(169, 254, 10, 20), false},
    };
    int port = 0;
    for (const DhcpCase& c : cases) {
        SimConfig config = Device();
        config.dhcpEnabled = c.dhcp;
        config.dhcpLinkLocalMs = -1;
        config.dhcpLeaseMs = 0;
        config.leaseAddress = c.address;
        config.staticAddress = c.address;
        Connect(config, QStringLiteral("/dev/ttySIM%1").arg(++port));
        window_->AwaitingDhcpAddress = false;
        Press(Idc::Cat3Refresh);
        EXPECT_EQ(window_->AwaitingDhcpAddress, c.awaited) << c.dhcp << " " << c.address;
        EXPECT_EQ(Field(Idc::Cat3DhcpEnabled), c.dhcp ? QStringLiteral("1") : QStringLiteral("0"));
    }
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(NetworkPanelTest, TimerTwoFollowsTheDhcpAddressUntilARoutableOneArrives) {
    SimConfig config = Device();
    config.dhcpEnabled = true;
    config.dhcpLinkLocalMs = 2000;
    config.dhcpLeaseMs = 6000;
    config.linkLocalAddress = SimIp(169, 254, 10, 20);
    config.leaseAddress = SimIp(10, 1, 2, 42);
    Connect(config);
    ASSERT_EQ(Field(Idc::Cat3IpAddress), QStringLiteral("0.0.0.0"));
    ASSERT_TRUE(window_->AwaitingDhcpAddress);

    // Still 0.0.0.0: one read of the address, nothing refreshed.
    ClearWire();
    Tick();
    EXPECT_EQ(DistinctRequests(), std::vector<WireRequest>{Read(3, 1)});

    // The link-local address replaces 0.0.0.0 once; the wait goes on.
    clock_.AdvanceMs(2500);
    ClearWire();
    Tick();
    EXPECT_EQ(Field(Idc::Cat3IpAddress), QStringLiteral("169.254.10.20"));
    EXPECT_GT(DistinctRequests().size(), 1u);
    EXPECT_TRUE(window_->AwaitingDhcpAddress);
    ClearWire();
    Tick();
    EXPECT_EQ(DistinctRequests(), std::vector<WireRequest>{Read(3, 1)});

    // The leased address: one last refresh, and the polling stops.
    clock_.AdvanceMs(4000);
    Tick();
    EXPECT_EQ(Field(Idc::Cat3IpAddress), QStringLiteral("10.1.2.42"));
    EXPECT_FALSE(window_->AwaitingDhcpAddress);
    ClearWire();
    Tick();
    EXPECT_EQ(TransmitCount(), 0);

    // While another command runs the tick does nothing.
    window_->AwaitingDhcpAddress = true;
    window_->Busy = true;
    Tick();
    window_->Busy = false;
    EXPECT_EQ(TransmitCount(), 0);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(NetworkPanelTest, RebootWithoutAPortShowsTheErrorAndDoesNotWait) {
    window_->AwaitingDhcpAddress = true;
    Press(Idc::Cat3Reboot);
    EXPECT_EQ(messages_, QStringList{QString::fromStdString(ZelErrorMessage(ZEL_E_TXFUNC_NULL_PNTR))});
    EXPECT_TRUE(messages_.first().contains(QLatin1String("ZEL_E_TXFUNC_NULL_PNTR")));
    EXPECT_EQ(statuses_, QStringList{QStringLiteral("Write reboot command")});
    EXPECT_FALSE(window_->AwaitingDhcpAddress);
    EXPECT_FALSE(window_->Busy);
    EXPECT_EQ(app_->DeviceMode, -3);
}

TEST_F(NetworkPanelTest, RebootRestartsTheDeviceAndReconnects) {
    Connect(Device());
    ClearWire();
    statuses_.clear();
    window_->AwaitingDhcpAddress = true;
    Press(Idc::Cat3Reboot);
    ASSERT_FALSE(Requests().empty());
    EXPECT_EQ(Requests().front(), Write(3, 5, 1));
    EXPECT_EQ(device_->Stats().restarts, 1u);
    ASSERT_GE(statuses_.size(), 3);
    EXPECT_EQ(statuses_[0], QStringLiteral("Write reboot command"));
    EXPECT_EQ(statuses_[1], QStringLiteral("ZEL-5100 starts rebooting"));
    EXPECT_EQ(statuses_.last(), QStringLiteral("OK"));
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_EQ(Field(Idc::Cat3IpAddress), QStringLiteral("192.168.0.10"));
    EXPECT_FALSE(window_->AwaitingDhcpAddress);
    EXPECT_FALSE(window_->Busy);
    EXPECT_TRUE(messages_.isEmpty());
}

}  // namespace
