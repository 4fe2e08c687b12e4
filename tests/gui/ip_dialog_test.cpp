// The Change IP Address dialog run from the network panel's Change button
// against the in-process simulator: what OK writes in each case, and when the
// device is rebooted afterwards.
#include <QAbstractButton>
#include <QRadioButton>
#include <functional>

#include "control_ids.h"
#include "ip_addr_change_dlg.h"
#include "modal_driver.h"
#include "sim_settings.h"
#include "sim_window_fixture.h"
#include "tav_edit.h"
#include "zel_protocol.h"

namespace {

void Click(IpAddrChangeDlg* dialog, int id) {
    qobject_cast<QAbstractButton*>(dialog->ControlById(id))->click();
}

void TypeInto(IpAddrChangeDlg* dialog, int id, const QString& text) {
    dialog->Edit(id)->setText(text);
}

QString Text(IpAddrChangeDlg* dialog, int id) {
    return dialog->Edit(id)->text();
}

class IpDialogTest : public SimWindowTest {
protected:
    static SimConfig StaticDevice() {
        SimConfig config;
        config.countersMove = false;
        return config;
    }
    static SimConfig DhcpDevice() {
        SimConfig config = StaticDevice();
        config.dhcpEnabled = true;
        config.dhcpLinkLocalMs = -1;
        config.dhcpLeaseMs = -1;
        return config;
    }

    // Each device on a port name of its own, so the window opens it anew.
    void ConnectDevice(const SimConfig& config) {
        Connect(config, QStringLiteral("/dev/ttySIM%1").arg(++devices_));
        ClearWire();
        statuses_.clear();
    }

    // Presses Change and acts in the dialog once it is open; `act` must close it.
    void ChangeIp(std::function<void(IpAddrChangeDlg*)> act) {
        WhenModalOpens<IpAddrChangeDlg>(std::move(act));
        Press(Idc::Cat3Change);
    }

    // The writes sent since the last ClearWire, each once.
    std::vector<WireRequest> Writes() const {
        std::vector<WireRequest> writes;
        for (const WireRequest& request : DistinctRequests())
            if (!request.read) writes.push_back(request);
        return writes;
    }

    bool Rebooted() const { return statuses_.contains(QStringLiteral("Reboot ZEL-5100")); }

