// Category 0x81, IP receive settings (mode 1, IP to ASI).
#include "cat81_panel.h"

#include "control_ids.h"

const PanelControls& Cat81Panel() {
    static const PanelControls panel =
        MakePanel(ZEL_CAT_IP_RECEIVE, Idc::Cat81Refresh,
                  {
                      {"addressing-method", Idc::Cat81Addressing, Idc::Cat81AddressingWrite},
                      {"enable", Idc::Cat81Enable, Idc::Cat81EnableWrite},
                      {"fec-delay", Idc::Cat81FecDelay, 0},
                      {"fec-enable", Idc::Cat81FecEnable, Idc::Cat81FecEnableWrite},
                      {"fec-columns", Idc::Cat81FecColumns, 0},
                      {"fec-rows", Idc::Cat81FecRows, 0},
                      {"jitter-tolerance", Idc::Cat81JitterTolerance, 0},
                      {"lost-after-fec", Idc::Cat81LostAfterFec, 0},
                      {"lost-before-fec", Idc::Cat81LostBeforeFec, 0},
                      {"udp-port", Idc::Cat81UdpPort, Idc::Cat81UdpPortWrite},
                      {"output-delay", Idc::Cat81Delay, Idc::Cat81DelayWrite},
                      {"multicast-address", Idc::Cat81MulticastAddress, Idc::Cat81MulticastAddressWrite},
                      {"packets-per-ip", Idc::Cat81PacketsPerIp, 0},
                      {"status", Idc::Cat81Status, 0},
                      {"protocol", Idc::Cat81Protocol, 0},
                      {"index", Idc::Cat81Index, 0},
                      {"output-type", Idc::Cat81OutputType, 0},
                      {"packet-size", Idc::Cat81PacketSize, 0},
                      {"bitrate", Idc::Cat81Bitrate, 0},
                      {"pcr-present", Idc::Cat81PcrPresent, 0},
                      {"rate-changes", Idc::Cat81RateChanges, 0},
                      {"estimation-mode", Idc::Cat81EstimationMode, Idc::Cat81EstimationModeWrite},
                      {"jitter-errors", Idc::Cat81JitterErrors, 0},
                      {"lock-errors", Idc::Cat81LockErrors, 0},
                      {"delay-factor", Idc::Cat81DelayFactor, 0},
                  });
    return panel;
}
