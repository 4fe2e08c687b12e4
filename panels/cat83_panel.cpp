// Category 0x83, ASI/SPI input (mode 0, ASI to IP).
#include "cat83_panel.h"

#include "control_ids.h"
#include "panels.h"

namespace {

// The input port can be chosen from firmware version 2.3 on.
constexpr int kInputSelectFirmware = 23;

}  // namespace

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
    static const std::vector<PanelSetting> settings{
        {1, Idc::Cat83PacketSize, ValueFormat::Decimal},
        {2, Idc::Cat83PhysicalPort, ValueFormat::Decimal},
        {3, Idc::Cat83Status, ValueFormat::Decimal},
        {4, Idc::Cat83TsRate, ValueFormat::Decimal},
        {5, Idc::Cat83ValidCount, ValueFormat::Decimal64},
        {6, Idc::Cat83ViolationCount, ValueFormat::Decimal64},
    };
    if (!ReadPanelSettings(window, Cat83Panel().category, settings))
        return;
    ReadGatedSetting(window, Cat83Panel().category,
                     {7, Idc::Cat83InputSelect, ValueFormat::Decimal},
                     Idc::Cat83InputSelectWrite, kInputSelectFirmware);
}

void RouteCat83Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat83Panel(), &RefreshCat83Panel);
    RoutePlainWrite(window, Idc::Cat83PacketSizeWrite, Idc::Cat83PacketSize, 0x83, 1);
    RouteGatedWrite(window, Idc::Cat83InputSelectWrite, Idc::Cat83InputSelect, 0x83, 7,
                    kInputSelectFirmware);
}

