// The program's own pictures and icons, compiled in as Qt resources and found
// by the numbers the window layouts use.
#pragma once

#include <QIcon>
#include <QPixmap>

// PNG picture n (133 the device board, 134 the logo); null when absent.
QPixmap LoadPngResource(int resourceNumber);
// Icon n at its natural size (128 window, 129 refresh, 130 write, 134 folder);
// null when absent.
QPixmap LoadIconPixmap(int resourceNumber);
// Icon n with every size it comes in (the window icon has a large and a small one).
QIcon LoadIconResource(int resourceNumber);
