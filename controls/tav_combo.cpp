#include "tav_combo.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyle>

#include "tav_colors.h"

TavCombo::TavCombo(QWidget* parent)
    : QComboBox(parent), currentColor_(TavColors::Unchanged), textColor_(TavColors::Text) {
    setEditable(true);
    // The list is filled by the program; Enter must not add the typed text to it.
    setInsertPolicy(QComboBox::NoInsert);
    // Completion would change the text behind the operator's back; the list stays.
    setCompleter(nullptr);
    setMaxVisibleItems(12);
    ApplyColors();
}

void TavCombo::AddSorted(const QString& name) {
    int row = 0;
    while (row < count() && QString::compare(itemText(row), name, Qt::CaseInsensitive) <= 0)
        ++row;
    insertItem(row, name);
    // The box is narrow; the open list shows whole port names.
    const int needed = fontMetrics().horizontalAdvance(name) + 2 * fontMetrics().averageCharWidth() +
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (view()->minimumWidth() < needed) view()->setMinimumWidth(needed);
}

void TavCombo::SetBackgroundColor(const QColor& color) {
    currentColor_ = color;
    ApplyColors();
}

void TavCombo::ApplyColors() {
    TavColors::ApplyFieldColors(this, currentColor_, textColor_);
    if (lineEdit() != nullptr) TavColors::ApplyFieldColors(lineEdit(), currentColor_, textColor_);
}
