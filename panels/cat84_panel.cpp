// Category 0x84, ASI/SPI output (mode 1, IP to ASI).
#include "cat84_panel.h"

#include "control_ids.h"

const PanelControls& Cat84Panel() {
    static const PanelControls panel =
        MakePanel(ZEL_CAT_ASI_OUTPUT, Idc::Cat84Refresh,
                  {
                      {"asi-packet-size", Idc::Cat84PacketSize, Idc::Cat84PacketSizeWrite},
                      {"physical-port", Idc::Cat84PhysicalPort, 0},
                      {"ts-rate", Idc::Cat84TsRate, 0},
                  });
    return panel;
}
