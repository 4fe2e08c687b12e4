#include "upgrade_buttons.h"

#include <QFile>
#include <QFileDialog>
#include <QProgressBar>

#include "control_ids.h"
#include "firmware_check.h"
#include "firmware_progress.h"
#include "message_pump.h"
#include "path_compaction.h"
#include "panel_framework.h"
#include "path_kind.h"
#include "tav_edit.h"
#include "temp_string.h"
#include "value_format.h"
#include "window_change.h"
#include "window_host.h"
#include "zel5100util_app.h"
#include "zel_error.h"
#include "zel_upgrade.h"

namespace {

const char kObjectName[] = "FirmwareUpgradeButtons";
const char kProgressBarName[] = "FirmwareProgressBar";
constexpr int kProgressBarHeight = 4;  // pixels, in the free strip under the path field

std::string FileSystemName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Closes the firmware file and unbinds the upgrade hooks however an attempt ends.
class UpgradeAttempt {
public:
    explicit UpgradeAttempt(FirmwareStream& stream) : stream_(stream) {}
    ~UpgradeAttempt() {
        ZelSetUpgradeHooks(nullptr, nullptr, nullptr, nullptr);
        stream_.Close();
    }
    UpgradeAttempt(const UpgradeAttempt&) = delete;
    UpgradeAttempt& operator=(const UpgradeAttempt&) = delete;

private:
    FirmwareStream& stream_;
};

}  // namespace

// Qt takes the pattern from the parentheses: "*.*" would hide files without a dot.
#ifdef _WIN32
const char* const AllFilesFilter = " All files (*.*)";
#else
const char* const AllFilesFilter = " All files (*)";
#endif

QString AskForFirmwareFile(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Open firmware file"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({QStringLiteral("Firmware files (*.zel)"), QLatin1String(AllFilesFilter)});
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

FirmwareUpgradeButtons::FirmwareUpgradeButtons(WindowHost& window)
    : QObject(window.Widget()), window_(window) {
    setObjectName(QLatin1String(kObjectName));
    progressBar_ = new QProgressBar(window.Widget());
    progressBar_->setObjectName(QLatin1String(kProgressBarName));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    PlaceProgressBar();
    progressBar_->hide();

    window.RouteCommand(Idc::FirmwareSelect, [this] { OnSelect(); });
    window.RouteCommand(Idc::FirmwareUpgrade, [this] { OnUpgrade(); });
}

FirmwareUpgradeButtons::~FirmwareUpgradeButtons() = default;

FirmwareUpgradeButtons* FirmwareUpgradeButtons::Of(WindowHost& window) {
    return window.Widget()->findChild<FirmwareUpgradeButtons*>(QLatin1String(kObjectName),
                                                               Qt::FindDirectChildrenOnly);
}

void FirmwareUpgradeButtons::PlaceProgressBar() {
    // Just under the path field, as wide as it, inside the group's frame.
    const QWidget* pathField = window_.ControlById(Idc::FirmwareFile);
    if (pathField == nullptr) return;
    const QRect field = pathField->geometry();
    progressBar_->setGeometry(field.left(), field.bottom() + 3, field.width(), kProgressBarHeight);
}

void FirmwareUpgradeButtons::OnSelect() {
    Zel5100UtilApp& app = window_.App();
    const QString path = ChooseFile ? ChooseFile(window_.Widget()) : AskForFirmwareFile(window_.Widget());
    TavEdit* pathField = window_.Edit(Idc::FirmwareFile);
    if (path.isEmpty()) {
        // The part count of the file chosen before stays.
        app.FirmwarePath.clear();
        if (pathField != nullptr) pathField->setText(QString());
        return;
    }
    if (KindOfPath(FileSystemName(path)) == PathKind::Other) {
        // Refused before anything is opened; the file chosen before stays.
        const QString text = QString::fromStdString(FirmwareCheckText(FwNotRegularFile, path.toStdString()));
        window_.SetStatus(text);
        app.ShowMessage(text);
        return;
    }
    app.FirmwarePath = path;
    if (pathField != nullptr)
        pathField->setText(QString::fromStdString(CompactPath(path.toStdString(), FirmwarePathDisplayLimit)));
    if (TavEdit* parts = window_.Edit(Idc::FirmwareParts))
        parts->setText(TempString("%d", FirmwarePartCount(FileSystemName(path))));
}

void FirmwareUpgradeButtons::OnUpgrade() {
    window_.RunExclusive([this] {
        window_.AwaitingDhcpAddress = false;
        Upgrade();
    });
}

void FirmwareUpgradeButtons::Upgrade() {
    Zel5100UtilApp& app = window_.App();
    if (app.FirmwarePath.isEmpty()) {
        app.ShowMessage(QStringLiteral("Please specify a new firmware file first"));
        return;
    }

    UpgradeAttempt attempt(app.FirmwareStream);
    const FirmwareCheck check =
        CheckFirmwareFile(FileSystemName(app.FirmwarePath), app.FirmwareVersion, app.FirmwareStream);
    if (check.result != FwCheckOk) {
        const QString text = QString::fromStdString(check.text);
        app.ShowMessage(text);
        if (check.result == FwOpenFailed || check.result == FwNotRegularFile) {
            window_.SetStatus(text);
        } else if (check.result == FwDeviceTooOld14 || check.result == FwDeviceTooOld20) {
            window_.SetStatus(QStringLiteral("To old firmware version - update cancelled"));
            PumpPendingMessages();
        }
        return;
    }

    WindowChange change(&app, UnitSerialText(window_), "upgrade");
    ZelSetUpgradeHooks(&FirmwareStream::ReadPartHook, &app.FirmwareStream, &ProgressHook, this);
    progressBar_->setValue(0);
    progressBar_->show();
    window_.UpgradeTransferring = true;
    const ZelResult result = ZelUpgradeFirmware(check.storedSize);
    window_.UpgradeTransferring = false;
    change.Done(FormatVersionTenths(uint32_t(app.FirmwareVersion)), FileSystemName(app.FirmwarePath), result);
    progressBar_->hide();
    // Closed during the transfer, as the operator confirmed: nothing more to show.
    if (window_.Closing) return;

    if (result != ZEL_OK) {
        window_.SetStatus(QStringLiteral("Error while upgrading firmware"));
        PumpPendingMessages();
        app.FirmwareStream.Close();
        // Busy stays set while the message is up, as for every failure shown.
        ShowZelError(app, result);
        return;
    }
    window_.SetStatus(QStringLiteral("Firmware uploaded"));
    PumpPendingMessages();
    app.FirmwareStream.Close();
    window_.RebootAndReconnect();
}

void FirmwareUpgradeButtons::ProgressHook(void* context, int phase, int percent) {
    static_cast<FirmwareUpgradeButtons*>(context)->ShowProgress(phase, percent);
}

void FirmwareUpgradeButtons::ShowProgress(int phase, int percent) {
    window_.SetStatus(QString::fromStdString(FirmwareProgressText(phase, percent)));
    // The bar follows the upload; once every part is sent it stays full.
    int uploaded = 0;
    if (phase == ZEL_UPG_PHASE_UPLOADING)
        uploaded = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    else if (phase == ZEL_UPG_PHASE_PROGRAMMING || phase == ZEL_UPG_PHASE_FINISHED)
        uploaded = 100;
    progressBar_->setValue(uploaded);
}

void RouteFirmwareCommands(WindowHost& window) {
    if (FirmwareUpgradeButtons::Of(window) == nullptr) new FirmwareUpgradeButtons(window);
}
