#include "zel_wait_budget.h"

#include "zel_protocol.h"

ZelWaitBudget::ZelWaitBudget(int64_t limitMs) : limitMs_(limitMs), start_(std::chrono::steady_clock::now()) {}

void ZelWaitBudget::Sleep(int milliseconds) {
    const ZelTransport transport = ZelGetTransport();
    if (transport.sleep) transport.sleep(transport.context, milliseconds);
    sleptMs_ += milliseconds;
}

bool ZelWaitBudget::Exhausted() const {
    return SpentMs() >= limitMs_;
}

int64_t ZelWaitBudget::SpentMs() const {
    const int64_t clockMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_)
            .count();
    return clockMs > sleptMs_ ? clockMs : sleptMs_;
}
