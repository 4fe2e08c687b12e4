// Category 0x84, ASI/SPI output (mode 1, IP to ASI).
#include "cat84_panel.h"

#include "control_ids.h"
#include "panels.h"

const PanelControls& Cat84Panel()
{
    static const PanelControls panel{
        0x84,
        Idc::Cat84Refresh,
        {
            {Idc::Cat84PacketSize, Idc::Cat84PacketSizeWrite},
            {Idc::Cat84PhysicalPort, 0},
            {Idc::Cat84TsRate, 0},
        },
        &UsableInIpToAsi,
    };
    return panel;
}

void ResetCat84Panel(Zel5100UtilDlg& window)
{
    ResetPanel(window, Cat84Panel());
}

void RefreshCat84Panel(Zel5100UtilDlg& window)
{
    ResetCat84Panel(window);
    if (!PanelUsable(window, Cat84Panel()))
        return;
    static const std::vector<PanelSetting> settings{
        {1, Idc::Cat84PacketSize, ValueFormat::Decimal},
        {2, Idc::Cat84PhysicalPort, ValueFormat::Decimal},
        {3, Idc::Cat84TsRate, ValueFormat::Decimal},
    };
    ReadPanelSettings(window, Cat84Panel().category, settings);
}

void RouteCat84Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat84Panel(), &RefreshCat84Panel);
    RoutePlainWrite(window, Idc::Cat84PacketSizeWrite, Idc::Cat84PacketSize, 0x84, 1);
}

