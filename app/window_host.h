// The window as its parts see it: controls by id, the status line, the busy
// rule, the reboot wait and the device session's state. The category panels
// and the firmware buttons know the window only through this; the window does
// not know them, only the hooks that main_window_parts.cpp plugs in.
#pragma once

#include <QString>
#include <functional>

class CButtonST;
class QAbstractButton;
class QWidget;
class TavEdit;
class Zel5100UtilApp;

class WindowHost {
public:
    // The device session: mode, versions and the port it is reached by.
    virtual Zel5100UtilApp& App() = 0;
    // The window itself, as the parent of dialogs and helpers.
    virtual QWidget* Widget() = 0;

    // The control of a template id, nullptr when there is none; typed
    // accessors return nullptr when the control is of another kind.
    virtual QWidget* ControlById(int id) const = 0;
    virtual TavEdit* Edit(int id) const = 0;
    virtual CButtonST* FlatButton(int id) const = 0;
    virtual QAbstractButton* Button(int id) const = 0;

    // Shows a message in the status line, replacing the one before.
    virtual void SetStatus(const QString& text) = 0;
    // The busy rule: runs `operation` unless another operator command is
    // running; returns false when the command was dropped.
    virtual bool RunExclusive(const std::function<void()>& operation) = 0;
    // Routes a button's clicks to a handler (replacing any handler before).
    virtual void RouteCommand(int id, std::function<void()> handler) = 0;
    // After a command that restarts the device: waits (bounded) for it to
    // answer again and detects it anew.
    virtual void RebootAndReconnect() = 0;

    bool Busy = false;
    bool AwaitingDhcpAddress = false;
    // Set by the firmware upload while parts are sent, and by the wait for a
    // rebooting device: closing the window then ends them at once.
    bool UpgradeTransferring = false;
    bool InRebootWait = false;
    // The window is closing: a running operation stops without further questions.
    bool Closing = false;

protected:
    ~WindowHost() = default;
};

// What the window asks of the parts composed into it, without knowing them.
struct WindowParts {
    std::function<void()> resetAll;            // every panel emptied, enabled by the mode
    std::function<void()> refreshAll;          // every panel read again
    std::function<void()> pollAwaitedAddress;  // timer 2's step while DHCP is awaited
};
