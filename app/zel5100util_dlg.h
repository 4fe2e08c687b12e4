// Zel5100UtilDlg: the program's only main window. Every category of device
// settings in a group of its own, the COM port and status line, the device
// picture, the logo and the firmware upgrade, laid out from dialog template 102.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <map>

#include "dialog_builder.h"
#include "window_host.h"

class CButtonST;
class QAbstractButton;
class QAction;
class TavCombo;
class TavEdit;
class Zel5100UtilApp;

class Zel5100UtilDlg : public QDialog, public WindowHost {
    Q_OBJECT

public:
    explicit Zel5100UtilDlg(Zel5100UtilApp& app, QWidget* parent = nullptr);
    ~Zel5100UtilDlg() override;

    Zel5100UtilApp& App() override { return app_; }
    QWidget* Widget() override { return this; }
    // The parts' hooks (see main_window_parts.h).
    void SetParts(WindowParts parts) { parts_ = std::move(parts); }

    // The control of a template id, nullptr when there is none; typed
    // accessors return nullptr when the control is of another kind.
    QWidget* ControlById(int id) const override { return controls_.Control(id); }
    TavEdit* Edit(int id) const override;
    CButtonST* FlatButton(int id) const override;
    QAbstractButton* Button(int id) const override;
    TavCombo* ComPortBox() const;
    TavEdit* StatusLine() const;
    const DialogControls& Controls() const { return controls_; }

    // Shows a message in the status line, replacing the one before.
    void SetStatus(const QString& text) override;
    // Shows the About box (context menu of the window, or F1).
    void ShowAboutBox();

    // The busy rule: runs `operation` unless another operator command is
    // running; returns false when the command was dropped.
    bool RunExclusive(const std::function<void()>& operation) override;
    // Routes a button's clicks to a handler (replacing any handler before).
    void RouteCommand(int id, std::function<void()> handler) override;
    // What a click on control `id` does; unrouted ids do nothing.
    void OnCommand(int id);

    // Timer 1 (100 ms, once) fills the COM port box and connects; timer 2
    // (1000 ms) polls for a DHCP address while one is awaited.
    void OnTimer(int timer);
    // The operator has finished the name in the COM port box (Enter, focus
    // leaving the box): connects it unless another command runs.
    void PortNameFinished();
    // How long typing pauses before a local port name counts as finished.
    static constexpr int TypingPauseMs = 700;
    // Opens the port named in the COM port box if it changed, then detects the device.
    void ConnectComPort();
    // Identifies the device and fills or empties the panels (`code` as DeviceMode
    // would be without a device: -1 port open, -2 no port, >= 0 after a reboot).
    void DetectDevice(int code);
    // The refresh-all button: every panel read again, under the busy rule.
    void RefreshAll();
    // After a command that restarts the device: empties the panels, waits
    // (bounded) for the device to answer again and detects it anew. When it
    // never answers, the window is left without a device and says so.
    void RebootAndReconnect() override;
    static const char* const RebootGaveUpText;

    // The text of "About" in the window's menu.
    static const char* const AboutMenuText;

    // Asked before the window closes in the middle of an upload.
    static const char* const CloseDuringUpgradeText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void accept() override;

private:
    void Initialise();
    void ResetParts() {
        if (parts_.resetAll) parts_.resetAll();
    }
    void RefreshParts() {
        if (parts_.refreshAll) parts_.refreshAll();
    }
    void ConnectCommands();

    Zel5100UtilApp& app_;
    DialogControls controls_;
    std::map<int, std::function<void()>> commands_;
    WindowParts parts_;
    QTimer timer1_;
    QTimer timer2_;
    QTimer typingPause_;
    QAction* aboutAction_ = nullptr;
    bool fittedToScreen_ = false;
};
