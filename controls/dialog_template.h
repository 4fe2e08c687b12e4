// Dialog templates: the declarative layouts of the program's windows, kept as
// text resources, and the conversion of their dialog units into pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

struct ControlTemplate {
    QString kind;         // group, label, edit, combo, flatbutton, button, picture, radio, icon
    int id = -1;          // -1 for a control the code never addresses
    QRect units;          // position and size in dialog units
    QStringList options;  // e.g. "ro", "right", "icon=129"
    QString caption;

    bool HasOption(const QString& name) const;
    // The number of an option "name=N"; `fallback` when absent or not a number.
    int NumberOption(const QString& name, int fallback) const;
};

struct DialogTemplate {
    int id = 0;
    QSize units;
    QString caption;
    std::vector<ControlTemplate> controls;

    const ControlTemplate* Find(int controlId) const;
};

// Parses a template text. On a malformed line returns false and describes it
// in `error` (with its line number).
bool ParseDialogTemplate(const QString& text, DialogTemplate* result, QString* error);
// Reads and parses a template resource; a broken one is a build fault, so it
// is reported with qFatal.
DialogTemplate LoadDialogTemplate(const QString& resourcePath);

// Dialog units of a font, as the platform's dialog manager defines them: a
// horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }

    int X(int units) const;
    int Y(int units) const;
    // A control's rectangle: its edges scaled and rounded to whole pixels.
    QRect ToPixels(const QRect& units) const;
    QSize ToPixels(const QSize& units) const;

private:
    int baseWidth_;
    int baseHeight_;
};

// The font every dialog of the program is laid out in (8 points).
QFont DialogFont();
