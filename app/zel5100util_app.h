// Zel5100UtilApp: owns everything that outlives a single operation - the COM
// ports found at start-up, the open port, the values that describe the
// connected device, the firmware file chosen for an upgrade and the settings
// store - and runs the main window.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "com_port.h"
#include "firmware_stream.h"
#include "settings_store.h"

class Zel5100UtilApp {
public:
    Zel5100UtilApp();
    ~Zel5100UtilApp();
    Zel5100UtilApp(const Zel5100UtilApp&) = delete;
    Zel5100UtilApp& operator=(const Zel5100UtilApp&) = delete;

    // Reads the command line: "--port NAME" (or "--port=NAME") proposes NAME
    // instead of the remembered port and keeps the remembered one untouched.
    // False, with the reason in `error`, for anything else.
    bool ParseArguments(const QStringList& arguments, QString* error);
    // Discovers the COM ports, then runs the main window until it closes.
    int Run();
    // Fills PortNames from port discovery, in discovery order.
    void DiscoverPorts();

    // The COM port box text to propose at start-up: the --port name, else the
    // remembered port, else the first port found; "" when there is none.
    QString ProposedPort() const;
    // Remembers the port the operator chose (not when --port was given).
    void RememberPort(const QString& text);

    // Opens a port by the name to open; 0 or an OpenComPort failure code.
    int OpenPort(const std::string& name) { return PortOpener(name); }
    void ClosePort() { PortCloser(); }
    // Shows a text in a modal message box with an OK button.
    void ShowMessage(const QString& text) { MessageBox(text); }
    // Asks a yes/no question; true for yes.
    bool Ask(const QString& text) { return Confirm(text); }

    // -3 not yet known or rebooting, -2 port not open, -1 no device of the
    // expected type, 0 or more the device's operational mode.
    int DeviceMode = -3;
    int FpgaVersion = -1;
    int HardwareVersion = -1;
    int FirmwareVersion = -1;  // in tenths: 14 is version 1.4
    QString CurrentPortName;
    QStringList PortNames;
    QString FirmwarePath;
    ::FirmwareStream FirmwareStream;
    ComPort Port;
    SettingsStore Settings;

    // Seams. Tests replace them to run the window against a simulated device
    // and to read message texts instead of blocking on a message box.
    std::function<int(const std::string&)> PortOpener;
    std::function<void()> PortCloser;
    std::function<void(const QString&)> MessageBox;
    std::function<bool(const QString&)> Confirm;

    // Set by --port.
    QString PortArgument;
    bool RememberPortChoice = true;
};
