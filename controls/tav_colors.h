// The colours of the value fields and the COM port box.
#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

class QWidget;

namespace TavColors {

constexpr QRgb ReadOnly = qRgb(255, 255, 230);   // light yellow: display-only fields
constexpr QRgb Unchanged = qRgb(230, 245, 255);  // light blue: writable, as last read
constexpr QRgb Changed = qRgb(255, 200, 200);    // light red: typed but not yet written
constexpr QRgb Firmware = qRgb(50, 255, 150);    // green: the device's firmware version
constexpr QRgb Text = qRgb(0, 0, 60);

// The platform's button-face colour, used for disabled fields.
inline QColor ButtonFace() {
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
}

// Paints a value field's background and text: the given colours while it is
// enabled, the button face while it is disabled.
void ApplyFieldColors(QWidget* field, const QColor& background, const QColor& text);

}  // namespace TavColors
