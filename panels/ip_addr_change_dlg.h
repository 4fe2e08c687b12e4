// IpAddrChangeDlg: the Change IP Address dialog (dialog template 135), where
// the operator chooses between DHCP and a static address.
#pragma once

#include <QDialog>

#include "dialog_builder.h"

class IpAddrChangeDlg : public QDialog {
    Q_OBJECT

public:
    explicit IpAddrChangeDlg(QWidget* parent = nullptr);

    QWidget* ControlById(int id) const { return controls_.Control(id); }

private:
    DialogControls controls_;
};
