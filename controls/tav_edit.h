// TavEdit: the single-line value field whose background tells the operator
// whether a value is read-only, as read from the device, changed but not yet
// written, or unavailable.
#pragma once

#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QString>

class TavEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TavEdit(QWidget* parent = nullptr);

    // Display-only field: read-only colour, and the operator cannot type.
    void MakeReadOnlyField();
    // Writable device value: unchanged colour, typing marks it Modified.
    void MakeEditableField();
    // The enabled field's background; the window sets it after MakeReadOnlyField
    // for the one green field.
    void SetNormalColor(const QColor& color);

    // Picks the background from ReadOnlyLook, TrackChanges and Modified (not
    // from the normal colour) and repaints.
    void UpdateColors();
    // Shows a value from the device (or a status text); an editable field then
    // counts as unchanged again.
    // `reason`, when given, explains the text and stays readable on the tip.
    void SetTextFromDevice(const QString& text, const QString& reason = QString());
    // Enables or disables the field with the matching background.
    void EnableField(bool enable);

    QColor CurrentColor() const { return currentColor_; }
    QColor NormalColor() const { return normalColor_; }
    QColor DisabledColor() const { return disabledColor_; }
    QColor TextColor() const { return textColor_; }
    // What the field paints behind its text right now.
    QColor PaintedBackground() const;

    // The last text shown from the device (what a write replaces, for the change log).
    QString DeviceText;

    bool ReadOnlyLook = false;
    bool TrackChanges = false;
    bool Modified = false;
    // The user's thousands separator (at most 3 characters), skipped when a
    // typed number is parsed.
    QString ThousandsSeparator;

    // How the last text from the device is shown: in a smaller font to fit
    // whole, or cut with a mark at the right end.
    bool ShowsSmallerFont() const { return shrunk_; }
    bool ShowsCutMark() const { return cutMark_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Shows the text in the field's font, else a smaller one, else with the
    // cut mark; true when it fits in the field's own font.
    bool FitTextToField();
    int TextRoom() const;
    void OnTextUpdate();
    void SetCurrentColor(const QColor& color);
    void ApplyColors();

    QColor currentColor_;
    QColor normalColor_;
    QColor disabledColor_;
    QColor textColor_;
    QFont fullFont_;
    bool shrunk_ = false;
    bool cutMark_ = false;
};
