#include "version.h"

#include "zel_version.h"

QString GetFileVersionString() {
    return QStringLiteral(ZEL_VERSION_TEXT);
}
