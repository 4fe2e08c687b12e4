#include "panel_framework.h"

#include <QAbstractButton>

#include "message_pump.h"
#include "tav_edit.h"
#include "zel5100util_app.h"
#include "zel5100util_dlg.h"

bool UsableWithAnyDevice(int deviceMode) { return deviceMode >= 0; }
bool UsableInAsiToIp(int deviceMode) { return deviceMode == 0; }
bool UsableInIpToAsi(int deviceMode) { return deviceMode == 1; }

bool PanelUsable(Zel5100UtilDlg& window, const PanelControls& panel)
{
    return panel.usable(window.App().DeviceMode);
}

void ResetPanel(Zel5100UtilDlg& window, const PanelControls& panel)
{
    for (const PanelField& field : panel.fields)
        if (TavEdit* edit = window.Edit(field.field))
            edit->SetTextFromDevice(QString());
    const bool enabled = PanelUsable(window, panel);
    if (QAbstractButton* refresh = window.Button(panel.refreshButton))
        refresh->setEnabled(enabled);
    for (const PanelField& field : panel.fields) {
        if (TavEdit* edit = window.Edit(field.field))
            edit->EnableField(enabled);
        if (field.writeButton != 0)
            if (QAbstractButton* write = window.Button(field.writeButton))
                write->setEnabled(enabled);
    }
    PumpPendingMessages();
}

void RoutePanelRefresh(Zel5100UtilDlg& window, const PanelControls& panel,
                       void (*refresh)(Zel5100UtilDlg&))
{
    window.RouteCommand(panel.refreshButton, [&window, refresh] {
        window.RunExclusive([&window, refresh] { refresh(window); });
    });
}
