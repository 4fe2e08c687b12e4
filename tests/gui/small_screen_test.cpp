// On a screen smaller than the window, the window fits the screen and its
// controls scroll. Run under Xvfb at 1024x600 (no panel bar there): this test
// starts the X server and runs the window part in a child of this program.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTest>

#include "main_window_fixture.h"
#include "tav_edit.h"

namespace {

const char kChildVariable[] = "ZEL_SMALL_SCREEN_CHILD";

// The window part: only in the child, on the X server the parent started.
class SmallScreenWindowTest : public MainWindowTest {};

TEST_F(SmallScreenWindowTest, FitsTheScreenAndScrollsToEveryControl) {
    if (qEnvironmentVariableIsEmpty(kChildVariable))
        GTEST_SKIP() << "runs inside SmallScreenTest on its own X server";
    const QSize natural = window_->size();
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 20000));
    const QRect room = window_->screen()->availableGeometry();
    ASSERT_GT(natural.height(), room.height()) << "the screen is not smaller than the window";

    EXPECT_TRUE(room.contains(window_->frameGeometry()) || room.contains(window_->geometry()));
    auto* area = window_->findChild<QScrollArea*>(QStringLiteral("WindowScrollArea"));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->widget()->size(), natural);
    // The status line at the bottom can be brought into view.
    TavEdit* status = window_->StatusLine();
    area->ensureWidgetVisible(status);
    const QRect shown(status->mapTo(window_.get(), QPoint(0, 0)), status->size());
    EXPECT_TRUE(window_->rect().contains(shown));
}

TEST(SmallScreenTest, TheWindowFitsA1024x600Screen) {
    if (!qEnvironmentVariableIsEmpty(kChildVariable)) GTEST_SKIP() << "the child runs the window part only";
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps adds it)";

    // Xvfb picks a display number nobody uses (another test run may have one, or
    // have left its socket behind) and names it once it takes connections.
    QProcess server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x600x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
    ASSERT_TRUE(server.waitForStarted(20000));
    QByteArray named;
    QElapsedTimer clock;
    clock.start();
    while (!named.contains('\n') && server.state() == QProcess::Running && clock.elapsed() < 30000) {
        server.waitForReadyRead(100);
        named += server.readAllStandardOutput();
    }
    named += server.readAllStandardOutput();
    bool numbered = false;
    const int display = named.trimmed().toInt(&numbered);
    if (!named.contains('\n') || !numbered) {
        server.kill();
        server.waitForFinished(5000);
        GTEST_SKIP() << "Xvfb did not start: " << server.readAllStandardError().toStdString();
    }

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    environment.insert(QLatin1String(kChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SmallScreenWindowTest.*")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    server.terminate();
    server.waitForFinished(10000);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("[  PASSED  ] 1 test"))) << output.toStdString();
}

}  // namespace
