// Category 0x83, ASI/SPI input (mode 0, ASI to IP).
#include "cat83_panel.h"

#include "control_ids.h"

const PanelControls& Cat83Panel() {
    static const PanelControls panel =
        MakePanel(ZEL_CAT_ASI_INPUT, Idc::Cat83Refresh,
                  {
                      {"packet-size", Idc::Cat83PacketSize, Idc::Cat83PacketSizeWrite},
                      {"physical-port", Idc::Cat83PhysicalPort, 0},
                      {"status", Idc::Cat83Status, 0},
                      {"ts-rate", Idc::Cat83TsRate, 0},
                      {"valid-count", Idc::Cat83ValidCount, 0},
                      {"violation-count", Idc::Cat83ViolationCount, 0},
                      {"input-select", Idc::Cat83InputSelect, Idc::Cat83InputSelectWrite},
                  });
    return panel;
}
