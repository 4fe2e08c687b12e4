#include "dialog_builder.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "button_st.h"
#include "group_frame.h"
#include "png_image_ctrl.h"
#include "resource_images.h"
#include "tav_colors.h"
#include "tav_combo.h"
#include "tav_edit.h"

namespace {

// How far a group's caption stands in from its frame's left edge, in dialog units.
constexpr int GroupCaptionIndent = 6;

QWidget* MakeEdit(QWidget* window, const ControlTemplate& control) {
    auto* edit = new TavEdit(window);
    edit->setFrame(true);
    if (control.HasOption(QStringLiteral("ro"))) {
        edit->MakeReadOnlyField();
        if (control.HasOption(QStringLiteral("green"))) edit->SetNormalColor(QColor(TavColors::Firmware));
    } else if (control.HasOption(QStringLiteral("rw"))) {
        edit->MakeEditableField();
    }
    // "plain": editable, changes not tracked, light blue: the TavEdit defaults.
    edit->setAlignment((control.HasOption(QStringLiteral("right")) ? Qt::AlignRight : Qt::AlignLeft) |
                       Qt::AlignVCenter);
    return edit;
}

// The icons of the read-again and write buttons.
constexpr int ReadIconId = 129;
constexpr int WriteIconId = 130;

QWidget* MakeFlatButton(QWidget* window, const ControlTemplate& control) {
    auto* button = new CButtonST(window);
    button->setText(control.caption);
    button->SetFlatLook(!control.HasOption(QStringLiteral("standard")));
    const int icon = control.NumberOption(QStringLiteral("icon"), -1);
    if (icon >= 0) button->AssignIcon(LoadIconPixmap(icon));
    // A button that shows only its icon says on its tip what it does.
    if (control.caption.isEmpty()) {
        if (icon == ReadIconId)
            button->setToolTip(QStringLiteral("Read these values from the device again"));
        else if (icon == WriteIconId)
            button->setToolTip(QStringLiteral("Write the value beside it to the device"));
    }
    return button;
}

QWidget* MakePushButton(QWidget* window, const ControlTemplate& control) {
    auto* button = new QPushButton(control.caption, window);
    const bool isDefault = control.HasOption(QStringLiteral("default"));
    button->setAutoDefault(isDefault);
    button->setDefault(isDefault);
    return button;
}

QWidget* MakeLabel(QWidget* window, const ControlTemplate& control) {
    auto* label = new QLabel(window);
    label->setTextFormat(Qt::PlainText);
    label->setText(control.caption);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMargin(0);
    label->setIndent(0);
    return label;
}

QWidget* MakeControl(QWidget* window, const ControlTemplate& control, const DialogUnits& units) {
    const QString& kind = control.kind;
    if (kind == QLatin1String("group")) {
        auto* group = new GroupFrame(control.caption, window);
        group->SetCaptionIndent(units.X(GroupCaptionIndent));
        return group;
    }
    if (kind == QLatin1String("label")) return MakeLabel(window, control);
    if (kind == QLatin1String("edit")) return MakeEdit(window, control);
    if (kind == QLatin1String("combo")) return new TavCombo(window);
    if (kind == QLatin1String("flatbutton")) return MakeFlatButton(window, control);
    if (kind == QLatin1String("button")) return MakePushButton(window, control);
    if (kind == QLatin1String("radio")) return new QRadioButton(control.caption, window);
    if (kind == QLatin1String("picture")) {
        auto* picture = new PngImageCtrl(window);
        picture->LoadPng(control.NumberOption(QStringLiteral("png"), -1));
        return picture;
    }
    // icon
    auto* icon = new QLabel(window);
    icon->setPixmap(LoadIconPixmap(control.NumberOption(QStringLiteral("icon"), -1)));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return icon;
}

}  // namespace

DialogControls BuildDialog(QWidget* window, const DialogTemplate& layout) {
    const QFont font = DialogFont();
    window->setFont(font);
    const DialogUnits units(font);
    window->setWindowTitle(layout.caption);
    window->setFixedSize(units.ToPixels(layout.units));

    DialogControls result;
    for (const ControlTemplate& control : layout.controls) {
        QWidget* widget = MakeControl(window, control, units);
        widget->setGeometry(units.ToPixels(control.units));
        if (control.id >= 0) {
            widget->setObjectName(QStringLiteral("control%1").arg(control.id));
            result.byId_.insert(control.id, widget);
        }
        result.all_.push_back(widget);
    }
    return result;
}
