// The flat icon button, the picture control, the COM port box and the About box.
#include <gtest/gtest.h>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <memory>

#include "about_dlg.h"
#include "button_st.h"
#include "gui_test_support.h"
#include "png_image_ctrl.h"
#include "resource_images.h"
#include "tav_colors.h"
#include "tav_combo.h"

namespace {

QPixmap SolidIcon(const QColor& color) {
    QPixmap icon(16, 16);
    icon.fill(color);
    return icon;
}

class ButtonTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        window_->resize(200, 80);
        button_ = new CButtonST(window_.get());
        button_->setGeometry(10, 10, 30, 24);
        button_->AssignIcon(SolidIcon(QColor(240, 120, 0)));
        window_->show();
    }

    std::unique_ptr<QWidget> window_;
    CButtonST* button_ = nullptr;
};

TEST_F(ButtonTest, IconWithoutCaptionIsCentredAndShiftsOnePixelWhenPressed) {
    const QRect rest = button_->IconRect();
    EXPECT_EQ(rest, QRect(7, 4, 16, 16));
    EXPECT_EQ(PixelAt(button_, rest.topLeft()), QColor(240, 120, 0));

    button_->setDown(true);
    const QRect pressed = button_->IconRect();
    EXPECT_EQ(pressed, rest.translated(1, 1));
    const QImage image = button_->grab().toImage();
    EXPECT_EQ(image.pixelColor(pressed.topLeft()), QColor(240, 120, 0));
    // The column the icon left behind shows the button face again.
    EXPECT_EQ(image.pixel(rest.left(), rest.center().y()), TavColors::ButtonFace().rgb());
}

TEST_F(ButtonTest, FlatAtRestRaisedUnderThePointerSunkenWhenPressed) {
    const QPalette& pal = button_->palette();
    const QRgb face = TavColors::ButtonFace().rgb();
    const QRgb light = pal.color(QPalette::Active, QPalette::Light).rgb();
    const QRgb dark = pal.color(QPalette::Active, QPalette::Dark).rgb();
    auto corners = [&] {
        const QImage image = button_->grab().toImage();
        return std::make_pair(image.pixel(0, 0), image.pixel(button_->width() - 1, button_->height() - 1));
    };
    EXPECT_EQ(corners(), std::make_pair(face, face));

    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QCoreApplication::sendEvent(button_, &enter);
    EXPECT_TRUE(button_->PointerInside());
    EXPECT_EQ(corners(), std::make_pair(light, dark));

    button_->setDown(true);
    EXPECT_EQ(corners(), std::make_pair(dark, light));
    button_->setDown(false);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button_, &leave);
    EXPECT_FALSE(button_->PointerInside());
    EXPECT_EQ(corners(), std::make_pair(face, face));
}

TEST_F(ButtonTest, OnlyTheButtonUnderThePointerIsRaised) {
    auto* second = new CButtonST(window_.get());
    second->setGeometry(45, 10, 30, 24);
    second->show();
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button_, &enter);
    // Moving on: the first is left before the second is entered.
    QCoreApplication::sendEvent(button_, &leave);
    QCoreApplication::sendEvent(second, &enter);
    EXPECT_FALSE(button_->PointerInside());
    EXPECT_TRUE(second->PointerInside());
}

TEST_F(ButtonTest, DisabledButtonShowsItsIconGreyed) {
    button_->setEnabled(false);
    const QColor shown = PixelAt(button_, button_->IconRect().center());
    EXPECT_NE(shown, QColor(240, 120, 0));
    EXPECT_LT(shown.hsvSaturation(), 60);
}

TEST_F(ButtonTest, IconWithCaptionSitsThreePixelsFromTheLeft) {
    button_->setText(QStringLiteral("Select"));
    button_->resize(80, 24);
    EXPECT_EQ(button_->IconRect().left(), 3);
}

