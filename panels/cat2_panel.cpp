// Category 2, configuration: operational mode, application and volatile storage.
#include "cat2_panel.h"

#include "control_ids.h"
#include "zel5100util_app.h"

const PanelControls& Cat2Panel() {
    static const PanelControls panel =
        MakePanel(ZEL_CAT_CONFIGURATION, Idc::Cat2Refresh,
                  {
                      // The mode read here is the device's operational mode.
                      {"mode", Idc::Cat2Mode, Idc::Cat2ModeWrite, &Zel5100UtilApp::DeviceMode},
                      {"application", Idc::Cat2Application, Idc::Cat2ApplicationWrite},
                      {"volatile-storage", Idc::Cat2VolatileStorage, Idc::Cat2VolatileStorageWrite},
                  });
    return panel;
}
