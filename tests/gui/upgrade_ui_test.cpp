// The firmware group: Select with its path and part count, and Upgrade against
// the in-process simulator, from the refusals to a finished upload and the
// reconnection after it.
#include <sys/stat.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QFileDialog>
#include <QGroupBox>
#include <QProgressBar>
#include <algorithm>
#include <string>
#include <vector>

#include "control_ids.h"
#include "firmware_builder.h"
#include "modal_driver.h"
#include "sim_window_fixture.h"
#include "upgrade_buttons.h"
#include "zel_protocol.h"

namespace {

const QString kNoFileText = QStringLiteral("Please specify a new firmware file first");
const QString kTooOldStatus = QStringLiteral("To old firmware version - update cancelled");
const QString kTooOld14Text = QStringLiteral(
    "The firmware version is to old to be updated directly, please upgrade to version 1.4 or "
    "higher first..");

class UpgradeUiTest : public SimWindowTest {
protected:
    FirmwareUpgradeButtons& Buttons() { return *FirmwareUpgradeButtons::Of(*window_); }

    // Select, with the file dialog answering `path` ("" cancels).
    void Select(const std::string& path) {
        Buttons().ChooseFile = [path](QWidget*) { return QString::fromStdString(path); };
        window_->OnCommand(Idc::FirmwareSelect);
    }
    void Upgrade() { window_->Button(Idc::FirmwareUpgrade)->click(); }

    // Connected, with the wire and the status texts of the detection cleared.
    void ConnectDevice(const SimConfig& config) {
        Connect(config);
        ClearWire();
        statuses_.clear();
    }

    QString PathField() const { return window_->Edit(Idc::FirmwareFile)->text(); }
    QString PartsField() const { return window_->Edit(Idc::FirmwareParts)->text(); }

    // Collects every image the device finished programming.
    void WatchImages() {
        device_->OnImageFinished([this](const std::vector<uint8_t>& image) { finished_.push_back(image); });
    }

    static SimConfig Device5100() {
        SimConfig config;
        config.mode = 1;
        config.firmwareVersion = 23;
        config.countersMove = false;
        return config;
    }

    // A plain image of version 1.5 of `size` bytes, acceptable to any device.
    static std::vector<uint8_t> PlainFile(size_t size, uint32_t seed = 1) {
        FirmwareSpec recipe;
        recipe.imageSize = size;
        recipe.randomPayload = true;
        recipe.seed = seed;
        return BuildFirmwareFile(recipe);
    }

    std::vector<std::vector<uint8_t>> finished_;
};

TEST_F(UpgradeUiTest, WithoutAFileUpgradeAsksForOneAndSendsNothing) {
    ConnectDevice(Device5100());
    Upgrade();
    EXPECT_EQ(messages_, QStringList{kNoFileText});
    EXPECT_EQ(TransmitCount(), 0);
    EXPECT_FALSE(window_->Busy);

    // A cancelled Select forgets the path but keeps the part count shown.
    TempFile file(PlainFile(3000));
    Select(file.path());
    EXPECT_EQ(PartsField(), QStringLiteral("3"));
    Select("");
    EXPECT_EQ(PathField(), QString());
    EXPECT_TRUE(app_->FirmwarePath.isEmpty());
    EXPECT_EQ(PartsField(), QStringLiteral("3"));
    messages_.clear();
    Upgrade();
    EXPECT_EQ(messages_, QStringList{kNoFileText});
    EXPECT_EQ(TransmitCount(), 0);
}

TEST_F(UpgradeUiTest, SelectShowsThePathAndThePartCount) {
    struct PartCase {
        size_t size;
        const char* parts;
    };
    for (const PartCase& c : {PartCase{0, "0"}, PartCase{1, "1"}, PartCase{1024, "1"}, PartCase{1025, "2"},
                              PartCase{5 * 1024 + 1, "6"}}) {
        TempFile file(std::vector<uint8_t>(c.size, 0x5A));
        Select(file.path());
        EXPECT_EQ(PartsField(), QString::fromLatin1(c.parts)) << c.size;
        EXPECT_EQ(PathField(), QString::fromStdString(file.path()));
        EXPECT_EQ(app_->FirmwarePath, QString::fromStdString(file.path()));
    }
    Select("/nonexistent/folder/fw.zel");
    EXPECT_EQ(PartsField(), QStringLiteral("0"));

    // A long path is shown shortened; the full one is kept for the upgrade.
    const std::string longPath =
        "/srv/firmware/archive/zel5100/releases/2026/december/candidates/final/"
        "zel5100_v2_4.zel";
    Select(longPath);
    EXPECT_LE(PathField().size(), 72);
    EXPECT_EQ(PathField(),
              QStringLiteral("/srv/firmware/archive/zel5100/releases/2026/.../zel5100_v2_4.zel"));
    EXPECT_EQ(app_->FirmwarePath, QString::fromStdString(longPath));
}

TEST_F(UpgradeUiTest, RefusedFilesSendNothingAndSayWhy) {
    // Nothing read from the device yet: the firmware version is unknown.
    FirmwareSpec zlib;
    zlib.compressed = true;
    TempFile compressed(BuildFirmwareFile(zlib));
    ASSERT_EQ(app_->FirmwareVersion, -1);
    Select(compressed.path());
    Upgrade();
    EXPECT_EQ(messages_, QStringList{kTooOld14Text});
    EXPECT_EQ(window_->StatusLine()->text(), kTooOldStatus);
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());

