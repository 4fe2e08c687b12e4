// The program's version text, as the build gives it.
#pragma once

#include <QString>

// "2.3.0.10" for this release: the build's project version.
QString GetFileVersionString();
