// Category 1, device properties: versions, serial number and type, all read-only.
#include "cat1_panel.h"

#include "control_ids.h"
#include "zel5100util_app.h"

const PanelControls& Cat1Panel() {
    static const PanelControls panel =
        MakePanel(ZEL_CAT_DEVICE, Idc::Cat1Refresh,
                  {
                      // The versions are read straight into the application's values, which
                      // the firmware gates and the upgrade consult.
                      {"fpga-version", Idc::Cat1FpgaVersion, 0, &Zel5100UtilApp::FpgaVersion},
                      {"hardware-version", Idc::Cat1HardwareVersion, 0, &Zel5100UtilApp::HardwareVersion},
                      {"firmware-version", Idc::Cat1FirmwareVersion, 0, &Zel5100UtilApp::FirmwareVersion},
                      {"serial-number", Idc::Cat1SerialNumber, 0},
                      {"type", Idc::Cat1Type, 0},
                  });
    return panel;
}
