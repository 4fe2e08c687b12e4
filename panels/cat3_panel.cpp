// Category 3, network: the device's Ethernet configuration, plus Reboot and Change.
#include "cat3_panel.h"

#include "control_ids.h"
#include "ip_octets.h"
#include "panels.h"
#include "tav_edit.h"
#include "zel5100util_dlg.h"
#include "zel_protocol.h"

const PanelControls& Cat3Panel()
{
    static const PanelControls panel{
        3,
        Idc::Cat3Refresh,
        {
            {Idc::Cat3IpAddress, 0},
            {Idc::Cat3Subnet, 0},
            {Idc::Cat3Gateway, 0},
            {Idc::Cat3DhcpEnabled, 0},
            {Idc::Cat3MacAddress, 0},
        },
        &UsableWithAnyDevice,
    };
    return panel;
}

void ResetCat3Panel(Zel5100UtilDlg& window)
{
    ResetPanel(window, Cat3Panel());
}

void RefreshCat3Panel(Zel5100UtilDlg& window)
{
    ResetCat3Panel(window);
    if (!PanelUsable(window, Cat3Panel()))
        return;
    // The panel stays empty until the category's reads are wired in.
}

void RouteCat3Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat3Panel(), &RefreshCat3Panel);
}

void PollAwaitedAddress(Zel5100UtilDlg& window)
{
    uint32_t value = 0;
    if (ZelReadSetting(3, 1, &value) != ZEL_OK)
        return;
    const IpOctets address = IpOctets::FromValue(value);
    if (address.IsLinkLocal()) {
        // Still waiting; show the link-local address once in place of 0.0.0.0.
        TavEdit* field = window.Edit(Idc::Cat3IpAddress);
        if (field != nullptr && field->text() == QLatin1String("0.0.0.0"))
            RefreshCat3Panel(window);
        return;
    }
    if (!address.Equals(0, 0, 0, 0)) {
        RefreshCat3Panel(window);
        window.AwaitingDhcpAddress = false;
    }
}