    // A file that went away after Select: the text in the box and the status line.
    ConnectDevice(Device5100());
    const std::string gone = compressed.directory() + "/gone.zel";
    Select(gone);
    messages_.clear();
    Upgrade();
    const QString openText = QStringLiteral("Error opening '%1'").arg(QString::fromStdString(gone));
    EXPECT_EQ(messages_, QStringList{openText});
    EXPECT_EQ(window_->StatusLine()->text(), openText);

    // Other refusals leave the status line as it was.
    FirmwareSpec empty;
    empty.applications = 0;
    TempFile noApplications(BuildFirmwareFile(empty));
    Select(noApplications.path());
    window_->SetStatus(QStringLiteral("before"));
    messages_.clear();
    Upgrade();
    EXPECT_EQ(messages_, QStringList{QStringLiteral("Upgrade file doesn't contain any applications")});
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("before"));
    EXPECT_EQ(TransmitCount(), 0);
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());
    EXPECT_FALSE(window_->Busy);
}

TEST_F(UpgradeUiTest, AnUploadArrivesByteExactAndTheWindowReconnects) {
    ConnectDevice(Device5100());
    WatchImages();
    const std::vector<uint8_t> image = PlainFile(5 * 1024 + 300);
    TempFile file(image);
    Select(file.path());

    // Watch the window while the transfer pumps its messages.
    std::vector<int> barValues;
    bool barShown = false;
    QProgressBar* bar = Buttons().ProgressBar();
    onPump_ = [&] {
        barShown = barShown || !bar->isHidden();
        if (barValues.empty() || barValues.back() != bar->value()) barValues.push_back(bar->value());
    };
    Upgrade();
    onPump_ = nullptr;

    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0], image);
    EXPECT_TRUE(statuses_.contains(
        QStringLiteral("Firmware upgrade current phase: Uploading, current progress: 50")));
    const int uploaded = statuses_.indexOf(QStringLiteral("Firmware uploaded"));
    ASSERT_GE(uploaded, 0);
    EXPECT_EQ(statuses_.indexOf(QStringLiteral("ZEL-5100 starts rebooting")), uploaded + 1);
    EXPECT_EQ(statuses_.last(), QStringLiteral("OK"));
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_EQ(device_->Stats().restarts, 1u);
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());
    EXPECT_FALSE(window_->Busy);
    EXPECT_FALSE(window_->AwaitingDhcpAddress);
    EXPECT_TRUE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());

    // The bar showed the upload rising to full, and is put away afterwards.
    EXPECT_TRUE(barShown);
    ASSERT_GE(barValues.size(), 3u);
    EXPECT_TRUE(std::is_sorted(barValues.begin(), barValues.end()));
    EXPECT_EQ(barValues.back(), 100);
    EXPECT_TRUE(bar->isHidden());
}