TEST_F(ButtonTest, ClicksArriveAsClicksAndTheStandardLookIsAPlainPushButton) {
    int clicks = 0;
    QObject::connect(button_, &QPushButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(button_, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    // The second press of a quick double click presses the button again.
    const QPointF centre = QRectF(button_->rect()).center();
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, centre, button_->mapToGlobal(centre), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, button_->mapToGlobal(centre), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button_, &doubleClick);
    QCoreApplication::sendEvent(button_, &release);
    EXPECT_EQ(clicks, 2);

    button_->SetFlatLook(false);
    const QImage standard = button_->grab().toImage();
    button_->SetFlatLook(true);
    EXPECT_NE(standard, button_->grab().toImage());
}

TEST(PngImageCtrlTest, DrawsItsPictureUnscaledFromTheTopLeftCorner) {
    QWidget window;
    auto* picture = new PngImageCtrl(&window);
    ASSERT_TRUE(picture->LoadPng(133));
    const QImage source = picture->Picture().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(source.size(), QSize(283, 168));

    // Smaller than the picture: the top-left part only.
    picture->setGeometry(0, 0, 120, 70);
    window.show();
    QImage shown = picture->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(120, 70));
    for (const QPoint point : {QPoint(60, 35), QPoint(119, 69), QPoint(30, 10)})
        EXPECT_EQ(shown.pixelColor(point), source.pixelColor(point)) << point.x() << "," << point.y();

    // Larger than the picture: the rest shows the button face.
    picture->setGeometry(0, 0, 300, 180);
    shown = picture->grab().toImage();
    EXPECT_EQ(shown.pixelColor(295, 175), TavColors::ButtonFace());
    EXPECT_EQ(shown.pixelColor(150, 80), source.pixelColor(150, 80));
}

TEST(PngImageCtrlTest, AMissingPictureDrawsNothing) {
    PngImageCtrl picture;
    EXPECT_FALSE(picture.LoadPng(999));
    EXPECT_TRUE(picture.Picture().isNull());
}

TEST(PicturesTest, EveryPictureAndIconExistsAtItsSize) {
    EXPECT_EQ(LoadPngResource(133).size(), QSize(283, 168));
    EXPECT_EQ(LoadPngResource(134).size(), QSize(156, 54));
    EXPECT_EQ(LoadIconPixmap(128).size(), QSize(32, 32));
    for (int icon : {129, 130, 134})
        EXPECT_EQ(LoadIconPixmap(icon).size(), QSize(16, 16)) << icon;
    EXPECT_TRUE(LoadIconResource(128).availableSizes().contains(QSize(16, 16)));
    // The logo keeps its transparency.
    EXPECT_TRUE(LoadPngResource(134).hasAlphaChannel());
}

TEST(TavComboTest, KeepsItsListSortedAndPaintsInTheFieldColours) {
    TavCombo box;
    for (const char* name : {"/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttys1"})
        box.AddSorted(QString::fromLatin1(name));
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    EXPECT_EQ(items, QStringList({"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttys1", "/dev/ttyUSB1"}));

    EXPECT_EQ(box.CurrentColor(), QColor(TavColors::Unchanged));
    EXPECT_EQ(box.TextColor(), QColor(TavColors::Text));
    box.resize(120, 22);
    box.show();
    const QRect text = box.lineEdit()->geometry();
    EXPECT_EQ(PixelAt(&box, QPoint(text.left() + 2, text.center().y())), QColor(TavColors::Unchanged));
    EXPECT_TRUE(box.isEditable());
}

TEST(AboutDlgTest, ShowsNameVersionAndPurpose) {
    AboutDlg about(QStringLiteral("2.3.0.10"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Zel5100Util"));
    auto* version = qobject_cast<QLabel*>(about.ControlById(AboutDlg::VersionTextId));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("Zel5100Util v2.3.0.10"));
    QStringList texts;
    for (QLabel* label : about.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Utility to view the status and control the")));
    EXPECT_TRUE(texts.contains(QStringLiteral("parameters of the ZEL-5100")));
}

TEST(AboutDlgTest, ClosesWithOkAndWithEscape) {
    for (const bool useEscape : {false, true}) {
        AboutDlg about(QStringLiteral("?"));
        about.show();
        if (useEscape)
            QTest::keyClick(&about, Qt::Key_Escape);
        else
            QTest::mouseClick(about.ControlById(1), Qt::LeftButton);
        EXPECT_FALSE(about.isVisible()) << (useEscape ? "Escape" : "OK");
    }
}

}  // namespace
