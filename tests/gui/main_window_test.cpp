// The main window as it comes up: title, controls, panels, the busy rule, the
// keys it ignores and the About box.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "about_dlg.h"
#include "button_st.h"
#include "cat1_panel.h"
#include "cat2_panel.h"
#include "cat3_panel.h"
#include "cat81_panel.h"
#include "cat82_panel.h"
#include "cat83_panel.h"
#include "cat84_panel.h"
#include "control_ids.h"
#include "main_window_fixture.h"
#include "png_image_ctrl.h"
#include "tav_colors.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

std::vector<const PanelControls*> AllPanels() {
    return {&Cat1Panel(),  &Cat2Panel(),  &Cat3Panel(), &Cat81Panel(),
            &Cat82Panel(), &Cat83Panel(), &Cat84Panel()};
}

TEST_F(MainWindowTest, TitleCarriesTheVersion) {
    EXPECT_EQ(window_->windowTitle(),
              QStringLiteral("ZEL-5100 Utility - View Status and Control Parameters v2.3.0.10"));
    EXPECT_FALSE(window_->windowIcon().isNull());
}

TEST_F(MainWindowTest, WindowHasAFixedSize) {
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    EXPECT_TRUE(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, StartsWithUnknownDeviceAndEveryPanelEmptyAndDisabled) {
    EXPECT_EQ(app_->DeviceMode, -3);
    EXPECT_EQ(app_->FirmwareVersion, -1);
    EXPECT_EQ(app_->FpgaVersion, -1);
    EXPECT_EQ(app_->HardwareVersion, -1);
    EXPECT_FALSE(window_->Busy);
    EXPECT_FALSE(window_->AwaitingDhcpAddress);

    int fields = 0;
    for (const PanelControls* panel : AllPanels()) {
        QAbstractButton* refresh = window_->Button(panel->refreshButton);
        ASSERT_NE(refresh, nullptr) << panel->category;
        EXPECT_FALSE(refresh->isEnabled()) << panel->category;
        for (const PanelField& field : panel->fields) {
            TavEdit* edit = window_->Edit(field.field);
            ASSERT_NE(edit, nullptr) << field.field;
            EXPECT_TRUE(edit->text().isEmpty()) << field.field;
            EXPECT_FALSE(edit->isEnabled()) << field.field;
            EXPECT_EQ(edit->PaintedBackground(), TavColors::ButtonFace()) << field.field;
            if (field.writeButton != 0) {
                ASSERT_NE(window_->FlatButton(field.writeButton), nullptr) << field.writeButton;
                EXPECT_FALSE(window_->Button(field.writeButton)->isEnabled()) << field.writeButton;
            }
            ++fields;
        }
    }
    EXPECT_EQ(fields, 5 + 3 + 5 + 25 + 12 + 7 + 3);

    // Until detection has run these keep the template's state.
    EXPECT_TRUE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_TRUE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
    // Never disabled.
    EXPECT_TRUE(window_->Button(Idc::Cat3Reboot)->isEnabled());
    EXPECT_TRUE(window_->Button(Idc::Cat3Change)->isEnabled());
    EXPECT_TRUE(window_->Button(Idc::FirmwareSelect)->isEnabled());
}

TEST_F(MainWindowTest, FieldsHaveTheirLooks) {
    struct Case {
        int id;
        bool readOnlyLook;
        bool trackChanges;
        QRgb normal;
    };
    const Case cases[] = {
        {Idc::StatusLine, true, false, TavColors::ReadOnly},
        {Idc::FirmwareFile, true, false, TavColors::ReadOnly},
        {Idc::FirmwareParts, true, false, TavColors::ReadOnly},
        {Idc::Cat1FirmwareVersion, true, false, TavColors::Firmware},
        {Idc::Cat1FpgaVersion, true, false, TavColors::ReadOnly},
        {Idc::Cat2Mode, false, true, TavColors::Unchanged},
        {Idc::Cat81MulticastAddress, false, true, TavColors::Unchanged},
        {Idc::Cat81DelayFactor, true, false, TavColors::ReadOnly},
        {Idc::Cat82TimeToLive, false, true, TavColors::Unchanged},
        {Idc::Cat83InputSelect, false, true, TavColors::Unchanged},
        {Idc::Cat84TsRate, true, false, TavColors::ReadOnly},
    };
    for (const Case& c : cases) {
        TavEdit* edit = window_->Edit(c.id);
        ASSERT_NE(edit, nullptr) << c.id;
        EXPECT_EQ(edit->ReadOnlyLook, c.readOnlyLook) << c.id;
        EXPECT_EQ(edit->isReadOnly(), c.readOnlyLook) << c.id;
        EXPECT_EQ(edit->TrackChanges, c.trackChanges) << c.id;
        EXPECT_EQ(edit->NormalColor(), QColor(c.normal)) << c.id;
    }
    // The status line is enabled and light yellow from the start.
    EXPECT_TRUE(window_->StatusLine()->isEnabled());
    EXPECT_EQ(window_->StatusLine()->PaintedBackground(), QColor(TavColors::ReadOnly));
    EXPECT_EQ(window_->ComPortBox()->CurrentColor(), QColor(230, 245, 255));
}

TEST_F(MainWindowTest, EditableFieldsHaveWriteButtonsAndReadOnlyFieldsNone) {
    for (const PanelControls* panel : AllPanels())
        for (const PanelField& field : panel->fields)
            EXPECT_EQ(window_->Edit(field.field)->TrackChanges, field.writeButton != 0) << field.field;
}

TEST_F(MainWindowTest, ButtonsHaveTheirIconsAndLooks) {
    for (const PanelControls* panel : AllPanels()) {
        CButtonST* refresh = window_->FlatButton(panel->refreshButton);
        ASSERT_NE(refresh, nullptr);
        EXPECT_TRUE(refresh->FlatLook());
        EXPECT_EQ(refresh->Icon().size(), QSize(16, 16));
        for (const PanelField& field : panel->fields) {
            if (field.writeButton != 0) {
                EXPECT_FALSE(window_->FlatButton(field.writeButton)->Icon().isNull());
            }
        }
    }
    EXPECT_FALSE(window_->FlatButton(Idc::RefreshAll)->Icon().isNull());
    EXPECT_FALSE(window_->FlatButton(Idc::FirmwareSelect)->Icon().isNull());
    EXPECT_EQ(window_->FlatButton(Idc::FirmwareSelect)->text(), QStringLiteral("Select"));
    EXPECT_FALSE(window_->FlatButton(Idc::FirmwareUpgrade)->FlatLook());
    EXPECT_TRUE(window_->FlatButton(Idc::FirmwareUpgrade)->Icon().isNull());
}

TEST_F(MainWindowTest, PicturesAreLoaded) {
    auto* board = qobject_cast<PngImageCtrl*>(window_->ControlById(Idc::DevicePicture));
    auto* logo = qobject_cast<PngImageCtrl*>(window_->ControlById(Idc::Logo));
    ASSERT_NE(board, nullptr);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(board->Picture().size(), QSize(283, 168));
    EXPECT_EQ(logo->Picture().size(), QSize(156, 54));
}

TEST_F(MainWindowTest, GroupCaptionsLeaveRoomForTheirRefreshButtons) {
    QStringList captions;
    for (QGroupBox* group : window_->findChildren<QGroupBox*>())
        captions << group->title();
    const QStringList expected = {"       Communication port",
                                  "       Cat 1 - Device properties",
                                  "       Cat 2 - Configuration",
                                  "       Cat 3 - Network",
                                  "Device picture",
                                  "       Cat 0x81 - IP receive settings",
                                  "       Cat 0x84 - ASI/SPI output",
                                  "       Cat 0x83 - ASI/SPI input",
                                  "       Cat 0x82 - IP transmit settings",
                                  "Cat 0x80 - Firmware upgrade"};
    EXPECT_EQ(captions, expected);
}

TEST_F(MainWindowTest, EnterAndEscapeDoNothing) {
    int presses = 0;
    window_->RouteCommand(Idc::Cat3Reboot, [&] { ++presses; });
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));

    QWidget* targets[] = {window_.get(), window_->Button(Idc::Cat3Reboot), window_->ComPortBox()->lineEdit(),
                          window_->StatusLine(), window_->Button(Idc::FirmwareUpgrade)};
    for (QWidget* target : targets) {
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
        EXPECT_TRUE(window_->isVisible()) << target->objectName().toStdString();
    }
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(window_->result(), 0);

    // The button itself still works.
    QTest::mouseClick(window_->Button(Idc::Cat3Reboot), Qt::LeftButton);
    EXPECT_EQ(presses, 1);
}

