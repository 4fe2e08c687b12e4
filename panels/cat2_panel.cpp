// Category 2, configuration: operational mode, application and volatile storage.
#include "cat2_panel.h"

#include "control_ids.h"
#include "panels.h"

const PanelControls& Cat2Panel()
{
    static const PanelControls panel{
        2,
        Idc::Cat2Refresh,
        {
            {Idc::Cat2Application, Idc::Cat2ApplicationWrite},
            {Idc::Cat2Mode, Idc::Cat2ModeWrite},
            {Idc::Cat2VolatileStorage, Idc::Cat2VolatileStorageWrite},
        },
        &UsableWithAnyDevice,
    };
    return panel;
}

void ResetCat2Panel(Zel5100UtilDlg& window)
{
    ResetPanel(window, Cat2Panel());
}

void RefreshCat2Panel(Zel5100UtilDlg& window)
{
    ResetCat2Panel(window);
    if (!PanelUsable(window, Cat2Panel()))
        return;
    // The panel stays empty until the category's reads are wired in.
}

void RouteCat2Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat2Panel(), &RefreshCat2Panel);
}
