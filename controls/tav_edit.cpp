#include "tav_edit.h"

#include <QLocale>

#include "tav_colors.h"

TavEdit::TavEdit(QWidget* parent)
    : QLineEdit(parent),
      currentColor_(TavColors::Unchanged),
      normalColor_(TavColors::Unchanged),
      disabledColor_(TavColors::ButtonFace()),
      textColor_(TavColors::Text)
{
    ThousandsSeparator = QLocale::system().groupSeparator().left(3);
    // Every change of the text, typed or set by the program, passes through here.
    connect(this, &QLineEdit::textChanged, this, [this] { OnTextUpdate(); });
    ApplyColors();
}

void TavEdit::MakeReadOnlyField()
{
    ReadOnlyLook = true;
    TrackChanges = false;
    normalColor_ = QColor(TavColors::ReadOnly);
    setReadOnly(true);
    SetCurrentColor(normalColor_);
}

void TavEdit::MakeEditableField()
{
    ReadOnlyLook = false;
    TrackChanges = true;
    normalColor_ = QColor(TavColors::Unchanged);
    setReadOnly(false);
    SetCurrentColor(normalColor_);
}

void TavEdit::SetNormalColor(const QColor& color)
{
    normalColor_ = color;
    SetCurrentColor(color);
}

void TavEdit::UpdateColors()
{
    if (ReadOnlyLook)
        currentColor_ = QColor(TavColors::ReadOnly);
    else if (TrackChanges && Modified)
        currentColor_ = QColor(TavColors::Changed);
    else
        currentColor_ = QColor(TavColors::Unchanged);
    textColor_ = QColor(TavColors::Text);
    ApplyColors();
}

void TavEdit::SetTextFromDevice(const QString& text)
{
    setText(text);
    // Like a freshly set native edit, show the start of a long text; a value too
    // wide for its field (a large counter) can still be read whole from the tip.
    setCursorPosition(0);
    const bool clipped = fontMetrics().horizontalAdvance(text) > contentsRect().width() - 4;
    setToolTip(clipped ? text : QString());
    if (TrackChanges) {
        Modified = false;
        UpdateColors();
    }
}

void TavEdit::EnableField(bool enable)
{
    if (enable)
        currentColor_ = (TrackChanges && Modified) ? QColor(TavColors::Changed) : normalColor_;
    else
        currentColor_ = disabledColor_;
    ApplyColors();
    setEnabled(enable);
}

QColor TavEdit::PaintedBackground() const
{
    return isEnabled() ? currentColor_ : TavColors::ButtonFace();
}

void TavEdit::OnTextUpdate()
{
    if (!ReadOnlyLook && TrackChanges) {
        Modified = true;
        UpdateColors();
    }
}

void TavEdit::SetCurrentColor(const QColor& color)
{
    currentColor_ = color;
    ApplyColors();
}

void TavEdit::ApplyColors()
{
    TavColors::ApplyFieldColors(this, currentColor_, textColor_);
}
