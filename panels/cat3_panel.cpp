// Category 3, network: the device's Ethernet configuration, plus Reboot and Change.
#include "cat3_panel.h"

#include "control_ids.h"
#include "ip_addr_change_dlg.h"
#include "message_pump.h"
#include "panels.h"
#include "tav_edit.h"
#include "window_change.h"
#include "window_host.h"
#include "zel5100util_app.h"
#include "zel_error.h"
#include "zel_protocol.h"

namespace {

// Writes Reboot; the device goes away without answering, so "no reply" counts
// as done. Then waits for it to come back. A failed write is shown instead.
void RebootDevice(WindowHost& window, const QString& statusText) {
    window.SetStatus(statusText);
    PumpPendingMessages();
    WindowChange change(&window.App(), UnitSerialText(window), "reboot");
    const ZelResult result = ZelWriteSetting(ZEL_CAT_NETWORK, ZEL_SET_REBOOT, 1);
    change.Done("", "", result);
    if (result == ZEL_OK || result == ZEL_REPLY_IGNORED)
        window.RebootAndReconnect();
    else
        ShowZelError(window.App(), result);
}

// Once DHCP is read, a unit still without an address of its own is watched
// until it has one (the fields hold the values exactly as read).
void AfterNetworkRead(WindowHost& window, int setting) {
    if (setting != ZEL_SET_DHCP_ENABLED) return;
    const IpOctets address = ScanAddressField(window.Edit(Idc::Cat3IpAddress));
    const bool dhcp = ParseEditNumber(window.Edit(Idc::Cat3DhcpEnabled)) == 1;
    if (dhcp && (IpOctetsEqual(address, 0, 0, 0, 0) || IsLinkLocal(address)))
        window.AwaitingDhcpAddress = true;
}

}  // namespace

const PanelControls& Cat3Panel() {
    // The addresses and DHCP are written through the Change IP Address dialog.
    static const PanelControls panel = MakePanel(ZEL_CAT_NETWORK, Idc::Cat3Refresh,
                                                 {
                                                     {"ip-address", Idc::Cat3IpAddress, 0},
                                                     {"subnet-mask", Idc::Cat3Subnet, 0},
                                                     {"gateway", Idc::Cat3Gateway, 0},
                                                     {"dhcp-enabled", Idc::Cat3DhcpEnabled, 0},
                                                     {"mac-address", Idc::Cat3MacAddress, 0},
                                                 },
                                                 &AfterNetworkRead);
    return panel;
}

void ResetCat3Panel(WindowHost& window) {
    ResetPanel(window, Cat3Panel());
}

void RefreshCat3Panel(WindowHost& window) {
    RefreshPanel(window, Cat3Panel());
}

void OnRebootDevice(WindowHost& window) {
    window.RunExclusive([&window] {
        window.AwaitingDhcpAddress = false;
        RebootDevice(window, QStringLiteral("Write reboot command"));
    });
}

void OnChangeIpAddress(WindowHost& window) {
    window.RunExclusive([&window] {
        IpAddrChangeDlg dialog(window.App(), window.Widget());
        dialog.UnitSerial = UnitSerialText(window);
        dialog.exec();
        if (!dialog.addressesWritten) return;
        window.AwaitingDhcpAddress = false;
        RebootDevice(window, QStringLiteral("Reboot ZEL-5100"));
    });
}

void RouteCat3Commands(WindowHost& window) {
    RoutePanel(window, Cat3Panel());
    window.RouteCommand(Idc::Cat3Reboot, [&window] { OnRebootDevice(window); });
    window.RouteCommand(Idc::Cat3Change, [&window] { OnChangeIpAddress(window); });
}

void PollAwaitedAddress(WindowHost& window) {
    uint32_t value = 0;
    if (ZelReadSetting(ZEL_CAT_NETWORK, ZEL_SET_IP_ADDRESS, &value) != ZEL_OK) return;
    const IpOctets address = IpOctets::FromValue(value);
    if (address.IsLinkLocal()) {
        // Still waiting; show the link-local address once in place of 0.0.0.0.
        TavEdit* field = window.Edit(Idc::Cat3IpAddress);
        if (field != nullptr && field->text() == QLatin1String("0.0.0.0")) RefreshCat3Panel(window);
        return;
    }
    if (!address.Equals(0, 0, 0, 0)) {
        RefreshCat3Panel(window);
        window.AwaitingDhcpAddress = false;
    }
}
