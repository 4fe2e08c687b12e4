// Category 0x83, ASI/SPI input (mode 0, ASI to IP).
#include "cat83_panel.h"

#include "control_ids.h"
#include "panels.h"

const PanelControls& Cat83Panel()
{
    static const PanelControls panel{
        0x83,
        Idc::Cat83Refresh,
        {
            {Idc::Cat83PacketSize, Idc::Cat83PacketSizeWrite},
            {Idc::Cat83PhysicalPort, 0},
            {Idc::Cat83Status, 0},
            {Idc::Cat83TsRate, 0},
            {Idc::Cat83ValidCount, 0},
            {Idc::Cat83ViolationCount, 0},
            {Idc::Cat83InputSelect, Idc::Cat83InputSelectWrite},
        },
        &UsableInAsiToIp,
    };
    return panel;
}

void ResetCat83Panel(Zel5100UtilDlg& window)
{
    ResetPanel(window, Cat83Panel());
}

void RefreshCat83Panel(Zel5100UtilDlg& window)
{
    ResetCat83Panel(window);
    if (!PanelUsable(window, Cat83Panel()))
        return;
    // The panel stays empty until the category's reads are wired in.
}

void RouteCat83Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat83Panel(), &RefreshCat83Panel);
}
