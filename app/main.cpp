// zel5100util: views the status and controls the parameters of a ZEL-5100
// over its serial line.
#include <QApplication>
#include <QStyleFactory>
#include <cstdio>

#include "signal_release.h"
#include "zel5100util_app.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    ReleasePortOnEndingSignals();
    // The same look on every desktop: the colours of the value fields are
    // chosen against this style's button face.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QCoreApplication::setOrganizationName(QLatin1String(SettingsStore::CompanyKey));
    // The settings store is keyed by the program's name as the operator knows it,
    // whatever the file is called on disk.
    QCoreApplication::setApplicationName(QStringLiteral("Zel5100Util"));

    Zel5100UtilApp app;
    QString error;
    if (!app.ParseArguments(QCoreApplication::arguments(), &error)) {
        std::fprintf(stderr, "zel5100util: %s\n", qPrintable(error));
        return 2;
    }
    return app.Run();
}
