// Numbers in the window read the same whatever the user's locale, and a value
// too wide for its field never looks like a shorter number.
#include <QFontMetrics>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>

#include "control_ids.h"
#include "sim_window_fixture.h"
#include "tav_combo.h"
#include "tav_edit.h"
#include "temp_string.h"

namespace {

const char kGerman[] = "de_DE.UTF-8";

// Switches the process to a real German locale, generating it with localedef
// into a folder of our own when the system has not got it.
bool UseGermanLocale() {
    if (std::setlocale(LC_ALL, kGerman) != nullptr) return true;
    static QTemporaryDir folder;
    if (!folder.isValid()) return false;
    QProcess::execute(QStringLiteral("localedef"),
                      {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                       QStringLiteral("UTF-8"), folder.filePath(QString::fromLatin1(kGerman))});
    ::setenv("LOCPATH", folder.path().toLocal8Bit().constData(), 1);
    return std::setlocale(LC_ALL, kGerman) != nullptr;
}

class NumberLocaleTest : public SimWindowTest {
protected:
    void SetUp() override {
        if (!UseGermanLocale())
            GTEST_SKIP() << "de_DE.UTF-8 could not be generated here (is localedef with the "
                            "locales data installed?)";
        SimWindowTest::SetUp();
    }
    void TearDown() override {
        SimWindowTest::TearDown();
        std::setlocale(LC_ALL, "C");
        ::unsetenv("LOCPATH");
    }
    QString Text(int id) const { return window_->Edit(id)->text(); }
};

TEST_F(NumberLocaleTest, FieldsShowTheDecimalPointUnderAGermanLocale) {
    // The locale is really in force: the C library itself writes a comma.
    char german[16] = {};
    std::snprintf(german, sizeof german, "%g", 12.5);
    ASSERT_STREQ(german, "12,5");

    Connect(SimConfig());
    EXPECT_EQ(Text(Idc::Cat81DelayFactor), QStringLiteral("12.5"));
    EXPECT_EQ(TempString("%g", 1234.57).Text(), QStringLiteral("1234.57"));
}

TEST_F(NumberLocaleTest, AValueTooWideForItsFieldIsShownWholeOrMarkedAsCut) {
    StartDevice(SimConfig());
    device_->SetValue(0x81, 8, 5000000000ULL);
    window_->ComPortBox()->setEditText(QStringLiteral("/dev/ttyUSB0"));
    window_->ConnectComPort();
    TavEdit* field = window_->Edit(Idc::Cat81LostAfterFec);
    ASSERT_EQ(field->text(), QStringLiteral("5000000000"));
    EXPECT_TRUE(field->ShowsSmallerFont() || field->ShowsCutMark());
    if (field->ShowsSmallerFont()) {
        EXPECT_LE(QFontMetrics(field->font()).horizontalAdvance(field->text()),
                  field->contentsRect().width() - 4);
    }
    EXPECT_EQ(field->toolTip(), QStringLiteral("5000000000"));

    // A value that fits is shown in the field's own font again.
    const QFont own = field->font();
    device_->SetValue(0x81, 8, 7);
    window_->OnCommand(Idc::Cat81Refresh);
    EXPECT_EQ(field->text(), QStringLiteral("7"));
    EXPECT_FALSE(field->ShowsSmallerFont());
    EXPECT_FALSE(field->ShowsCutMark());
    EXPECT_GE(field->font().pointSizeF(), own.pointSizeF());
}

}  // namespace
