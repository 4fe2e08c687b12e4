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
    // The category has no setting 2.
    static const std::vector<PanelSetting> settings{
        {1, Idc::Cat82Enable, ValueFormat::Decimal},
        {3, Idc::Cat82FecEnable, ValueFormat::Decimal},
        {4, Idc::Cat82FecColumns, ValueFormat::Decimal},
        {5, Idc::Cat82FecRows, ValueFormat::Decimal},
        {6, Idc::Cat82DestinationIp, ValueFormat::DottedAddress},
        {7, Idc::Cat82IpAddressStatus, ValueFormat::Decimal},
        {8, Idc::Cat82UdpPort, ValueFormat::Decimal},
        {9, Idc::Cat82PacketsPerIp, ValueFormat::Decimal},
        {10, Idc::Cat82Protocol, ValueFormat::Decimal},
        {11, Idc::Cat82Index, ValueFormat::Decimal},
        {12, Idc::Cat82InputType, ValueFormat::Decimal},
        {13, Idc::Cat82TimeToLive, ValueFormat::Decimal},
    };
    ReadPanelSettings(window, Cat82Panel().category, settings);
}

void RouteCat82Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat82Panel(), &RefreshCat82Panel);
    constexpr int category = 0x82;
    RoutePlainWrite(window, Idc::Cat82EnableWrite, Idc::Cat82Enable, category, 1);
    RoutePlainWrite(window, Idc::Cat82FecEnableWrite, Idc::Cat82FecEnable, category, 3);
    RoutePlainWrite(window, Idc::Cat82FecColumnsWrite, Idc::Cat82FecColumns, category, 4);
    RoutePlainWrite(window, Idc::Cat82FecRowsWrite, Idc::Cat82FecRows, category, 5);
    RouteAddressWrite(window, Idc::Cat82DestinationIpWrite, Idc::Cat82DestinationIp, category, 6);
    RoutePlainWrite(window, Idc::Cat82UdpPortWrite, Idc::Cat82UdpPort, category, 8);
    RoutePlainWrite(window, Idc::Cat82PacketsPerIpWrite, Idc::Cat82PacketsPerIp, category, 9);
    RoutePlainWrite(window, Idc::Cat82ProtocolWrite, Idc::Cat82Protocol, category, 10);
    RoutePlainWrite(window, Idc::Cat82TimeToLiveWrite, Idc::Cat82TimeToLive, category, 13);
}