    int devices_ = 0;
};

TEST_F(IpDialogTest, ADhcpDeviceOpensOnDhcpAndOkWithoutAChangeWritesNothing) {
    ConnectDevice(DhcpDevice());
    bool dhcpChecked = false;
    bool fieldsEnabled = true;
    QString address = QStringLiteral("not read");
    ChangeIp([&](IpAddrChangeDlg* dialog) {
        dhcpChecked = dialog->Radio(IdcChangeIp::UseDhcp)->isChecked();
        fieldsEnabled = dialog->Edit(IdcChangeIp::IpAddress)->isEnabled() ||
                        dialog->Edit(IdcChangeIp::Subnet)->isEnabled() ||
                        dialog->Edit(IdcChangeIp::Gateway)->isEnabled() ||
                        dialog->ControlById(IdcChangeIp::StaticGroup)->isEnabled();
        address = Text(dialog, IdcChangeIp::IpAddress);
        Click(dialog, IdcChangeIp::Ok);
    });
    EXPECT_TRUE(dhcpChecked);
    EXPECT_FALSE(fieldsEnabled);
    EXPECT_EQ(address, QString());
    EXPECT_EQ(DistinctRequests(), std::vector<WireRequest>{Read(3, 4)});
    EXPECT_FALSE(Rebooted());
    EXPECT_EQ(device_->Stats().restarts, 0u);
    EXPECT_FALSE(window_->Busy);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(IpDialogTest, OnlyTheChangedGatewayIsWrittenThenTheDeviceReboots) {
    ConnectDevice(StaticDevice());
    QString shown;
    ChangeIp([&](IpAddrChangeDlg* dialog) {
        shown = Text(dialog, IdcChangeIp::IpAddress) + " " + Text(dialog, IdcChangeIp::Subnet) + " " +
                Text(dialog, IdcChangeIp::Gateway);
        TypeInto(dialog, IdcChangeIp::Gateway, QStringLiteral("192.168.0.254"));
        Click(dialog, IdcChangeIp::Ok);
    });
    EXPECT_EQ(shown, QStringLiteral("192.168.0.10 255.255.255.0 192.168.0.1"));
    EXPECT_EQ(Writes(), (std::vector<WireRequest>{Write(3, 3, SimIp(192, 168, 0, 254)), Write(3, 5, 1)}));
    EXPECT_TRUE(Rebooted());
    EXPECT_EQ(device_->Stats().restarts, 1u);
    EXPECT_EQ(window_->Edit(Idc::Cat3Gateway)->text(), QStringLiteral("192.168.0.254"));
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_FALSE(window_->Busy);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(IpDialogTest, FromDhcpToStaticWritesTheThreeAddressesInOrder) {
    ConnectDevice(DhcpDevice());
    ChangeIp([&](IpAddrChangeDlg* dialog) {
        Click(dialog, IdcChangeIp::UseStatic);
        TypeInto(dialog, IdcChangeIp::IpAddress, QStringLiteral("10.0.0.7"));
        TypeInto(dialog, IdcChangeIp::Subnet, QStringLiteral("255.255.0.0"));
        TypeInto(dialog, IdcChangeIp::Gateway, QStringLiteral("10.0.0.1"));
        Click(dialog, IdcChangeIp::Ok);
    });
    // Nothing else: the device leaves DHCP when it is given an address.
    EXPECT_EQ(Writes(),
              (std::vector<WireRequest>{Write(3, 1, SimIp(10, 0, 0, 7)), Write(3, 2, SimIp(255, 255, 0, 0)),
                                        Write(3, 3, SimIp(10, 0, 0, 1)), Write(3, 5, 1)}));
    EXPECT_TRUE(Rebooted());
    EXPECT_EQ(window_->Edit(Idc::Cat3IpAddress)->text(), QStringLiteral("10.0.0.7"));
    EXPECT_EQ(window_->Edit(Idc::Cat3DhcpEnabled)->text(), QStringLiteral("0"));
    EXPECT_FALSE(window_->AwaitingDhcpAddress);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(IpDialogTest, FromStaticToDhcpWritesDhcpEnabledAndTheWaitForAnAddressBegins) {
    ConnectDevice(StaticDevice());
    bool fieldsEnabled = true;
    ChangeIp([&](IpAddrChangeDlg* dialog) {
        Click(dialog, IdcChangeIp::UseDhcp);
        fieldsEnabled = dialog->Edit(IdcChangeIp::Gateway)->isEnabled();
        Click(dialog, IdcChangeIp::Ok);
    });
    EXPECT_FALSE(fieldsEnabled);
    EXPECT_EQ(Writes(), (std::vector<WireRequest>{Write(3, 4, 1), Write(3, 5, 1)}));
    EXPECT_TRUE(Rebooted());
    EXPECT_EQ(window_->Edit(Idc::Cat3DhcpEnabled)->text(), QStringLiteral("1"));
    EXPECT_TRUE(window_->AwaitingDhcpAddress);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(IpDialogTest, AFailedSubnetWriteThenCancelRebootsOnlyADeviceThatWasStatic) {
    struct CancelCase {
        bool fromDhcp;
        bool rebooted;
    };
    for (const CancelCase c : {CancelCase{false, true}, CancelCase{true, false}}) {
        ConnectDevice(c.fromDhcp ? DhcpDevice() : StaticDevice());
        bool stayedOpen = false;
        ChangeIp([&](IpAddrChangeDlg* dialog) {
            if (c.fromDhcp) Click(dialog, IdcChangeIp::UseStatic);
            TypeInto(dialog, IdcChangeIp::IpAddress, QStringLiteral("192.168.0.77"));
            // Not a mask: the device refuses it.
            TypeInto(dialog, IdcChangeIp::Subnet, QStringLiteral("255.0.255.0"));
            Click(dialog, IdcChangeIp::Ok);
            stayedOpen = dialog->isVisible();
            Click(dialog, IdcChangeIp::Cancel);
        });
        EXPECT_TRUE(stayedOpen) << c.fromDhcp;
        EXPECT_EQ(messages_, QStringList{QString::fromStdString(ZelErrorMessage(ZEL_E_ERROR_REPLY))});
        const std::vector<WireRequest> writes = Writes();
        ASSERT_GE(writes.size(), 2u) << c.fromDhcp;
        EXPECT_EQ(writes[0], Write(3, 1, SimIp(192, 168, 0, 77)));
        EXPECT_EQ(writes[1], Write(3, 2, SimIp(255, 0, 255, 0)));
        EXPECT_EQ(Rebooted(), c.rebooted) << c.fromDhcp;
        EXPECT_EQ(writes.size(), c.rebooted ? 3u : 2u) << c.fromDhcp;
        EXPECT_FALSE(window_->Busy);
        messages_.clear();
    }
}

TEST_F(IpDialogTest, ChoosingStaticAgainShowsTheDevicesValuesInPlaceOfTypedText) {
    ConnectDevice(StaticDevice());
    QString afterTyping;
    QString afterChoosing;
    ChangeIp([&](IpAddrChangeDlg* dialog) {
        TypeInto(dialog, IdcChangeIp::IpAddress, QStringLiteral("1.2.3.4"));
        TypeInto(dialog, IdcChangeIp::Gateway, QStringLiteral("junk"));
        afterTyping = Text(dialog, IdcChangeIp::IpAddress);
        Click(dialog, IdcChangeIp::UseStatic);
        afterChoosing = Text(dialog, IdcChangeIp::IpAddress) + " " + Text(dialog, IdcChangeIp::Gateway);
        Click(dialog, IdcChangeIp::Cancel);
    });
    EXPECT_EQ(afterTyping, QStringLiteral("1.2.3.4"));
    EXPECT_EQ(afterChoosing, QStringLiteral("192.168.0.10 192.168.0.1"));
    EXPECT_TRUE(Writes().empty());
    EXPECT_FALSE(Rebooted());
}

TEST_F(IpDialogTest, AfterAFailedOpeningReadOkWaitsForAChoice) {
    ConnectDevice(StaticDevice());
    transport_->FailTransmit(ZEL_E_TX_FAILED);
    bool noneChecked = false;
    bool allEnabled = false;
    int messagesAfterFirstOk = 0;
    bool openAfterFirstOk = false;
    ChangeIp([&](IpAddrChangeDlg* dialog) {
        transport_->FailTransmit(ZEL_OK);
        noneChecked = !dialog->Radio(IdcChangeIp::UseDhcp)->isChecked() &&
                      !dialog->Radio(IdcChangeIp::UseStatic)->isChecked();
        allEnabled = dialog->Edit(IdcChangeIp::IpAddress)->isEnabled() &&
                     dialog->ControlById(IdcChangeIp::StaticGroup)->isEnabled();
        EXPECT_FALSE(dialog->dhcpAtOpen);
        Click(dialog, IdcChangeIp::Ok);
        messagesAfterFirstOk = messages_.size();
        openAfterFirstOk = dialog->isVisible();
        Click(dialog, IdcChangeIp::UseDhcp);
        Click(dialog, IdcChangeIp::Ok);
    });
    EXPECT_TRUE(noneChecked);
    EXPECT_TRUE(allEnabled);
    EXPECT_TRUE(openAfterFirstOk);
    ASSERT_EQ(messagesAfterFirstOk, 2);
    EXPECT_EQ(messages_[0], QString::fromStdString(ZelErrorMessage(ZEL_E_TX_FAILED)));
    EXPECT_EQ(messages_[1], QString::fromUtf8(IpAddrChangeDlg::ChooseFirstText));
    EXPECT_EQ(Writes(), (std::vector<WireRequest>{Write(3, 4, 1), Write(3, 5, 1)}));
    EXPECT_TRUE(Rebooted());
}

}  // namespace