TEST_F(UpgradeUiTest, ClosingDuringTheTransferAsksFirstAndSaysWhatStateTheUnitIsLeftIn) {
    ConnectDevice(Device5100());
    WatchImages();
    TempFile file(PlainFile(20 * 1024));
    Select(file.path());
    // Giving the port back silences the line, as closing a serial port does.
    int closes = 0;
    app_->PortCloser = [this, &closes] {
        ++closes;
        MuteAll();
    };
    window_->show();

    // Answered no: the upload goes on to the end.
    confirmAnswer_ = false;
    bool asked = false;
    onPump_ = [&] {
        if (window_->UpgradeTransferring && !asked) {
            asked = true;
            window_->close();
        }
    };
    Upgrade();
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_TRUE(questions_[0].contains(QLatin1String("erased")));
    EXPECT_TRUE(questions_[0].contains(QLatin1String("keeps the firmware it has")));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(finished_.size(), 1u);
    EXPECT_EQ(closes, 0);

    // Answered yes: the transfer stops, the port is given back, nothing more is shown.
    confirmAnswer_ = true;
    asked = false;
    messages_.clear();
    Upgrade();
    onPump_ = nullptr;
    EXPECT_EQ(questions_.size(), 2);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(finished_.size(), 1u);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());
}

TEST_F(UpgradeUiTest, ASecondClickDuringTheTransferIsIgnoredAndTheNextFileFollows) {
    ConnectDevice(Device5100());
    WatchImages();
    const std::vector<uint8_t> first = PlainFile(4 * 1024, 1);
    const std::vector<uint8_t> second = PlainFile(2 * 1024 + 9, 2);
    TempFile firstFile(first, "first.zel");
    TempFile secondFile(second, "second.zel");
    Select(firstFile.path());

    // Mid-transfer: Upgrade again, and Select the next file.
    bool clicked = false;
    onPump_ = [&] {
        if (!clicked && window_->StatusLine()->text().contains(QLatin1String("Uploading"))) {
            clicked = true;
            Upgrade();
            Select(secondFile.path());
        }
    };
    Upgrade();
    onPump_ = nullptr;
    ASSERT_TRUE(clicked);
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0], first);
    EXPECT_EQ(statuses_.count(QStringLiteral("Firmware upgrade current phase: Init, current progress: 0")),
              1);
    EXPECT_EQ(PartsField(), QStringLiteral("3"));

    // The file chosen during the transfer goes next, then the same one again.
    Upgrade();
    Upgrade();
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join("|").toStdString();
    ASSERT_EQ(finished_.size(), 3u);
    EXPECT_EQ(finished_[1], second);
    EXPECT_EQ(finished_[2], second);
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());
}

TEST_F(UpgradeUiTest, AFailedTransferIsShownAndNothingWaitsForTheDevice) {
    SimConfig config = Device5100();
    config.failUpgrade = true;
    ConnectDevice(config);
    TempFile file(PlainFile(1500));
    Select(file.path());
    // The message is up while nothing else may start, the file already closed.
    bool busyDuringMessage = false;
    bool fileOpenDuringMessage = true;
    app_->MessageBox = [&](const QString& text) {
        messages_ << text;
        busyDuringMessage = window_->Busy;
        fileOpenDuringMessage = app_->FirmwareStream.IsOpen();
    };
    Upgrade();
    EXPECT_TRUE(busyDuringMessage);
    EXPECT_FALSE(fileOpenDuringMessage);
    EXPECT_EQ(messages_, QStringList{QString::fromStdString(ZelErrorMessage(ZEL_E_UPG_FAILED))});
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Error while upgrading firmware"));
    EXPECT_FALSE(statuses_.contains(QStringLiteral("ZEL-5100 starts rebooting")));
    EXPECT_EQ(app_->DeviceMode, 1);
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());
    EXPECT_FALSE(window_->Busy);
    EXPECT_TRUE(Buttons().ProgressBar()->isHidden());
}

TEST_F(UpgradeUiTest, WithoutAPortTheTransferFailsOnItsFirstRequest) {
    TempFile file(PlainFile(100));
    Select(file.path());
    Upgrade();
    EXPECT_EQ(messages_, QStringList{QString::fromStdString(ZelErrorMessage(ZEL_E_TXFUNC_NULL_PNTR))});
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Error while upgrading firmware"));
    EXPECT_FALSE(app_->FirmwareStream.IsOpen());
}

