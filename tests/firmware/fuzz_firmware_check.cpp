// libFuzzer entry: the check must take any bytes without reading outside them.
#include <cstddef>
#include <cstdint>

#include "firmware_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (int32_t version : {-1, 13, 14, 20})
        CheckFirmwareData(data, size, version);
    return 0;
}
