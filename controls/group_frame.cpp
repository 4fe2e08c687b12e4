#include "group_frame.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

GroupFrame::GroupFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void GroupFrame::SetCaptionIndent(int pixels) {
    captionIndent_ = pixels;
    update();
}

QRect GroupFrame::CaptionRect() const {
    const QFontMetrics metrics(font());
    return QRect(captionIndent_, 0, metrics.horizontalAdvance(title()), metrics.height());
}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    // Etched: a dark line with a light one just below and right of it.
    const QRect outer(0, top, width() - 2, height() - top - 2);
    painter.setPen(pal.color(QPalette::Active, QPalette::Light));
    painter.drawRect(outer.translated(1, 1));
    painter.setPen(pal.color(QPalette::Active, QPalette::Mid));
    painter.drawRect(outer);

    if (title().isEmpty()) return;
    const QRect caption = CaptionRect();
    // The caption interrupts the frame's top line.
    painter.fillRect(caption.adjusted(-2, 0, 2, 0), pal.color(QPalette::Active, QPalette::Window));
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(pal.color(group, QPalette::WindowText));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
}