TEST_F(MainWindowTest, CommandArrivingWhileBusyIsDropped) {
    // A usable device mode, but the panels not yet reset for it.
    app_->DeviceMode = 0;
    window_->Busy = true;
    QTest::mouseClick(window_->Button(Idc::RefreshAll), Qt::LeftButton);
    window_->Button(Idc::Cat1Refresh)->setEnabled(true);
    QTest::mouseClick(window_->Button(Idc::Cat1Refresh), Qt::LeftButton);
    EXPECT_TRUE(window_->Busy);
    EXPECT_FALSE(window_->Edit(Idc::Cat1FpgaVersion)->isEnabled());
    EXPECT_FALSE(window_->Edit(Idc::Cat2Mode)->isEnabled());

    // Once the running operation ends, the same click gets through.
    window_->Busy = false;
    QTest::mouseClick(window_->Button(Idc::Cat1Refresh), Qt::LeftButton);
    EXPECT_FALSE(window_->Busy);
    EXPECT_TRUE(window_->Edit(Idc::Cat1FpgaVersion)->isEnabled());
    EXPECT_FALSE(window_->Edit(Idc::Cat2Mode)->isEnabled());

    QTest::mouseClick(window_->Button(Idc::RefreshAll), Qt::LeftButton);
    EXPECT_FALSE(window_->Busy);
    EXPECT_TRUE(window_->Edit(Idc::Cat2Mode)->isEnabled());
    EXPECT_TRUE(window_->Edit(Idc::Cat83PacketSize)->isEnabled());
    EXPECT_FALSE(window_->Edit(Idc::Cat84PacketSize)->isEnabled());
}

