#include "resource_images.h"

#include <QFile>
#include <QString>

namespace {

QString PngPath(int n) {
    return QStringLiteral(":/pictures/png%1.png").arg(n);
}
QString IconPath(int n) {
    return QStringLiteral(":/icons/icon%1.png").arg(n);
}

}  // namespace

QPixmap LoadPngResource(int resourceNumber) {
    QPixmap picture;
    if (!picture.load(PngPath(resourceNumber), "PNG")) return QPixmap();
    return picture;
}

QPixmap LoadIconPixmap(int resourceNumber) {
    QPixmap icon;
    if (!icon.load(IconPath(resourceNumber), "PNG")) return QPixmap();
    return icon;
}

QIcon LoadIconResource(int resourceNumber) {
    QIcon icon;
    const QPixmap large = LoadIconPixmap(resourceNumber);
    if (!large.isNull()) icon.addPixmap(large);
    // A hand-drawn small size where there is one, rather than a scaled-down large one.
    const QString small = QStringLiteral(":/icons/icon%1_small.png").arg(resourceNumber);
    if (QFile::exists(small)) icon.addFile(small);
    return icon;
}
