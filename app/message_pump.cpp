#include "message_pump.h"

#include <QCoreApplication>

void PumpPendingMessages() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

ZelResult PumpPendingMessagesHook(void*) {
    PumpPendingMessages();
    return ZEL_OK;
}
