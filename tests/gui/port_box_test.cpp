// The COM port box connects a name only once the operator has finished it,
// and never opens a local path that is no serial line.
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <string>

#include "control_ids.h"
#include "main_window_fixture.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

class PortBoxTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The start-up connection is over (the box is empty: nothing to open).
        window_->OnTimer(1);
        openedPorts_.clear();
    }

    QLineEdit* PortText() const { return window_->ComPortBox()->lineEdit(); }

    // Key by key, as the operator types; no timer runs between the keys.
    void Type(const QString& text) {
        PortText()->clear();
        QTest::keyClicks(PortText(), text);
    }

    // Lets the window's timers run until `done`, for at most a generous bound.
    static bool WaitFor(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 20000)
            QTest::qWait(20);
        return done();
    }

    // Lets the pause timer run out if it was started: time passes by far more than a pause.
    static void LetAPausePass() {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 3 * Zel5100UtilDlg::TypingPauseMs)
            QTest::qWait(20);
    }

    static std::vector<std::string> Names(std::initializer_list<const char*> names) {
        return std::vector<std::string>(names.begin(), names.end());
    }
};

TEST_F(PortBoxTest, EnterOpensTheFinishedNameOnlyAndKeepsTheWindowOpen) {
    window_->show();
    Type(QStringLiteral("/dev/ttyS0"));
    EXPECT_TRUE(openedPorts_.empty());
    EXPECT_TRUE(app_->Settings.ReadComPort().isEmpty());

    QTest::keyClick(PortText(), Qt::Key_Return);
    EXPECT_EQ(openedPorts_, Names({"/dev/ttyS0"}));
    EXPECT_EQ(app_->Settings.ReadComPort(), QStringLiteral("/dev/ttyS0"));
    EXPECT_TRUE(window_->isVisible());
    // Remembered although it did not open; the reason stays on the tip.
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Can't open COM port"));

    // The same name again opens nothing new.
    QTest::keyClick(PortText(), Qt::Key_Enter);
    EXPECT_EQ(openedPorts_.size(), 1u);
}

TEST_F(PortBoxTest, FocusLeavingTheBoxOpensTheNameTyped) {
    Type(QStringLiteral("/dev/ttyUSB3"));
    for (Qt::FocusReason unfinished : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent away(QEvent::FocusOut, unfinished);
        QApplication::sendEvent(window_->ComPortBox(), &away);
    }
    EXPECT_TRUE(openedPorts_.empty());

    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(window_->ComPortBox(), &leaving);
    EXPECT_EQ(openedPorts_, Names({"/dev/ttyUSB3"}));
}

TEST_F(PortBoxTest, APauseInTypingOpensTheNameButNotANetworkName) {
    Type(QStringLiteral("/dev/ttyUSB2"));
    EXPECT_TRUE(openedPorts_.empty());
    EXPECT_TRUE(WaitFor([this] { return !openedPorts_.empty(); }));
    EXPECT_EQ(openedPorts_, Names({"/dev/ttyUSB2"}));

    Type(QStringLiteral("tcp://localhost:700"));
    LetAPausePass();
    EXPECT_EQ(openedPorts_.size(), 1u);
    EXPECT_EQ(app_->Settings.ReadComPort(), QStringLiteral("/dev/ttyUSB2"));
    QTest::keyClicks(PortText(), QStringLiteral("1"));
    QTest::keyClick(PortText(), Qt::Key_Return);
    EXPECT_EQ(openedPorts_, Names({"/dev/ttyUSB2", "tcp://localhost:7001"}));
}

TEST_F(PortBoxTest, TheListIsPickedFromWithoutInlineCompletion) {
    window_->ComPortBox()->AddSorted(QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(window_->ComPortBox()->completer(), nullptr);
    Type(QStringLiteral("/dev/tty"));
    EXPECT_EQ(PortText()->text(), QStringLiteral("/dev/tty"));
    emit window_->ComPortBox()->activated(0);
    EXPECT_EQ(openedPorts_, Names({"/dev/ttyUSB0"}));
}

// A scratch regular file and FIFO, removed afterwards.
class ScratchNodes {
public:
    ScratchNodes() {
        char pattern[] = "/tmp/zel-portbox-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) folder = pattern;
        file = folder + "/plain";
        fifo = folder + "/fifo";
        if (FILE* f = std::fopen(file.c_str(), "w")) std::fclose(f);
        ::mkfifo(fifo.c_str(), 0600);
    }
    ~ScratchNodes() {
        ::unlink(file.c_str());
        ::unlink(fifo.c_str());
        ::rmdir(folder.c_str());
    }
    std::string folder, file, fifo;
};

TEST_F(PortBoxTest, TerminalsFilesAndFifosAreRefusedWithoutBeingOpened) {
    ScratchNodes nodes;
    std::vector<std::string> refused = {"/dev/tty", nodes.file, nodes.fifo, nodes.folder};
    for (const char* console : {"/dev/console", "/dev/tty1"}) {
        struct stat info {};
        if (::stat(console, &info) == 0)
            refused.push_back(console);
        else
            std::printf("[ NOTE ] %s is not on this system; not tried\n", console);
    }
    for (const std::string& name : refused) {
        Type(QString::fromStdString(name));
        QTest::keyClick(PortText(), Qt::Key_Return);
        EXPECT_EQ(window_->StatusLine()->text(),
                  QString::fromStdString(name) + QStringLiteral(" is not a serial port"));
        // A finished name is remembered all the same.
        EXPECT_EQ(app_->Settings.ReadComPort(), QString::fromStdString(name));
    }
    EXPECT_TRUE(openedPorts_.empty());
    EXPECT_EQ(app_->DeviceMode, -2);
}

TEST_F(PortBoxTest, TheReasonAnOpeningFailedStaysOnTheStatusTip) {
    Type(QStringLiteral("/dev/ttyUSB9"));
    app_->Port.failure.problem = ComOpenProblem::NoSuchPort;
    QTest::keyClick(PortText(), Qt::Key_Return);
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Can't open COM port"));
    EXPECT_EQ(window_->StatusLine()->toolTip(), QStringLiteral("No such port"));
}

}  // namespace
