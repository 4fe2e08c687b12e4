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
    static const std::vector<PanelSetting> settings{
        {1, Idc::Cat81Addressing, ValueFormat::Decimal},
        {2, Idc::Cat81Enable, ValueFormat::Decimal},
        {3, Idc::Cat81FecDelay, ValueFormat::Decimal},
        {4, Idc::Cat81FecEnable, ValueFormat::Decimal},
        {5, Idc::Cat81FecColumns, ValueFormat::Decimal},
        {6, Idc::Cat81FecRows, ValueFormat::Decimal},
        {7, Idc::Cat81JitterTolerance, ValueFormat::Decimal},
        {8, Idc::Cat81LostAfterFec, ValueFormat::Decimal64},
        {9, Idc::Cat81LostBeforeFec, ValueFormat::Decimal64},
        {10, Idc::Cat81UdpPort, ValueFormat::Decimal},
        {11, Idc::Cat81Delay, ValueFormat::Decimal},
        {12, Idc::Cat81MulticastAddress, ValueFormat::DottedAddress},
        {13, Idc::Cat81PacketsPerIp, ValueFormat::Decimal},
        {14, Idc::Cat81Status, ValueFormat::Decimal},
        {15, Idc::Cat81Protocol, ValueFormat::Decimal},
        {16, Idc::Cat81Index, ValueFormat::Decimal},
        {17, Idc::Cat81OutputType, ValueFormat::Decimal},
        {18, Idc::Cat81PacketSize, ValueFormat::Decimal},
        {19, Idc::Cat81Bitrate, ValueFormat::Decimal},
        {20, Idc::Cat81PcrPresent, ValueFormat::Decimal},
        {21, Idc::Cat81RateChanges, ValueFormat::Decimal},
        {22, Idc::Cat81EstimationMode, ValueFormat::Decimal},
        {23, Idc::Cat81JitterErrors, ValueFormat::Decimal},
        {24, Idc::Cat81LockErrors, ValueFormat::Decimal},
        {25, Idc::Cat81DelayFactor, ValueFormat::Thousandths},
    };
    ReadPanelSettings(window, Cat81Panel().category, settings);
}

void RouteCat81Commands(Zel5100UtilDlg& window)
{
    RoutePanelRefresh(window, Cat81Panel(), &RefreshCat81Panel);
    constexpr int category = 0x81;
    RoutePlainWrite(window, Idc::Cat81AddressingWrite, Idc::Cat81Addressing, category, 1);
    RoutePlainWrite(window, Idc::Cat81EnableWrite, Idc::Cat81Enable, category, 2);
    RoutePlainWrite(window, Idc::Cat81FecEnableWrite, Idc::Cat81FecEnable, category, 4);
    RoutePlainWrite(window, Idc::Cat81UdpPortWrite, Idc::Cat81UdpPort, category, 10);
    RoutePlainWrite(window, Idc::Cat81DelayWrite, Idc::Cat81Delay, category, 11);
    RouteAddressWrite(window, Idc::Cat81MulticastAddressWrite, Idc::Cat81MulticastAddress,
                      category, 12);
    RoutePlainWrite(window, Idc::Cat81EstimationModeWrite, Idc::Cat81EstimationMode, category, 22);
}

