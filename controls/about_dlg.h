// AboutDlg: the program's name, version and purpose (dialog template 100).
#pragma once

#include <QDialog>

#include "dialog_builder.h"

class AboutDlg : public QDialog {
    Q_OBJECT

public:
    // `version` is the program's version text.
    explicit AboutDlg(const QString& version, QWidget* parent = nullptr);

    QWidget* ControlById(int id) const { return controls_.Control(id); }

    static constexpr int VersionTextId = 1111;

private:
    DialogControls controls_;
};
