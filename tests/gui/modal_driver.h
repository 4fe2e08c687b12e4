// Acts on the next modal dialog of a given class once it is on screen, so a test
// can run code that opens one (exec) without blocking.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// `act` runs inside the dialog's own event loop and must close it. Gives up
// after about a minute without a dialog of that class.
template <class Dialog>
void WhenModalOpens(std::function<void(Dialog*)> act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if ((dialog == nullptr || !dialog->isVisible()) && ++*ticks < 12000) return;
        timer->stop();
        timer->deleteLater();
        if (dialog != nullptr) act(dialog);
    });
    timer->start();
}
