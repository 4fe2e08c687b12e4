// TavCombo: the COM port box, a drop-down list with an editable text field,
// painted in the colours of the value fields.
#pragma once

#include <QColor>
#include <QComboBox>

class TavCombo : public QComboBox {
    Q_OBJECT

public:
    explicit TavCombo(QWidget* parent = nullptr);

    // Adds a name to the list, keeping the list sorted without regard to case.
    void AddSorted(const QString& name);
    void SetBackgroundColor(const QColor& color);

    QColor CurrentColor() const { return currentColor_; }
    QColor TextColor() const { return textColor_; }

private:
    void ApplyColors();

    QColor currentColor_;
    QColor textColor_;
};
