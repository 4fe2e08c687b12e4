#include "transaction_guard.h"

#include "zel_protocol.h"

namespace {

ZelPumpFn wrappedPump = nullptr;
int pumpDepth = 0;

ZelResult GuardedPump(void* context)
{
    if (wrappedPump == nullptr)
        return ZEL_OK;
    ++pumpDepth;
    const ZelResult result = wrappedPump(context);
    --pumpDepth;
    return result;
}

}  // namespace

void GuardTransactionPump()
{
    const ZelTransport transport = ZelGetTransport();
    if (transport.pump == nullptr || transport.pump == &GuardedPump)
        return;
    wrappedPump = transport.pump;
    ZelSetTransport(transport.transmit, transport.receive, transport.sleep, &GuardedPump,
                    transport.context);
}

bool InsideTransaction()
{
    return pumpDepth > 0;
}
