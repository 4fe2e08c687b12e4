#include "dialog_template.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QtGlobal>

bool ControlTemplate::HasOption(const QString& name) const {
    return options.contains(name);
}

int ControlTemplate::NumberOption(const QString& name, int fallback) const {
    const QString prefix = name + QLatin1Char('=');
    for (const QString& option : options) {
        if (option.startsWith(prefix)) {
            bool ok = false;
            const int value = option.mid(prefix.size()).toInt(&ok);
            return ok ? value : fallback;
        }
    }
    return fallback;
}

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    for (const ControlTemplate& control : controls)
        if (control.id == controlId) return &control;
    return nullptr;
}

namespace {

// Splits a line into words; a double-quoted word may hold blanks.
bool SplitWords(const QString& line, QStringList* words, QString* quoted, bool* hasQuoted) {
    *hasQuoted = false;
    int i = 0;
    const int n = line.size();
    while (i < n) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('"')) {
            const int end = line.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0 || *hasQuoted) return false;
            *quoted = line.mid(i + 1, end - i - 1);
            *hasQuoted = true;
            i = end + 1;
            continue;
        }
        if (*hasQuoted) return false;  // the caption ends the line
        int end = i;
        while (end < n && !line[end].isSpace())
            ++end;
        words->append(line.mid(i, end - i));
        i = end;
    }
    return true;
}

bool ToNumbers(const QStringList& words, int first, int count, int* out) {
    for (int k = 0; k < count; ++k) {
        bool ok = false;
        out[k] = words.value(first + k).toInt(&ok);
        if (!ok || out[k] < 0) return false;
    }
    return true;
}

const QStringList kKinds = {"group",  "label",   "edit",  "combo", "flatbutton",
                            "button", "picture", "radio", "icon"};

}  // namespace

bool ParseDialogTemplate(const QString& text, DialogTemplate* result, QString* error) {
    *result = DialogTemplate();
    bool haveDialog = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        auto fail = [&](const QString& why) {
            *error = QStringLiteral("line %1: %2").arg(index + 1).arg(why);
            return false;
        };
        QStringList words;
        QString caption;
        bool hasCaption = false;
        if (!SplitWords(line, &words, &caption, &hasCaption))
            return fail(QStringLiteral("unbalanced or misplaced quotes"));

        if (words.value(0) == QLatin1String("dialog")) {
            int numbers[3];
            if (haveDialog || words.size() != 4 || !ToNumbers(words, 1, 3, numbers))
                return fail(QStringLiteral("expected: dialog ID WIDTH HEIGHT \"caption\""));
            result->id = numbers[0];
            result->units = QSize(numbers[1], numbers[2]);
            result->caption = caption;
            haveDialog = true;
            continue;
        }
        if (!haveDialog) return fail(QStringLiteral("the dialog line must come first"));
        if (!kKinds.contains(words.value(0)))
            return fail(QStringLiteral("unknown control kind '%1'").arg(words.value(0)));
        if (words.size() < 6)
            return fail(QStringLiteral("expected: KIND ID X Y WIDTH HEIGHT [options] [\"caption\"]"));

        ControlTemplate control;
        control.kind = words[0];
        if (words[1] != QLatin1String("-")) {
            bool ok = false;
            control.id = words[1].toInt(&ok);
            if (!ok || control.id < 0) return fail(QStringLiteral("bad control id '%1'").arg(words[1]));
            if (result->Find(control.id) != nullptr)
                return fail(QStringLiteral("control id %1 used twice").arg(control.id));
        }
        int box[4];
        if (!ToNumbers(words, 2, 4, box)) return fail(QStringLiteral("bad position or size"));
        control.units = QRect(box[0], box[1], box[2], box[3]);
        control.options = words.mid(6);
        control.caption = caption;
        result->controls.push_back(control);
    }
    if (!haveDialog) {
        *error = QStringLiteral("no dialog line");
        return false;
    }
    return true;
}

DialogTemplate LoadDialogTemplate(const QString& resourcePath) {
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("dialog template %s is missing", qPrintable(resourcePath));
    DialogTemplate result;
    QString error;
    if (!ParseDialogTemplate(QString::fromUtf8(file.readAll()), &result, &error))
        qFatal("dialog template %s: %s", qPrintable(resourcePath), qPrintable(error));
    return result;
}

DialogUnits::DialogUnits(const QFont& font) {
    // The platform's rule: the average width of the 52 letters, rounded, and
    // the full character height.
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = (letters / 26 + 1) / 2;
    baseHeight_ = metrics.height();
}

namespace {

// a * b / c rounded to the nearest integer, as the platform scales dialog units.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    return static_cast<int>(product >= 0 ? (product + c / 2) / c : (product - c / 2) / c);
}

}  // namespace

int DialogUnits::X(int units) const {
    return MulDiv(units, baseWidth_, 4);
}
int DialogUnits::Y(int units) const {
    return MulDiv(units, baseHeight_, 8);
}

QRect DialogUnits::ToPixels(const QRect& units) const {
    // Edges, not sizes, are scaled, so controls that touch in dialog units
    // touch in pixels too, never overlapping or parting by a rounding pixel.
    const int left = X(units.x());
    const int top = Y(units.y());
    return QRect(left, top, X(units.x() + units.width()) - left, Y(units.y() + units.height()) - top);
}

QSize DialogUnits::ToPixels(const QSize& units) const {
    return QSize(X(units.width()), Y(units.height()));
}

QFont DialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}
