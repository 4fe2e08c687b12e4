#include <gtest/gtest.h>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "gui_test_support.h"

int main(int argc, char* argv[]) {
    PrepareGuiEnvironment();
    QApplication application(argc, argv);
    ConfigureApplication(application);
    // No test may read or change the operator's remembered port.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    // Nor write to the operator's change log.
    QTemporaryDir stateDir;
    qputenv("XDG_STATE_HOME", stateDir.path().toLocal8Bit());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
