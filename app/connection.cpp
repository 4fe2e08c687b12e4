// Choosing the COM port, opening it and identifying the device behind it.
#include <QAbstractButton>
#include <QLineEdit>
#include <string>

#include "busy_cursor.h"
#include "busy_hold.h"
#include "com_port.h"
#include "control_ids.h"
#include "message_pump.h"
#include "serial_node_check.h"
#include "tav_combo.h"
#include "tav_edit.h"
#include "temp_string.h"
#include "transaction_guard.h"
#include "zel5100util_app.h"
#include "zel5100util_dlg.h"
#include "zel_protocol.h"
#include "zel_setting_ids.h"

namespace {

constexpr int kDeviceType = 5100;
constexpr int kDetectAttempts = 3;
// The COM port box text is read into a 100-character buffer.
constexpr int kMaxPortNameLength = 99;

}  // namespace

void Zel5100UtilDlg::OnTimer(int timer) {
    if (timer == 1) {
        // Never start the first connection inside another command's wait:
        // try again at the next tick.
        if (Busy || InsideTransaction()) return;
        timer1_.stop();
        TavCombo* box = ComPortBox();
        for (const QString& name : app_.PortNames)
            box->AddSorted(name);
        const QString proposed = app_.ProposedPort();
        if (!proposed.isEmpty()) {
            box->setEditText(proposed);
            // The narrow box shows the start of a long name, as a native one does.
            box->lineEdit()->setCursorPosition(0);
        }
        // The first connection holds Busy too, so no click dispatched while it
        // waits for the device can start a second transaction inside it.
        const BusyHold hold(Busy);
        const BusyCursor cursor;
        ConnectComPort();
        return;
    }
    if (timer == 2 && AwaitingDhcpAddress && !Busy && !InsideTransaction()) {
        Busy = true;
        if (parts_.pollAwaitedAddress) parts_.pollAwaitedAddress();
        Busy = false;
    }
}

void Zel5100UtilDlg::ConnectComPort() {
    const QString text = ComPortBox()->currentText().left(kMaxPortNameLength);
    if (text == app_.CurrentPortName) return;
    app_.CurrentPortName = text;
    app_.RememberPort(text);

    const std::string name = ResolvePortName(text.toStdString());
    if (!MayOpenAsSerialPort(name)) {
        // The port held before is given up all the same, as by a failed opening.
        app_.ClosePort();
        SetStatus(QString::fromStdString(NotASerialPortText(name)));
        DetectDevice(-2);
        return;
    }
    const int result = app_.OpenPort(name);
    if (result == COM_OPEN_OK) {
        GuardTransactionPump();
        SetStatus(QStringLiteral("COM port opened successfully!"));
        DetectDevice(-1);
        return;
    }
    // The reason in plain words (no such port, held by whom, no permission...) stays on the
    // status line's tip.
    const QString status = result == COM_OPEN_NOT_SERIAL ? QString::fromStdString(NotASerialPortText(name))
                                                         : QString::fromUtf8(ComOpenStatusText(result));
    StatusLine()->SetTextFromDevice(status, QString::fromStdString(ComOpenFailureHint(app_.Port)));
    app_.ClosePort();
    DetectDevice(-2);
}

void Zel5100UtilDlg::DetectDevice(int code) {
    const BusyHold hold(Busy);
    int candidate = code;
    int timeouts = 1;
    if (code != -2) {
        for (int attempt = 1; attempt <= kDetectAttempts; ++attempt) {
            SetStatus(TempString("Try to read operational mode (cat 2, setting 1) - Attempt %d", attempt));
            PumpPendingMessages();
            uint32_t type = 0;
            if (ZelReadSetting(ZEL_CAT_DEVICE, ZEL_SET_TYPE, &type) != ZEL_OK) {
                SetStatus(TempString("Time out while reading mode - %d", timeouts));
                ++timeouts;
                PumpPendingMessages();
                continue;
            }
            if (static_cast<int32_t>(type) != kDeviceType) {
                SetStatus(QStringLiteral("No ZEL-5100 connected."));
                app_.DeviceMode = -1;
                PumpPendingMessages();
                ResetParts();
                // The no-device outcome stands, also after a reboot that handed
                // in the mode it read.
                candidate = -1;
                break;
            }
            uint32_t mode = 0;
            ZelReadSetting(ZEL_CAT_CONFIGURATION, ZEL_SET_MODE, &mode);
            candidate = static_cast<int32_t>(mode);
            SetStatus(QStringLiteral("OK"));
            PumpPendingMessages();
            break;
        }
    }
    if (candidate == app_.DeviceMode) return;
    app_.DeviceMode = candidate;
    const bool found = candidate >= 0;
    if (found)
        RefreshParts();
    else
        ResetParts();
    if (QAbstractButton* refreshAll = Button(Idc::RefreshAll)) refreshAll->setEnabled(found);
    if (QAbstractButton* upgrade = Button(Idc::FirmwareUpgrade)) upgrade->setEnabled(found);
    PumpPendingMessages();
}

void Zel5100UtilDlg::RefreshAll() {
    RunExclusive([this] { RefreshParts(); });
}
