// Shared by the window tests and the screenshot tool.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QApplication;

// Offscreen platform (unless one is set), the program's style and organisation.
// Keeps the settings store out of the user's own configuration.
void PrepareGuiEnvironment();
void ConfigureApplication(QApplication& application);

// The colour painted at a point of a widget (it is rendered offscreen).
QColor PixelAt(QWidget* widget, const QPoint& point);
