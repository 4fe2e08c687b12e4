#include "button_st.h"

#include <QApplication>
#include <QEnterEvent>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

CButtonST::CButtonST(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setDefault(false);
    setAttribute(Qt::WA_Hover);
}

void CButtonST::AssignIcon(const QPixmap& icon) {
    icon_ = icon;
    repaint();
}

void CButtonST::SetFlatLook(bool flat) {
    flatLook_ = flat;
    update();
}

QRect CButtonST::IconRect() const {
    if (icon_.isNull()) return QRect();
    const QSize size = icon_.deviceIndependentSize().toSize();
    const QRect area = rect();
    int x =
        CaptionShown && !text().isEmpty() ? area.left() + 3 : area.left() + (area.width() - size.width()) / 2;
    int y = area.top() + (area.height() - size.height()) / 2;
    if (isDown()) {
        ++x;
        ++y;
    }
    return QRect(QPoint(x, y), size);
}

void CButtonST::paintEvent(QPaintEvent* event) {
    if (!flatLook_) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QPalette& pal = palette();
    QRect area = rect();
    painter.fillRect(area, pal.color(QPalette::Active, QPalette::Button));

    const bool pressed = isDown();
    if (pressed || (HoverBorder && pointerInside_)) {
        const QColor shadow = pal.color(QPalette::Active, QPalette::Dark);
        const QColor light = pal.color(QPalette::Active, QPalette::Light);
        const QColor topLeft = pressed ? shadow : light;
        const QColor bottomRight = pressed ? light : shadow;
        painter.setPen(topLeft);
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    }

    const QString caption = CaptionShown ? text() : QString();
    QRect captionArea = area;
    if (!icon_.isNull()) {
        const QRect iconRect = IconRect();
        QPixmap shown = icon_;
        if (!isEnabled()) {
            QStyleOption option;
            option.initFrom(this);
            shown = style()->generatedIconPixmap(QIcon::Disabled, icon_, &option);
        }
        painter.drawPixmap(iconRect.topLeft(), shown);
        if (!caption.isEmpty()) captionArea.setLeft(area.left() + iconRect.width() + 3);
    }
    if (!caption.isEmpty()) {
        if (pressed) captionArea.translate(1, 1);
        style()->drawItemText(&painter, captionArea,
                              Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, pal, isEnabled(),
                              caption);
    }
    // Keyboard focus is seen on the flat look too.
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(1, 1, -1, -1);
        focus.backgroundColor = pal.color(QPalette::Active, QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void CButtonST::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    // A drag that started elsewhere does not light the button up.
    if ((QApplication::mouseButtons() & Qt::LeftButton) && !pointerInside_) return;
    SetPointerInside(true);
}

void CButtonST::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    SetPointerInside(false);
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    SetPointerInside(false);
}

void CButtonST::SetPointerInside(bool inside) {
    if (pointerInside_ == inside) return;
    pointerInside_ = inside;
    update();
}
