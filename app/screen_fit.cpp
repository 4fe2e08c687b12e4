#include "screen_fit.h"

#include <QFrame>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWidget>

bool FitWindowToScreen(QWidget* window) {
    // The offscreen platform's screen is made up, and the window tests lay the
    // window out there at its natural size.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return false;
    QScreen* screen = window->screen();
    if (screen == nullptr) return false;
    const QRect room = screen->availableGeometry();
    // What the window manager adds around the window: a title bar and a frame.
    const int frame = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2;
    const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize natural = window->size();
    const QSize fits(qMin(natural.width(), room.width() - frame),
                     qMin(natural.height(), room.height() - frame - titleBar));
    if (fits == natural) return false;

    auto* content = new QWidget;
    content->setFixedSize(natural);
    const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow()) continue;
        const bool shown = !child->isHidden();
        const QRect geometry = child->geometry();
        child->setParent(content);
        child->setGeometry(geometry);
        if (shown) child->show();
    }
    auto* area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("WindowScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    window->setFixedSize(fits);
    area->setGeometry(0, 0, fits.width(), fits.height());
    area->show();
    window->move(room.left() + (room.width() - fits.width()) / 2,
                 room.top() + (room.height() - fits.height() - titleBar) / 2);
    return true;
}
