#include "version.h"

QString GetFileVersionString()
{
#ifdef ZEL_VERSION_TEXT
    return QStringLiteral(ZEL_VERSION_TEXT);
#else
    return QStringLiteral("?");
#endif
}
