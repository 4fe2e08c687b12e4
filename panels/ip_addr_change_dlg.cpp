#include "ip_addr_change_dlg.h"

#include <QPushButton>

#include "control_ids.h"

IpAddrChangeDlg::IpAddrChangeDlg(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    controls_ =
        BuildDialog(this, LoadDialogTemplate(QStringLiteral(":/layouts/change_ip_address.layout")));
    if (auto* ok = controls_.As<QPushButton>(IdcChangeIp::Ok))
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    if (auto* cancel = controls_.As<QPushButton>(IdcChangeIp::Cancel))
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}
