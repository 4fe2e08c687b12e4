#include "main_window_parts.h"

#include "panels.h"
#include "upgrade_buttons.h"
#include "zel5100util_dlg.h"

void ComposeMainWindow(Zel5100UtilDlg& window) {
    window.SetParts({
        [&window] { ResetAllPanels(window); },
        [&window] { RefreshAllPanels(window); },
        [&window] { PollAwaitedAddress(window); },
    });
    RoutePanelCommands(window);
    RouteFirmwareCommands(window);
    ResetAllPanels(window);
}
