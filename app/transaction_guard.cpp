#include "transaction_guard.h"

#include "com_port.h"
#include "zel_protocol.h"

namespace {

ZelPumpFn wrappedPump = nullptr;
ZelSleepFn wrappedSleep = nullptr;
int pumpDepth = 0;
bool waitsAbandoned = false;
// The longest the window goes without handling its messages during a pause.
constexpr int kSleepSliceMs = 100;

ZelResult GuardedPump(void* context) {
    if (wrappedPump == nullptr) return ZEL_OK;
    ++pumpDepth;
    const ZelResult result = wrappedPump(context);
    --pumpDepth;
    return result;
}

// A long pause keeps the window answering (and closable): it is slept in
// slices with the messages handled between them; once the waits are
// abandoned it takes no time at all.
ZelResult GuardedSleep(void* context, int milliseconds) {
    if (waitsAbandoned) return ZEL_OK;
    // Only the serial line's pause blocks the thread; any other (a simulated
    // line's) is passed on whole.
    if (wrappedSleep != &ComSleep)
        return wrappedSleep != nullptr ? wrappedSleep(context, milliseconds) : ZEL_OK;
    int left = milliseconds;
    while (left > 0 && !waitsAbandoned) {
        const int slice = left > kSleepSliceMs ? kSleepSliceMs : left;
        if (wrappedSleep != nullptr) wrappedSleep(context, slice);
        left -= slice;
        if (left > 0 && !waitsAbandoned) GuardedPump(context);
    }
    return ZEL_OK;
}

}  // namespace

void GuardTransactionPump() {
    waitsAbandoned = false;
    const ZelTransport transport = ZelGetTransport();
    if (transport.pump == nullptr || transport.pump == &GuardedPump) return;
    wrappedPump = transport.pump;
    wrappedSleep = transport.sleep;
    ZelSetTransport(transport.transmit, transport.receive,
                    transport.sleep != nullptr ? &GuardedSleep : nullptr, &GuardedPump, transport.context);
}

void AbandonTransactionWaits(bool abandon) {
    waitsAbandoned = abandon;
}

bool InsideTransaction() {
    return pumpDepth > 0;
}
