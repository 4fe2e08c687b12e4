// Category 2, configuration: operational mode, application and volatile storage.
#include "cat2_panel.h"

#include "control_ids.h"
#include "panels.h"
#include "zel5100util_app.h"
#include "zel5100util_dlg.h"

namespace {

// Volatile storage is offered from firmware version 1.4 on.
constexpr int kVolatileStorageFirmware = 14;

}  // namespace

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
    // The mode read here is the device's operational mode.
    static const std::vector<PanelSetting> settings{
        {1, Idc::Cat2Mode, ValueFormat::Decimal, &Zel5100UtilApp::DeviceMode},
        {2, Idc::Cat2Application, ValueFormat::Decimal},
    };
    if (!ReadPanelSettings(window, Cat2Panel().category, settings))
        return;
    ReadGatedSetting(window, Cat2Panel().category,
                     {3, Idc::Cat2VolatileStorage, ValueFormat::Decimal},
                     Idc::Cat2VolatileStorageWrite, kVolatileStorageFirmware);
}

void RouteCat2Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat2Panel(), &RefreshCat2Panel);
    RouteRebootingWrite(window, Idc::Cat2ModeWrite, Idc::Cat2Mode, 2, 1,
                        QStringLiteral("Writing to Mode - Unit will reboot"), [&window] {
                            uint32_t mode = 0;
                            ZelReadSetting(2, 1, &mode);
                            window.App().DeviceMode = static_cast<int32_t>(mode);
                        });
    RouteRebootingWrite(window, Idc::Cat2ApplicationWrite, Idc::Cat2Application, 2, 2,
                        QStringLiteral("Writing to Application - Unit will reboot"));
    RouteGatedWrite(window, Idc::Cat2VolatileStorageWrite, Idc::Cat2VolatileStorage, 2, 3,
                    kVolatileStorageFirmware);
}

