// Category 1, device properties: versions, serial number and type, all read-only.
#include "cat1_panel.h"

#include "control_ids.h"
#include "panels.h"

const PanelControls& Cat1Panel()
{
    static const PanelControls panel{
        1,
        Idc::Cat1Refresh,
        {
            {Idc::Cat1FpgaVersion, 0},
            {Idc::Cat1HardwareVersion, 0},
            {Idc::Cat1FirmwareVersion, 0},
            {Idc::Cat1SerialNumber, 0},
            {Idc::Cat1Type, 0},
        },
        &UsableWithAnyDevice,
    };
    return panel;
}

void ResetCat1Panel(Zel5100UtilDlg& window)
{
    ResetPanel(window, Cat1Panel());
}

void RefreshCat1Panel(Zel5100UtilDlg& window)
{
    ResetCat1Panel(window);
    if (!PanelUsable(window, Cat1Panel()))
        return;
    // The panel stays empty until the category's reads are wired in.
}

void RouteCat1Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat1Panel(), &RefreshCat1Panel);
}
