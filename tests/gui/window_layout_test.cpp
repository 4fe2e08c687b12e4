// The main window's layout: every control of the template in place, inside
// the window, not covering another, with its text fitting.
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>

#include "button_st.h"
#include "control_ids.h"
#include "dialog_template.h"
#include "group_frame.h"
#include "ip_addr_change_dlg.h"
#include "main_window_fixture.h"
#include "tav_edit.h"

namespace {

const DialogTemplate& MainTemplate() {
    static const DialogTemplate layout = LoadDialogTemplate(QStringLiteral(":/layouts/main_window.layout"));
    return layout;
}

bool IsFrame(QWidget* widget) {
    return qobject_cast<QGroupBox*>(widget) != nullptr;
}

TEST_F(MainWindowTest, EveryControlIdOfTheCodeIsInTheTemplateWithItsKind) {
    struct Case {
        int id;
        const char* kind;
    };
    const Case cases[] = {
        {Idc::StatusLine, "edit"},
        {Idc::ComPortBox, "combo"},
        {Idc::RefreshAll, "flatbutton"},
        {Idc::DevicePicture, "picture"},
        {Idc::Logo, "picture"},
        {Idc::Cat3Reboot, "button"},
        {Idc::Cat3Change, "button"},
        {Idc::FirmwareSelect, "flatbutton"},
        {Idc::FirmwareFile, "edit"},
        {Idc::FirmwareParts, "edit"},
        {Idc::FirmwareUpgrade, "flatbutton"},
    };
    for (const Case& c : cases) {
        const ControlTemplate* control = MainTemplate().Find(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->kind, QLatin1String(c.kind)) << c.id;
        EXPECT_NE(window_->ControlById(c.id), nullptr) << c.id;
    }
    // Every id in the template belongs to a control the code reaches.
    int ids = 0;
    for (const ControlTemplate& control : MainTemplate().controls)
        if (control.id >= 0) {
            EXPECT_EQ(window_->ControlById(control.id)->objectName(),
                      QStringLiteral("control%1").arg(control.id));
            ++ids;
        }
    // 3 port controls, 2 pictures, 4 firmware controls, and per panel its
    // refresh button, fields and write buttons (plus Reboot and Change).
    EXPECT_EQ(ids, 3 + 2 + 4 + (1 + 5) + (1 + 3 + 3) + (1 + 5 + 2) + (1 + 25 + 7) + (1 + 12 + 9) +
                       (1 + 7 + 2) + (1 + 3 + 1));
}

TEST_F(MainWindowTest, ControlsSitWhereTheTemplateSaysInDialogUnits) {
    const DialogUnits units(DialogFont());
    EXPECT_EQ(window_->size(), units.ToPixels(QSize(623, 466)));
    EXPECT_EQ(window_->ControlById(Idc::StatusLine)->geometry(), units.ToPixels(QRect(143, 23, 250, 12)));
    EXPECT_EQ(window_->ControlById(Idc::Cat81MulticastAddress)->geometry(),
              units.ToPixels(QRect(153, 268, 70, 12)));
    EXPECT_EQ(window_->ControlById(Idc::Cat3Change)->geometry(), units.ToPixels(QRect(373, 62, 30, 58)));
    EXPECT_EQ(window_->ControlById(Idc::Logo)->geometry(), units.ToPixels(QRect(506, 260, 104, 37)));
}

TEST_F(MainWindowTest, EveryControlLiesInsideTheWindowAndNoTwoControlsOverlap) {
    const std::vector<QWidget*>& all = window_->Controls().All();
    const QRect inside = window_->rect();
    for (QWidget* widget : all)
        EXPECT_TRUE(inside.contains(widget->geometry())) << widget->objectName().toStdString();

    // Legends stacked a line apart may touch by a pixel or two; anything that
    // takes input or shows a value must stand clear of every other control.
    auto takesInput = [](QWidget* w) { return qobject_cast<QLabel*>(w) == nullptr; };
    for (size_t i = 0; i < all.size(); ++i) {
        for (size_t j = i + 1; j < all.size(); ++j) {
            QWidget* a = all[i];
            QWidget* b = all[j];
            if (IsFrame(a) || IsFrame(b)) continue;
            const QRect overlap = a->geometry() & b->geometry();
            if (overlap.isEmpty()) continue;
            const bool bothLegends = !takesInput(a) && !takesInput(b);
            EXPECT_TRUE(bothLegends && overlap.height() <= 2)
                << qPrintable(a->objectName()) << " '"
                << qPrintable(qobject_cast<QLabel*>(a) ? qobject_cast<QLabel*>(a)->text() : "")
                << "' overlaps " << qPrintable(b->objectName()) << " '"
                << qPrintable(qobject_cast<QLabel*>(b) ? qobject_cast<QLabel*>(b)->text() : "") << "'";
        }
    }
}

TEST_F(MainWindowTest, EveryControlSitsInItsGroupFrame) {
    std::vector<QRect> frames;
    for (QGroupBox* group : window_->findChildren<QGroupBox*>())
        frames.push_back(group->geometry());
    for (QWidget* widget : window_->Controls().All()) {
        if (IsFrame(widget) || widget->objectName() == QLatin1String("control1094"))
            continue;  // the logo stands on its own
        // Refresh buttons sit on the frame's top line, so test their centre.
        const QPoint centre = widget->geometry().center();
        bool framed = false;
        for (const QRect& frame : frames)
            framed = framed || frame.contains(centre);
        EXPECT_TRUE(framed) << widget->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, RefreshButtonsSitOnTheFrameLineLeftOfTheCaption) {
    for (QGroupBox* box : window_->findChildren<QGroupBox*>()) {
        auto* group = qobject_cast<GroupFrame*>(box);
        ASSERT_NE(group, nullptr);
        if (!group->title().startsWith(QLatin1String("       "))) continue;
        const QRect frame = group->geometry();
        const QRect caption = group->CaptionRect().translated(frame.topLeft());
        // The caption's first visible letter.
        const int letters =
            caption.left() + QFontMetrics(group->font()).horizontalAdvance(group->title().left(7));
        int buttons = 0;
        for (QWidget* widget : window_->Controls().All()) {
            auto* button = qobject_cast<CButtonST*>(widget);
            if (button == nullptr || !button->geometry().contains(frame.left() + 8, frame.top() + 4))
                continue;
            ++buttons;
            EXPECT_LT(button->geometry().right(), letters) << group->title().toStdString();
            EXPECT_LE(button->geometry().top(), frame.top() + caption.height() / 2);
            EXPECT_GE(button->geometry().bottom(), frame.top() + caption.height() / 2);
        }
        EXPECT_EQ(buttons, 1) << group->title().toStdString();
    }
}

void ExpectTextsFit(const std::vector<QWidget*>& controls) {
    for (QWidget* widget : controls) {
        const QFontMetrics metrics(widget->font());
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text().isEmpty()) continue;
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
                << "label '" << label->text().toStdString() << "' is clipped";
            EXPECT_LE(metrics.height(), label->height()) << label->text().toStdString();
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            EXPECT_LE(metrics.horizontalAdvance(group->title()) + 16, group->width())
                << group->title().toStdString();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const int room = button->width() - (button->icon().isNull() ? 4 : 24);
            EXPECT_LE(metrics.horizontalAdvance(button->text()), room) << button->text().toStdString();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            // A line of text fits between the frame's top and bottom.
            EXPECT_LE(metrics.height() + 4, edit->height()) << edit->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, EveryCaptionAndLabelFitsItsControl) {
    ExpectTextsFit(window_->Controls().All());
}

TEST(ChangeIpAddressDialogTest, HasItsControlsAndTextsFit) {
    IpAddrChangeDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Change IP Address"));
    for (int id : {IdcChangeIp::UseDhcp, IdcChangeIp::UseStatic})
        EXPECT_NE(qobject_cast<QRadioButton*>(dialog.ControlById(id)), nullptr) << id;
    for (int id : {IdcChangeIp::IpAddress, IdcChangeIp::Subnet, IdcChangeIp::Gateway}) {
        auto* edit = qobject_cast<TavEdit*>(dialog.ControlById(id));
        ASSERT_NE(edit, nullptr) << id;
        EXPECT_FALSE(edit->TrackChanges);
        EXPECT_FALSE(edit->ReadOnlyLook);
        EXPECT_FALSE(edit->isReadOnly());
    }
    for (int id : {IdcChangeIp::IpAddressLabel, IdcChangeIp::SubnetLabel, IdcChangeIp::GatewayLabel})
        EXPECT_NE(qobject_cast<QLabel*>(dialog.ControlById(id)), nullptr) << id;
    EXPECT_NE(qobject_cast<QGroupBox*>(dialog.ControlById(IdcChangeIp::StaticGroup)), nullptr);
    EXPECT_TRUE(qobject_cast<QPushButton*>(dialog.ControlById(IdcChangeIp::Ok))->isDefault());
    std::vector<QWidget*> controls;
    for (QWidget* w : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        controls.push_back(w);
    ExpectTextsFit(controls);
}

}  // namespace
