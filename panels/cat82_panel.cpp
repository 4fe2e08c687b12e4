// Category 0x82, IP transmit settings (mode 0, ASI to IP).
#include "cat82_panel.h"

#include "control_ids.h"

const PanelControls& Cat82Panel() {
    static const PanelControls panel =
        MakePanel(ZEL_CAT_IP_TRANSMIT, Idc::Cat82Refresh,
                  {
                      {"enable", Idc::Cat82Enable, Idc::Cat82EnableWrite},
                      {"fec-enable", Idc::Cat82FecEnable, Idc::Cat82FecEnableWrite},
                      {"fec-columns", Idc::Cat82FecColumns, Idc::Cat82FecColumnsWrite},
                      {"fec-rows", Idc::Cat82FecRows, Idc::Cat82FecRowsWrite},
                      {"destination-address", Idc::Cat82DestinationIp, Idc::Cat82DestinationIpWrite},
                      {"address-status", Idc::Cat82IpAddressStatus, 0},
                      {"udp-port", Idc::Cat82UdpPort, Idc::Cat82UdpPortWrite},
                      {"packets-per-ip", Idc::Cat82PacketsPerIp, Idc::Cat82PacketsPerIpWrite},
                      {"protocol", Idc::Cat82Protocol, Idc::Cat82ProtocolWrite},
                      {"index", Idc::Cat82Index, 0},
                      {"input-type", Idc::Cat82InputType, 0},
                      {"time-to-live", Idc::Cat82TimeToLive, Idc::Cat82TimeToLiveWrite},
                  });
    return panel;
}
