// The looks of a value field: read-only, unchanged, changed, disabled, green.
#include <gtest/gtest.h>
#include <QTest>
#include <memory>

#include "gui_test_support.h"
#include "tav_colors.h"
#include "tav_edit.h"

namespace {

const QColor kReadOnly(TavColors::ReadOnly);
const QColor kUnchanged(TavColors::Unchanged);
const QColor kChanged(TavColors::Changed);
const QColor kGreen(TavColors::Firmware);

class TavEditTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        window_->resize(200, 60);
        edit_ = new TavEdit(window_.get());
        edit_->setGeometry(10, 10, 120, 22);
        edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        window_->show();
    }

    // What the field shows behind its text, read back from its painting.
    QColor Painted() { return PixelAt(edit_, QPoint(5, edit_->height() / 2)); }

    void ExpectLook(const QColor& color) {
        EXPECT_EQ(edit_->PaintedBackground(), color);
        EXPECT_EQ(Painted(), color);
        EXPECT_EQ(edit_->TextColor(), QColor(TavColors::Text));
    }

    std::unique_ptr<QWidget> window_;
    TavEdit* edit_ = nullptr;
};

TEST_F(TavEditTest, TypingMarksAWritableFieldAndADeviceValueClearsTheMark) {
    edit_->MakeEditableField();
    edit_->SetTextFromDevice(QStringLiteral("188"));
    ExpectLook(kUnchanged);
    EXPECT_FALSE(edit_->Modified);

    QTest::keyClick(edit_, Qt::Key_4);
    EXPECT_TRUE(edit_->Modified);
    ExpectLook(kChanged);

    edit_->SetTextFromDevice(QStringLiteral("204"));
    EXPECT_FALSE(edit_->Modified);
    ExpectLook(kUnchanged);
}

TEST_F(TavEditTest, DisablingShowsTheButtonFaceAndReenablingRestoresTheMark) {
    edit_->MakeEditableField();
    QTest::keyClicks(edit_, QStringLiteral("12"));
    ASSERT_TRUE(edit_->Modified);

    edit_->EnableField(false);
    EXPECT_FALSE(edit_->isEnabled());
    ExpectLook(TavColors::ButtonFace());

    edit_->EnableField(true);
    EXPECT_TRUE(edit_->isEnabled());
    ExpectLook(kChanged);

    edit_->SetTextFromDevice(QString());
    edit_->EnableField(false);
    edit_->EnableField(true);
    ExpectLook(kUnchanged);
}

TEST_F(TavEditTest, ReadOnlyLookStaysYellowWhateverHappensToTheText) {
    edit_->MakeReadOnlyField();
    ExpectLook(kReadOnly);
    edit_->setText(QStringLiteral("typed"));
    ExpectLook(kReadOnly);
    edit_->SetTextFromDevice(QStringLiteral("from device"));
    ExpectLook(kReadOnly);
    edit_->UpdateColors();
    ExpectLook(kReadOnly);
    EXPECT_FALSE(edit_->Modified);

    // Even a field that tracks changes but has the read-only look stays yellow.
    edit_->setReadOnly(false);
    edit_->TrackChanges = true;
    QTest::keyClick(edit_, Qt::Key_1);
    EXPECT_FALSE(edit_->Modified);
    ExpectLook(kReadOnly);
}

TEST_F(TavEditTest, GreenNormalColourSurvivesEnableFieldButNotUpdateColors) {
    edit_->MakeReadOnlyField();
    edit_->SetNormalColor(kGreen);
    ExpectLook(kGreen);

    edit_->EnableField(false);
    ExpectLook(TavColors::ButtonFace());
    edit_->EnableField(true);
    ExpectLook(kGreen);
    edit_->SetTextFromDevice(QStringLiteral("v1.4"));
    ExpectLook(kGreen);

    edit_->UpdateColors();
    ExpectLook(kReadOnly);
}

TEST_F(TavEditTest, GreenOnAnEditableFieldTurnsLightBlueOnUpdateColors) {
    edit_->MakeEditableField();
    edit_->SetNormalColor(kGreen);
    edit_->EnableField(true);
    ExpectLook(kGreen);
    edit_->UpdateColors();
    ExpectLook(kUnchanged);
}

TEST_F(TavEditTest, AnUntrackedFieldNeverCountsAsChanged) {
    // The plain fields of the Change IP Address dialog.
    QTest::keyClicks(edit_, QStringLiteral("10.0.0.1"));
    EXPECT_FALSE(edit_->Modified);
    ExpectLook(kUnchanged);
    edit_->EnableField(false);
    ExpectLook(TavColors::ButtonFace());
}

TEST_F(TavEditTest, ProgramSetTextCountsAsAChangeOfATrackedField) {
    // Only SetTextFromDevice clears the mark; a plain text change sets it.
    edit_->MakeEditableField();
    edit_->setText(QStringLiteral("5"));
    EXPECT_TRUE(edit_->Modified);
    ExpectLook(kChanged);
}

TEST_F(TavEditTest, ALongTextScrollsInsideTheFieldInsteadOfWrapping) {
    edit_->MakeReadOnlyField();
    const QString longText(300, QLatin1Char('x'));
    edit_->SetTextFromDevice(longText);
    EXPECT_EQ(edit_->text(), longText);
    EXPECT_EQ(edit_->height(), 22);
    // The whole value stays readable from the tip; a value that fits needs none.
    EXPECT_EQ(edit_->toolTip(), longText);
    edit_->SetTextFromDevice(QStringLiteral("12"));
    EXPECT_TRUE(edit_->toolTip().isEmpty());
}

}  // namespace
