#include "about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "temp_string.h"

AboutDlg::AboutDlg(const QString& version, QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    controls_ = BuildDialog(this, LoadDialogTemplate(QStringLiteral(":/layouts/about_box.layout")));
    if (auto* text = controls_.As<QLabel>(VersionTextId))
        text->setText(TempString("Zel5100Util v%s", version.toUtf8().constData()).Text());
    if (auto* ok = controls_.As<QPushButton>(1)) connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
