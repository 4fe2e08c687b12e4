// Fuzz target: any reply bytes for any catalogued request must leave the engine
// inside its buffers and the caller's output, and end in a defined result.
#include "zel_protocol.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Playback {
    const uint8_t* data;
    size_t size;
};

ZelResult transmit(void*, int, const uint8_t*, int) {
    return ZEL_OK;
}
ZelResult sleepHook(void*, int) {
    return ZEL_OK;
}

// Each receive takes a length byte, then that many bytes of the input. A length byte
// of 255 is followed by two more (little-endian) that add to it, so that a reply can be
// far longer than any buffer of the engine.
size_t TakeLength(Playback* p) {
    size_t n = p->data[0];
    p->data++;
    p->size--;
    if (n == 255 && p->size >= 2) {
        n += p->data[0] | (size_t(p->data[1]) << 8);
        p->data += 2;
        p->size -= 2;
    }
    return n;
}

ZelResult receive(void* context, int, uint8_t* buffer, int count, int* received, int) {
    auto* p = static_cast<Playback*>(context);
    *received = 0;
    if (p->size == 0) return ZEL_E_RX_FAILED;
    size_t n = TakeLength(p);
    if (n > p->size) n = p->size;
    if (n > static_cast<size_t>(count)) n = static_cast<size_t>(count);
    if (n > 0) std::memcpy(buffer, p->data, n);
    p->data += n;
    p->size -= n;
    *received = static_cast<int>(n);
    return n ? ZEL_OK : ZEL_E_RX_FAILED;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const ZelSettingEntry& entry = ZelSettingTable[data[0] % ZEL_SETTING_COUNT];
    const int kind = data[1] % 3;
    Playback playback{data + 2, size - 2};
    ZelSetTransport(transmit, receive, sleepHook, nullptr, &playback);

    ZelResult result;
    if (kind == 0) {
        uint64_t value = 0;
        result = ZelReadSetting64(entry.category, entry.setting, &value);
    } else if (kind == 1) {
        result = ZelWriteSetting(entry.category, entry.setting, 0x12345678u);
    } else {
        std::memset(ZelTransferBuffer, 0xC1, ZEL_TRANSFER_BUFFER_SIZE);
        result = ZelWriteData(entry.category, entry.setting, data[0], 1 + data[1] * 8);
    }
    if (result < 0 || result > ZEL_REPLY_IGNORED) std::abort();
    ZelSetTransport(nullptr, nullptr, nullptr, nullptr, nullptr);
    return 0;
}
