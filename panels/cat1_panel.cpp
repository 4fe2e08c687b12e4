// Category 1, device properties: versions, serial number and type, all read-only.
#include "cat1_panel.h"

#include "control_ids.h"
#include "panels.h"
#include "zel5100util_app.h"

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
    // The versions are read straight into the application's values, which
    // the firmware gates and the upgrade consult.
    static const std::vector<PanelSetting> settings{
        {1, Idc::Cat1FpgaVersion, ValueFormat::Version, &Zel5100UtilApp::FpgaVersion},
        {2, Idc::Cat1HardwareVersion, ValueFormat::Version, &Zel5100UtilApp::HardwareVersion},
        {3, Idc::Cat1FirmwareVersion, ValueFormat::VersionTenths, &Zel5100UtilApp::FirmwareVersion},
        {4, Idc::Cat1SerialNumber, ValueFormat::SerialNumber},
        {5, Idc::Cat1Type, ValueFormat::DeviceType},
    };
    ReadPanelSettings(window, Cat1Panel().category, settings);
}

void RouteCat1Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat1Panel(), &RefreshCat1Panel);
}

