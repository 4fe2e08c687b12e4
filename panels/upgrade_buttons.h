// The firmware group of the main window: Select chooses the file and shows its
// path and part count; Upgrade checks the file, sends it to the device with the
// progress in the status line and in a thin bar under the path, and waits for
// the device to come back with the new firmware.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QProgressBar;
class WindowHost;

// The most characters the path field shows; longer paths lose middle folders.
constexpr int FirmwarePathDisplayLimit = 72;
// The Select dialog's filter that shows every file.
extern const char* const AllFilesFilter;

class FirmwareUpgradeButtons : public QObject {
    Q_OBJECT

public:
    // Routes Select and Upgrade of `window` here and adds the progress bar.
    explicit FirmwareUpgradeButtons(WindowHost& window);
    ~FirmwareUpgradeButtons() override;

    // The one of a window, nullptr before RouteFirmwareCommands.
    static FirmwareUpgradeButtons* Of(WindowHost& window);

    // Button 1095. Does not follow the busy rule: a file can be chosen while
    // an upgrade runs (the running one keeps its file).
    void OnSelect();
    // Button 1097, under the busy rule.
    void OnUpgrade();

    QProgressBar* ProgressBar() const { return progressBar_; }

    // Asks the operator for a firmware file; "" when cancelled. Shows the file
    // dialog unless a test replaces it.
    std::function<QString(QWidget* parent)> ChooseFile;

private:
    void Upgrade();
    void ShowProgress(int phase, int percent);
    static void ProgressHook(void* context, int phase, int percent);
    void PlaceProgressBar();

    WindowHost& window_;
    QProgressBar* progressBar_ = nullptr;
};

// Creates the window's firmware group handlers (owned by the window).
void RouteFirmwareCommands(WindowHost& window);

// The file dialog: "Open firmware file", *.zel first, then all files.
QString AskForFirmwareFile(QWidget* parent);
