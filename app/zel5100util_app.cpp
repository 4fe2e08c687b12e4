#include "zel5100util_app.h"

#include <QMessageBox>
#include <vector>

#include "busy_cursor.h"
#include "main_window_parts.h"
#include "message_pump.h"
#include "port_discovery.h"
#include "zel5100util_dlg.h"

Zel5100UtilApp::Zel5100UtilApp() {
    // Waits inside a transaction keep the window painting.
    Port.pump = &PumpPendingMessagesHook;
    Port.pumpContext = this;
    PortOpener = [this](const std::string& name) { return OpenComPort(&Port, name); };
    PortCloser = [this] { CloseComPort(&Port); };
    MessageBox = [](const QString& text) {
        const NormalCursor cursor;
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zel5100Util"), text, QMessageBox::Ok);
        box.exec();
    };
    Confirm = [](const QString& text) {
        const NormalCursor cursor;
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Zel5100Util"), text,
                        QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
}

Zel5100UtilApp::~Zel5100UtilApp() {
    CloseComPort(&Port);
}

bool Zel5100UtilApp::ParseArguments(const QStringList& arguments, QString* error) {
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString value;
        if (argument == QLatin1String("--port")) {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("--port needs a port name");
                return false;
            }
            value = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--port="))) {
            value = argument.mid(7);
        } else {
            *error = QStringLiteral("unknown argument '%1' (usage: zel5100util [--port NAME])").arg(argument);
            return false;
        }
        if (value.isEmpty()) {
            *error = QStringLiteral("--port needs a port name");
            return false;
        }
        PortArgument = value;
        RememberPortChoice = false;
    }
    return true;
}

void Zel5100UtilApp::DiscoverPorts() {
    std::vector<std::string> names;
    EnumerateComPorts(names);
    PortNames.clear();
    for (const std::string& name : names)
        PortNames.append(QString::fromStdString(name));
}

int Zel5100UtilApp::Run() {
    DiscoverPorts();
    Zel5100UtilDlg window(*this);
    ComposeMainWindow(window);
    window.exec();
    return 0;
}

QString Zel5100UtilApp::ProposedPort() const {
    if (!PortArgument.isEmpty()) return PortArgument;
    const QString remembered = Settings.ReadComPort();
    if (!remembered.isEmpty()) return remembered;
    return PortNames.isEmpty() ? QString() : PortNames.first();
}

void Zel5100UtilApp::RememberPort(const QString& text) {
    if (RememberPortChoice) Settings.WriteComPort(text);
}
