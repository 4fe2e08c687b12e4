#include "zel_error.h"

#include <QString>

#include "zel5100util_app.h"

void ShowZelError(Zel5100UtilApp& app, ZelResult result) {
    app.ShowMessage(QString::fromStdString(ZelErrorMessage(result)));
}
