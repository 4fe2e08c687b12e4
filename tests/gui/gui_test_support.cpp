#include "gui_test_support.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStyleFactory>

#include "settings_store.h"

void PrepareGuiEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

void ConfigureApplication(QApplication&) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QCoreApplication::setOrganizationName(QLatin1String(SettingsStore::CompanyKey));
    QStandardPaths::setTestModeEnabled(true);
}

QColor PixelAt(QWidget* widget, const QPoint& point) {
    return widget->grab().toImage().pixelColor(point);
}
