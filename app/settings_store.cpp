#include "settings_store.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

QString Key() {
    return QStringLiteral("%1/%2").arg(QLatin1String(SettingsStore::Section),
                                       QLatin1String(SettingsStore::ComPortEntry));
}

}  // namespace

SettingsStore::SettingsStore(const QString& applicationKey)
    : applicationKey_(applicationKey.isEmpty() ? QCoreApplication::applicationName() : applicationKey) {}

QString SettingsStore::ReadComPort() const {
    QSettings settings(QLatin1String(CompanyKey), applicationKey_);
    return settings.value(Key()).toString();
}

void SettingsStore::WriteComPort(const QString& value) const {
    QSettings settings(QLatin1String(CompanyKey), applicationKey_);
    settings.setValue(Key(), value);
    settings.sync();
}