TEST_F(MainWindowTest, RunExclusiveHoldsBusyAndRefusesASecondCommand) {
    bool innerRan = false;
    bool busyInside = false;
    EXPECT_TRUE(window_->RunExclusive([&] {
        busyInside = window_->Busy;
        innerRan = window_->RunExclusive([] {});
    }));
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(innerRan);
    EXPECT_FALSE(window_->Busy);
}

// Runs `check` on the About box once it is up, then closes it.
void InspectModalAboutBox(QString* title, QString* version) {
    QTimer::singleShot(0, [title, version] {
        auto* about = qobject_cast<AboutDlg*>(QApplication::activeModalWidget());
        if (about == nullptr) return;
        *title = about->windowTitle();
        *version = qobject_cast<QLabel*>(about->ControlById(AboutDlg::VersionTextId))->text();
        about->reject();
    });
}

TEST_F(MainWindowTest, F1OpensTheAboutBox) {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    QString title;
    QString version;
    InspectModalAboutBox(&title, &version);
    QTest::keyClick(window_->StatusLine(), Qt::Key_F1);
    EXPECT_EQ(title, QStringLiteral("About Zel5100Util"));
    EXPECT_EQ(version, QStringLiteral("Zel5100Util v2.3.0.10"));
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, ContextMenuOffersTheAboutBox) {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    QString title;
    QString version;
    // Pick the menu's only entry as soon as the menu is up.
    QTimer::singleShot(0, [&] {
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr);
        InspectModalAboutBox(&title, &version);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), window_->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(window_.get(), &event);
    EXPECT_EQ(title, QStringLiteral("About Zel5100Util"));
}

TEST_F(MainWindowTest, FirstTickProposesTheRememberedPortOrTheFirstFound) {
    app_->PortNames = {"/dev/ttyUSB1", "/dev/ttyS0"};
    window_->OnTimer(1);
    EXPECT_EQ(window_->ComPortBox()->count(), 2);
    EXPECT_EQ(window_->ComPortBox()->itemText(0), QStringLiteral("/dev/ttyS0"));
    // The first in discovery order, not the first in the sorted list.
    EXPECT_EQ(window_->ComPortBox()->currentText(), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(openedPorts_, std::vector<std::string>{"/dev/ttyUSB1"});
    EXPECT_EQ(window_->StatusLine()->text(), QStringLiteral("Can't open COM port"));
    EXPECT_EQ(app_->DeviceMode, -2);
    EXPECT_FALSE(window_->Button(Idc::RefreshAll)->isEnabled());
    EXPECT_FALSE(window_->Button(Idc::FirmwareUpgrade)->isEnabled());
}

}  // namespace
