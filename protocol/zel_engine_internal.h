// What the engine keeps inside: the layout of a session's state, the transaction record,
// the frame buffer and the steps of one exchange. Included by protocol/ and by the
// engine's own tests, never by front ends.
#pragma once

#include <cstdint>

#include "zel_protocol.h"
#include "zel_upgrade.h"

constexpr int ZEL_FRAME_BUFFER_SIZE = 2080;

// Reply status values of the transaction record.
constexpr int32_t ZEL_STATUS_ERROR = 0x45;  // "E" or "e"
constexpr int32_t ZEL_STATUS_BUSY = 0x42;   // "B" or "b"
constexpr int32_t ZEL_STATUS_READ = 1;      // "R" or "r"

// A session's transaction record. An operation zeroes it, fills the request fields and
// calls ZelTransact; the engine fills the reply fields.
struct ZelTransaction {
    int32_t address;
    int32_t category;
    int32_t setting;
    int32_t read;          // 1 read, 0 write
    int32_t index;         // low 16 bits sent in indexed categories
    int32_t checksum;      // of the last request frame built
    int32_t dataLength;    // bytes of data to send, 0 for a read
    int32_t hexData;       // 1: data is a little-endian value sent as hex; 0: verbatim
    const uint8_t* data;
    int32_t replyAddress;
    int32_t replyCategory;
    int32_t replySetting;
    int32_t replyStatus;
    int32_t replyIndex;
    int32_t replyChecksum;
    int32_t size;          // in: expected value bytes; out: bytes decoded
    uint8_t* output;       // must hold at least `size` bytes
};

struct ZelUpgradeHooks {
    ZelUpgReadPartFn readPart = nullptr;
    void* readPartContext = nullptr;
    ZelUpgProgressFn progress = nullptr;
    void* progressContext = nullptr;
    ZelUpgSilenceFn silence = nullptr;
    void* silenceContext = nullptr;
};

struct ZelSessionState {
    ZelTransport transport{nullptr, nullptr, nullptr, nullptr, nullptr};
    ZelPurgeFn purge = nullptr;
    void* purgeContext = nullptr;
    ZelTransaction transaction{};
    uint8_t frameBuffer[ZEL_FRAME_BUFFER_SIZE]{};
    ZelTransferBytes transferBuffer{};
    ZelPartBytes partBuffer{};
    ZelUpgradeHooks upgrade;
    // Where typed access puts a value read and the value a write sends; where the
    // answers to writes land.
    uint8_t valueBytes[8]{};
    uint8_t writeData[4]{};
    uint8_t writeAnswer[4]{};
    uint8_t dataAnswer[1024]{};
};

// The calling thread's session's state.
ZelSessionState& ZelCurrentState();

#define ZelTrans (ZelCurrentState().transaction)
#define ZelFrameBuffer (ZelCurrentState().frameBuffer)

// Expected reply length for a category and value size (0 for an uncatalogued category).
int ZelExpectedReplyLength(int category, int size);

// One attempt: build the request, send it, receive the reply, check it, decode it.
ZelResult ZelExchange(int noReply);
// Up to ZEL_ATTEMPTS exchanges with a drain of the line after each failed one.
ZelResult ZelTransact(int noReply);
