// The program's version text, as the build gives it.
#pragma once

#include <QString>

// "2.3.0.10" for this release; "?" when the build did not provide one.
QString GetFileVersionString();
