#include "zel5100util_dlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include "about_dlg.h"
#include "busy_cursor.h"
#include "button_st.h"
#include "control_ids.h"
#include "resource_images.h"
#include "screen_fit.h"
#include "serial_node_check.h"
#include "tav_combo.h"
#include "tav_edit.h"
#include "temp_string.h"
#include "transaction_guard.h"
#include "version.h"
#include "zel5100util_app.h"

const char* const Zel5100UtilDlg::AboutMenuText = "&About Zel5100Util...";
const char* const Zel5100UtilDlg::CloseDuringUpgradeText =
    "The firmware is still being sent to the ZEL-5100.\n\n"
    "Closing now stops the transfer. A ZEL-5100 keeps the firmware it has and can be "
    "upgraded again; a unit that is erased before its data is sent (upgrade type 2) is left "
    "without firmware until an upgrade completes.\n\nClose anyway?";

Zel5100UtilDlg::Zel5100UtilDlg(Zel5100UtilApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    Initialise();
}

Zel5100UtilDlg::~Zel5100UtilDlg() {
    qApp->removeEventFilter(this);
    AbandonTransactionWaits(false);
}

void Zel5100UtilDlg::showEvent(QShowEvent* event) {
    if (!fittedToScreen_) {
        fittedToScreen_ = true;
        FitWindowToScreen(this);
    }
    QDialog::showEvent(event);
}

void Zel5100UtilDlg::closeEvent(QCloseEvent* event) {
    if (UpgradeTransferring && !app_.Ask(QString::fromUtf8(CloseDuringUpgradeText))) {
        event->ignore();
        return;
    }
    if (UpgradeTransferring || InRebootWait) {
        // The running wait ends at once and the port is given back, so that
        // the program exits now instead of after the wait.
        Closing = true;
        AbandonTransactionWaits(true);
        app_.ClosePort();
    }
    QDialog::closeEvent(event);
}

void Zel5100UtilDlg::Initialise() {
    // A fixed-size window with a minimise box; it is closed only through its
    // close box (Enter and Escape are swallowed by eventFilter).
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    controls_ = BuildDialog(this, LoadDialogTemplate(QStringLiteral(":/layouts/main_window.layout")));

    aboutAction_ = new QAction(QString::fromUtf8(AboutMenuText), this);
    connect(aboutAction_, &QAction::triggered, this, &Zel5100UtilDlg::ShowAboutBox);

    setWindowIcon(LoadIconResource(128));
    setWindowTitle(TempString("%s v%s", windowTitle().toUtf8().constData(),
                              GetFileVersionString().toUtf8().constData()));

    ComPortBox()->SetBackgroundColor(QColor(230, 245, 255));
    if (QAbstractButton* refreshAll = Button(Idc::RefreshAll))
        refreshAll->setToolTip(QStringLiteral("Read every value from the device again"));
    if (auto* upgrade = FlatButton(Idc::FirmwareUpgrade)) upgrade->SetFlatLook(false);
    ConnectCommands();

    app_.DeviceMode = -3;
    app_.FirmwareVersion = -1;
    app_.FpgaVersion = -1;
    app_.HardwareVersion = -1;

    qApp->installEventFilter(this);

    connect(&timer1_, &QTimer::timeout, this, [this] { OnTimer(1); });
    connect(&timer2_, &QTimer::timeout, this, [this] { OnTimer(2); });
    timer1_.start(100);
    timer2_.start(1000);
}

void Zel5100UtilDlg::ConnectCommands() {
    for (auto it = controls_.ById().cbegin(); it != controls_.ById().cend(); ++it) {
        const int id = it.key();
        if (auto* button = qobject_cast<QAbstractButton*>(it.value()))
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    }
    TavCombo* box = ComPortBox();
    // Only the operator's own edits and choices count, not the program's.
    // A name is connected once the operator has finished it; every name on
    // the way (/dev/tty on the way to /dev/ttyS0) is left alone.
    typingPause_.setSingleShot(true);
    typingPause_.setInterval(TypingPauseMs);
    connect(&typingPause_, &QTimer::timeout, this, [this] {
        if (!RunExclusive([this] { ConnectComPort(); })) typingPause_.start();
    });
    connect(box->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        // A network name may still be typed on after a pause (the port number).
        if (IsNetworkPortName(text.toStdString()))
            typingPause_.stop();
        else
            typingPause_.start();
    });
    connect(box, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        typingPause_.stop();
        RunExclusive([this, index] {
            ComPortBox()->setEditText(ComPortBox()->itemText(index));
            ConnectComPort();
        });
    });

    RouteCommand(Idc::RefreshAll, [this] { RefreshAll(); });
}

TavEdit* Zel5100UtilDlg::Edit(int id) const {
    return controls_.As<TavEdit>(id);
}
CButtonST* Zel5100UtilDlg::FlatButton(int id) const {
    return controls_.As<CButtonST>(id);
}
QAbstractButton* Zel5100UtilDlg::Button(int id) const {
    return controls_.As<QAbstractButton>(id);
}
TavCombo* Zel5100UtilDlg::ComPortBox() const {
    return controls_.As<TavCombo>(Idc::ComPortBox);
}
TavEdit* Zel5100UtilDlg::StatusLine() const {
    return Edit(Idc::StatusLine);
}

void Zel5100UtilDlg::SetStatus(const QString& text) {
    StatusLine()->SetTextFromDevice(text);
}

void Zel5100UtilDlg::ShowAboutBox() {
    AboutDlg about(GetFileVersionString(), this);
    about.exec();
}

bool Zel5100UtilDlg::RunExclusive(const std::function<void()>& operation) {
    if (Busy || InsideTransaction()) return false;
    const BusyCursor cursor;
    Busy = true;
    operation();
    Busy = false;
    return true;
}

void Zel5100UtilDlg::RouteCommand(int id, std::function<void()> handler) {
    commands_[id] = std::move(handler);
}

void Zel5100UtilDlg::OnCommand(int id) {
    const auto it = commands_.find(id);
    if (it != commands_.end()) it->second();
}

void Zel5100UtilDlg::PortNameFinished() {
    typingPause_.stop();
    // While another command runs, the finished name is connected once it is over.
    if (!RunExclusive([this] { ConnectComPort(); })) typingPause_.start();
}

bool Zel5100UtilDlg::eventFilter(QObject* watched, QEvent* event) {
    // The box hands its key and focus events on to its text field.
    TavCombo* box = ComPortBox();
    const bool inPortBox = box != nullptr && (watched == box || watched == box->lineEdit());
    // Opening the box's own list, or turning to another program, moves the
    // focus too; that finishes nothing.
    const auto focusReason = [event] { return static_cast<QFocusEvent*>(event)->reason(); };
    if (event->type() == QEvent::FocusOut && inPortBox && focusReason() != Qt::PopupFocusReason &&
        focusReason() != Qt::ActiveWindowFocusReason) {
        PortNameFinished();
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Neither key may close the window or press a button; Enter in the
        // COM port box connects the name typed there.
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            if (key != Qt::Key_Escape && inPortBox) PortNameFinished();
            return true;
        }
        if (key == Qt::Key_F1) {
            ShowAboutBox();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Zel5100UtilDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(aboutAction_);
    menu.exec(event->globalPos());
}

void Zel5100UtilDlg::accept() {
    // The window has no OK: it closes only through its close box.
}
