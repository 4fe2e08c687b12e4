// Category 0x81, IP receive settings (mode 1, IP to ASI).
#include "cat81_panel.h"

#include "control_ids.h"
#include "panels.h"

const PanelControls& Cat81Panel()
{
    static const PanelControls panel{
        0x81,
        Idc::Cat81Refresh,
        {
            {Idc::Cat81Addressing, Idc::Cat81AddressingWrite},
            {Idc::Cat81Enable, Idc::Cat81EnableWrite},
            {Idc::Cat81FecDelay, 0},
            {Idc::Cat81FecEnable, Idc::Cat81FecEnableWrite},
            {Idc::Cat81FecColumns, 0},
            {Idc::Cat81FecRows, 0},
            {Idc::Cat81JitterTolerance, 0},
            {Idc::Cat81LostAfterFec, 0},
            {Idc::Cat81LostBeforeFec, 0},
            {Idc::Cat81UdpPort, Idc::Cat81UdpPortWrite},
            {Idc::Cat81Delay, Idc::Cat81DelayWrite},
            {Idc::Cat81MulticastAddress, Idc::Cat81MulticastAddressWrite},
            {Idc::Cat81PacketsPerIp, 0},
            {Idc::Cat81Status, 0},
            {Idc::Cat81Protocol, 0},
            {Idc::Cat81Index, 0},
            {Idc::Cat81OutputType, 0},
            {Idc::Cat81PacketSize, 0},
            {Idc::Cat81Bitrate, 0},
            {Idc::Cat81PcrPresent, 0},
            {Idc::Cat81RateChanges, 0},
            {Idc::Cat81EstimationMode, Idc::Cat81EstimationModeWrite},
            {Idc::Cat81JitterErrors, 0},
            {Idc::Cat81LockErrors, 0},
            {Idc::Cat81DelayFactor, 0},
        },
        &UsableInIpToAsi,
    };
    return panel;
}

void ResetCat81Panel(Zel5100UtilDlg& window)
{
    ResetPanel(window, Cat81Panel());
}

void RefreshCat81Panel(Zel5100UtilDlg& window)
{
    ResetCat81Panel(window);
    if (!PanelUsable(window, Cat81Panel()))
        return;
    // The panel stays empty until the category's reads are wired in.
}

void RouteCat81Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat81Panel(), &RefreshCat81Panel);
}
