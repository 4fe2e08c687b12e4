// Fuzz target: the firmware file check must take any bytes, for any device firmware
// version, without reading outside them, and end in one of its outcomes with a text.
#include "firmware_check.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (int32_t version : {-1, 13, 14, 20}) {
        const FirmwareCheck check = CheckFirmwareData(data, size, version);
        if (check.result < FwCheckOk || check.result > FwImageTooShort) std::abort();
        if ((check.result == FwCheckOk) != check.text.empty()) std::abort();
        if (check.result == FwCheckOk && check.storedSize != static_cast<int32_t>(size)) std::abort();
    }
    return 0;
}