TEST_F(UpgradeUiTest, TheProgressBarFitsUnderThePathFieldInsideTheGroup) {
    const QRect bar = Buttons().ProgressBar()->geometry();
    QRect group;
    for (QGroupBox* box : window_->findChildren<QGroupBox*>())
        if (box->title() == QLatin1String("Cat 0x80 - Firmware upgrade")) group = box->geometry();
    ASSERT_FALSE(group.isNull());
    // Clear of the frame's lines and of every control of the layout.
    EXPECT_TRUE(group.adjusted(2, 2, -2, -2).contains(bar));
    for (QWidget* control : window_->Controls().All()) {
        if (qobject_cast<QGroupBox*>(control) == nullptr) {
            EXPECT_FALSE(control->geometry().intersects(bar)) << control->objectName().toStdString();
        }
    }
    const QRect path = window_->ControlById(Idc::FirmwareFile)->geometry();
    EXPECT_EQ(bar.left(), path.left());
    EXPECT_EQ(bar.width(), path.width());
    EXPECT_GT(bar.top(), path.bottom());
    EXPECT_TRUE(Buttons().ProgressBar()->isHidden());
}

TEST_F(UpgradeUiTest, AFifoOrAFolderIsRefusedAtOnceAndNothingIsOpened) {
    TempFile chosen(PlainFile(2048));
    Select(chosen.path());
    ASSERT_EQ(PartsField(), QStringLiteral("2"));
    ConnectDevice(Device5100());

    const std::string fifo = chosen.directory() + "/firmware.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, chosen.directory()}) {
        const QString refusal = QStringLiteral("'%1' is not a firmware file: choose a regular file")
                                    .arg(QString::fromStdString(path));
        // Opening a FIFO for reading would wait for a writer and freeze the window.
        messages_.clear();
        Select(path);
        EXPECT_EQ(messages_, QStringList{refusal}) << path;
        EXPECT_EQ(window_->StatusLine()->text(), refusal) << path;
        EXPECT_EQ(app_->FirmwarePath, QString::fromStdString(chosen.path())) << path;
        EXPECT_EQ(PartsField(), QStringLiteral("2")) << path;

        // The same refusal when the path was taken before it became one.
        app_->FirmwarePath = QString::fromStdString(path);
        messages_.clear();
        Upgrade();
        EXPECT_EQ(messages_, QStringList{refusal}) << path;
        EXPECT_FALSE(app_->FirmwareStream.IsOpen());
        app_->FirmwarePath = QString::fromStdString(chosen.path());
    }
    EXPECT_EQ(TransmitCount(), 0);
    ::unlink(fifo.c_str());
}

TEST_F(UpgradeUiTest, TheFileDialogOffersFirmwareFilesFirst) {
    TempFile file(PlainFile(2048));
    QString title;
    QStringList filters;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    WhenModalOpens<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        fileMode = dialog->fileMode();
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString(file.path()));
        static_cast<QDialog*>(dialog)->accept();
    });
    window_->OnCommand(Idc::FirmwareSelect);
    EXPECT_EQ(title, QStringLiteral("Open firmware file"));
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0], QStringLiteral("Firmware files (*.zel)"));
    // The dialog trims the caption it is given.
    EXPECT_EQ(filters[1], QString::fromLatin1(AllFilesFilter).trimmed());
#ifdef _WIN32
    EXPECT_STREQ(AllFilesFilter, " All files (*.*)");
#else
    // "*.*" would hide every file without a dot.
    EXPECT_STREQ(AllFilesFilter, " All files (*)");
#endif
    EXPECT_EQ(fileMode, QFileDialog::ExistingFile);
    EXPECT_EQ(app_->FirmwarePath, QString::fromStdString(file.path()));
    EXPECT_EQ(PartsField(), QStringLiteral("2"));

    WhenModalOpens<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    window_->OnCommand(Idc::FirmwareSelect);
    EXPECT_TRUE(app_->FirmwarePath.isEmpty());
    EXPECT_EQ(PartsField(), QStringLiteral("2"));
}

}  // namespace
