// Waiting for the device after a command that restarts it, then identifying it again.
#include <QAbstractButton>

#include "busy_hold.h"
#include "control_ids.h"
#include "message_pump.h"
#include "temp_string.h"
#include "zel5100util_app.h"
#include "zel5100util_dlg.h"
#include "zel_protocol.h"
#include "zel_restart_wait.h"

const char* const Zel5100UtilDlg::RebootGaveUpText =
    "No answer from the ZEL-5100 after rebooting. Pick the COM port to try again.";

void Zel5100UtilDlg::RebootAndReconnect() {
    // Callers hold Busy already; holding it here too keeps the wait exclusive
    // whoever calls.
    const BusyHold hold(Busy);

    SetStatus(QStringLiteral("ZEL-5100 starts rebooting"));
    PumpPendingMessages();
    app_.DeviceMode = -3;
    ResetParts();
    PumpPendingMessages();

    // The pauses go through the transport's sleep hook and the start-up output
    // through its receive hook, so they cost no real time on a simulated line.
    // Without a port there is nothing to wait for (and nothing would pause).
    const ZelTransport transport = ZelGetTransport();
    RestartWaitOutcome outcome;
    outcome.result = ZEL_E_PORT_CLOSED;
    if (transport.transmit != nullptr && transport.receive != nullptr) {
        InRebootWait = true;
        outcome = AwaitRestartedDevice(RESTART_LIMIT_MS, [this](int attempt) {
            if (Closing) return;
            SetStatus(TempString("Rebooting, trying to establish contact - %d", attempt));
            PumpPendingMessages();
        });
        InRebootWait = false;
    }
    // Closed during the wait: the port is given back already; nothing more to show.
    if (Closing) return;

    if (outcome.result != ZEL_OK) {
        // A unit that never comes back must not keep the window busy for ever:
        // show the no-device state and let the operator connect again.
        app_.DeviceMode = -1;
        ResetParts();
        if (QAbstractButton* refreshAll = Button(Idc::RefreshAll)) refreshAll->setEnabled(false);
        if (QAbstractButton* upgrade = Button(Idc::FirmwareUpgrade)) upgrade->setEnabled(false);
        // Picking the same port again then opens it anew.
        app_.CurrentPortName.clear();
        SetStatus(QString::fromUtf8(RebootGaveUpText));
        PumpPendingMessages();
        return;
    }
    DetectDevice(static_cast<int>(outcome.mode));
}
