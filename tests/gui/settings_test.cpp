// The remembered COM port: where it is stored, and what --port changes.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "settings_store.h"
#include "zel5100util_app.h"

namespace {

class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    }

    QString StoredFile(const QString& applicationKey) const {
        QFile file(dir_.filePath(QStringLiteral("Taviro/%1.conf").arg(applicationKey)));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return QString();
        return QString::fromUtf8(file.readAll());
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsTest, WritesComPortUnderCompanyApplicationAndSection) {
    const SettingsStore store(QStringLiteral("Zel5100Util"));
    EXPECT_EQ(store.ReadComPort(), QString());
    store.WriteComPort(QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(store.ReadComPort(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(StoredFile(QStringLiteral("Zel5100Util")),
              QStringLiteral("[Zel5100Util]\nComPort=/dev/ttyUSB0\n"));

    // A lone digit is stored as typed.
    store.WriteComPort(QStringLiteral("5"));
    EXPECT_EQ(SettingsStore(QStringLiteral("Zel5100Util")).ReadComPort(), QStringLiteral("5"));
}

TEST_F(SettingsTest, ApplicationKeyIsTheProgramName) {
    const SettingsStore store;
    EXPECT_EQ(store.ApplicationKey(), QCoreApplication::applicationName());
    store.WriteComPort(QStringLiteral("COM3"));
    EXPECT_TRUE(StoredFile(store.ApplicationKey()).contains(QStringLiteral("ComPort=COM3")));
    // Under another program name the entry is not found.
    EXPECT_EQ(SettingsStore(QStringLiteral("Renamed")).ReadComPort(), QString());
}

TEST_F(SettingsTest, ProposesTheRememberedPortElseTheFirstDiscovered) {
    Zel5100UtilApp app;
    EXPECT_EQ(app.ProposedPort(), QString());
    app.PortNames = {"/dev/ttyUSB1", "/dev/ttyS0"};
    EXPECT_EQ(app.ProposedPort(), QStringLiteral("/dev/ttyUSB1"));
    app.RememberPort(QStringLiteral("/dev/gone"));
    EXPECT_EQ(app.ProposedPort(), QStringLiteral("/dev/gone"));
}

TEST_F(SettingsTest, PortArgumentIsProposedAndNothingIsRemembered) {
    Zel5100UtilApp app;
    app.Settings.WriteComPort(QStringLiteral("/dev/ttyUSB0"));
    QString error;
    ASSERT_TRUE(app.ParseArguments({"zel5100util", "--port", "/dev/pts/7"}, &error));
    EXPECT_EQ(app.ProposedPort(), QStringLiteral("/dev/pts/7"));
    app.RememberPort(QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(app.Settings.ReadComPort(), QStringLiteral("/dev/ttyUSB0"));
}

TEST(ArgumentsTest, AcceptsOnlyAnOptionalPort) {
    struct Case {
        QStringList arguments;
        bool ok;
        const char* port;
    };
    const Case cases[] = {
        {{"zel5100util"}, true, ""},
        {{"zel5100util", "--port", "/dev/ttyUSB3"}, true, "/dev/ttyUSB3"},
        {{"zel5100util", "--port=7"}, true, "7"},
        {{"zel5100util", "--port"}, false, ""},
        {{"zel5100util", "--port="}, false, ""},
        {{"zel5100util", "/dev/ttyUSB3"}, false, ""},
        {{"zel5100util", "--verbose"}, false, ""},
    };
    for (const Case& c : cases) {
        Zel5100UtilApp app;
        QString error;
        EXPECT_EQ(app.ParseArguments(c.arguments, &error), c.ok) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(error.isEmpty(), c.ok) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(app.PortArgument, QString::fromLatin1(c.port));
        EXPECT_EQ(app.RememberPortChoice, !c.ok || c.port[0] == '\0');
    }
}

}  // namespace
