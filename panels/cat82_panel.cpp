// Category 0x82, IP transmit settings (mode 0, ASI to IP).
#include "cat82_panel.h"

#include "control_ids.h"
#include "panels.h"

const PanelControls& Cat82Panel()
{
    static const PanelControls panel{
        0x82,
        Idc::Cat82Refresh,
        {
            {Idc::Cat82Enable, Idc::Cat82EnableWrite},
            {Idc::Cat82FecEnable, Idc::Cat82FecEnableWrite},
            {Idc::Cat82FecColumns, Idc::Cat82FecColumnsWrite},
            {Idc::Cat82FecRows, Idc::Cat82FecRowsWrite},
            {Idc::Cat82DestinationIp, Idc::Cat82DestinationIpWrite},
            {Idc::Cat82IpAddressStatus, 0},
            {Idc::Cat82UdpPort, Idc::Cat82UdpPortWrite},
            {Idc::Cat82PacketsPerIp, Idc::Cat82PacketsPerIpWrite},
            {Idc::Cat82Protocol, Idc::Cat82ProtocolWrite},
            {Idc::Cat82Index, 0},
            {Idc::Cat82InputType, 0},
            {Idc::Cat82TimeToLive, Idc::Cat82TimeToLiveWrite},
        },
        &UsableInAsiToIp,
    };
    return panel;
}

void ResetCat82Panel(Zel5100UtilDlg& window)
{
    ResetPanel(window, Cat82Panel());
}

void RefreshCat82Panel(Zel5100UtilDlg& window)
{
    ResetCat82Panel(window);
    if (!PanelUsable(window, Cat82Panel()))
        return;
    // The panel stays empty until the category's reads are wired in.
}

void RouteCat82Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat82Panel(), &RefreshCat82Panel);
}
