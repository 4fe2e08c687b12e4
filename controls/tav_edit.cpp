#include "tav_edit.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QStringList>

#include "tav_colors.h"

TavEdit::TavEdit(QWidget* parent)
    : QLineEdit(parent),
      currentColor_(TavColors::Unchanged),
      normalColor_(TavColors::Unchanged),
      disabledColor_(TavColors::ButtonFace()),
      textColor_(TavColors::Text) {
    ThousandsSeparator = QLocale::system().groupSeparator().left(3);
    // Every change of the text, typed or set by the program, passes through here.
    connect(this, &QLineEdit::textChanged, this, [this] { OnTextUpdate(); });
    ApplyColors();
}

void TavEdit::MakeReadOnlyField() {
    ReadOnlyLook = true;
    TrackChanges = false;
    normalColor_ = QColor(TavColors::ReadOnly);
    setReadOnly(true);
    SetCurrentColor(normalColor_);
}

void TavEdit::MakeEditableField() {
    ReadOnlyLook = false;
    TrackChanges = true;
    normalColor_ = QColor(TavColors::Unchanged);
    setReadOnly(false);
    SetCurrentColor(normalColor_);
}

void TavEdit::SetNormalColor(const QColor& color) {
    normalColor_ = color;
    SetCurrentColor(color);
}

void TavEdit::UpdateColors() {
    if (ReadOnlyLook)
        currentColor_ = QColor(TavColors::ReadOnly);
    else if (TrackChanges && Modified)
        currentColor_ = QColor(TavColors::Changed);
    else
        currentColor_ = QColor(TavColors::Unchanged);
    textColor_ = QColor(TavColors::Text);
    ApplyColors();
}

void TavEdit::SetTextFromDevice(const QString& text, const QString& reason) {
    setText(text);
    DeviceText = text;
    // Like a freshly set native edit, show the start of a long text.
    setCursorPosition(0);
    const bool clipped = !FitTextToField();
    // A value too wide for its field is read whole from the tip, and a reason beside it.
    QStringList tip;
    if (clipped) tip << text;
    if (!reason.isEmpty()) tip << reason;
    setToolTip(tip.join(QLatin1Char('\n')));
    if (TrackChanges) {
        Modified = false;
        UpdateColors();
    }
}

int TavEdit::TextRoom() const {
    return contentsRect().width() - 4;
}

bool TavEdit::FitTextToField() {
    // The field's own font is the measure; a smaller one is only ever ours.
    if (!shrunk_) fullFont_ = font();
    QFont fitted = fullFont_;
    const int room = TextRoom();
    const int wanted = QFontMetrics(fullFont_).horizontalAdvance(text());
    const bool fitsWhole = wanted <= room;
    shrunk_ = false;
    cutMark_ = false;
    if (!fitsWhole && room > 0) {
        // A smaller font, down to two thirds of the field's, so a long number
        // is seen whole; beyond that the cut mark shows that some is hidden.
        const bool byPoints = fullFont_.pointSizeF() > 0;
        const qreal full = byPoints ? fullFont_.pointSizeF() : fullFont_.pixelSize();
        for (qreal size = full - 0.5; size >= full * 2 / 3; size -= 0.5) {
            if (byPoints)
                fitted.setPointSizeF(size);
            else
                fitted.setPixelSize(static_cast<int>(size));
            if (QFontMetrics(fitted).horizontalAdvance(text()) <= room) {
                shrunk_ = true;
                break;
            }
        }
        cutMark_ = !shrunk_;
    }
    setFont(shrunk_ ? fitted : fullFont_);
    update();
    return fitsWhole;
}

void TavEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!cutMark_ || hasFocus()) return;
    // A mark over the right end, so that a cut value never reads as a shorter number.
    QPainter painter(this);
    const QString mark = QStringLiteral("\u2026");
    const QFontMetrics metrics(font());
    const QRect room = contentsRect().adjusted(1, 1, -1, -1);
    QRect markRect(room.right() - metrics.horizontalAdvance(mark) - 3, room.top(),
                   metrics.horizontalAdvance(mark) + 4, room.height());
    painter.fillRect(markRect,
                     palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(markRect, Qt::AlignCenter, mark);
}

void TavEdit::EnableField(bool enable) {
    if (enable)
        currentColor_ = (TrackChanges && Modified) ? QColor(TavColors::Changed) : normalColor_;
    else
        currentColor_ = disabledColor_;
    ApplyColors();
    setEnabled(enable);
}

QColor TavEdit::PaintedBackground() const {
    return isEnabled() ? currentColor_ : TavColors::ButtonFace();
}

void TavEdit::OnTextUpdate() {
    if (!ReadOnlyLook && TrackChanges) {
        Modified = true;
        UpdateColors();
    }
}

void TavEdit::SetCurrentColor(const QColor& color) {
    currentColor_ = color;
    ApplyColors();
}

void TavEdit::ApplyColors() {
    TavColors::ApplyFieldColors(this, currentColor_, textColor_);
}
