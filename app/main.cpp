// zel5100util: views the status and controls the parameters of a ZEL-5100
// over its serial line.
#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <cstring>

#include "signal_release.h"
#include "zel5100util_app.h"
#include "zel_version.h"

namespace {

const char kUsage[] =
    "Usage: zel5100util [--port NAME]\n"
    "Shows the status of a ZEL-5100 and changes its settings over its serial line.\n"
    "\n"
    "Options:\n"
    "  --port NAME    open this serial port (for example /dev/ttyUSB0) instead of the\n"
    "                 one last used; the choice is not remembered\n"
    "  -h, --help     this text\n"
    "  --version      the program's version\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken as well.\n";

// --help and --version answer before any window or display is needed.
bool AnswersAtOnce(int argc, char* argv[], int* exitCode) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            *exitCode = std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zel5100util %s\n", ZEL_VERSION_TEXT);
            *exitCode = std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    int exitCode = 0;
    if (AnswersAtOnce(argc, argv, &exitCode)) return exitCode;
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
        std::fprintf(stderr, "zel5100util: %s\nTry 'zel5100util --help'.\n", qPrintable(error));
        return 2;
    }
    return app.Run();
}
