// Numbers in the window read the same whatever the user's locale, and a value
// too wide for its field never looks like a shorter number.
#include <QFontMetrics>
#include <clocale>
#include <cstdlib>

#include "control_ids.h"
#include "decimal_comma_locale.h"
#include "sim_window_fixture.h"
#include "tav_combo.h"
#include "tav_edit.h"
#include "temp_string.h"

namespace {

class NumberLocaleTest : public SimWindowTest {
protected:
    void SetUp() override {
        if (!UseDecimalCommaLocale())
            GTEST_SKIP() << "no locale with a decimal comma here, and localedef could not make one "
                            "(are the locales data installed?)";
        SimWindowTest::SetUp();
    }
    void TearDown() override {
        SimWindowTest::TearDown();
        LeaveDecimalCommaLocale();
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
