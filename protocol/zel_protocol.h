// The ZEL-51xx device protocol as callers see it: results, catalogue, transport hooks,
// typed setting access and the error message.
//
// Plain functions over the calling thread's session (zel_session.h). Not reentrant:
// callers must never start a transaction on a session while another one runs on it
// (the pump hook may dispatch user input mid-transaction).
// No function here throws or shows anything; every outcome is a ZelResult.
#pragma once

#include <cstdint>
#include <string>

#include "zel_session.h"

typedef int32_t ZelResult;

enum : ZelResult {
    ZEL_OK = 0,
    ZEL_E_ERROR_REPLY = 1,
    ZEL_E_INCOMPLETE_MSG = 2,
    ZEL_E_INCORRECT_CHECKSUM = 3,
    ZEL_E_INCORRECT_REPLY = 4,
    ZEL_E_INVALID_PARAMETER = 5,
    ZEL_E_INVALID_MODE = 6,
    ZEL_E_NOT_SUPPORTED = 7,
    ZEL_E_NULL_PNTR = 8,
    ZEL_E_OUT_OF_MEM = 9,
    ZEL_E_PORT_CLOSED = 10,
    ZEL_E_RX_FAILED = 11,
    ZEL_E_RXFUNC_NULL_PNTR = 12,
    ZEL_E_TIME_OUT = 13,
    ZEL_E_TX_FAILED = 14,
    ZEL_E_TXFUNC_NULL_PNTR = 15,
    ZEL_E_UPG_FAILED = 16,
    ZEL_E_UPG_FILE_ERROR = 17,
    ZEL_E_UPG_FILE_INVALID_CHECKSUM = 18,
    ZEL_E_UPG_NULL_PNTR = 19,
    ZEL_E_UPG_VERIFY_FAILED = 20,
    ZEL_E_B_REPLY = 21,
    ZEL_GOT_LESS_DATA = 22,
    ZEL_GOT_MORE_DATA = 23,
    ZEL_GOT_NO_DATA = 24,
    ZEL_REPLY_IGNORED = 25,
};

// ---------------------------------------------------------------------------
// Catalogue

constexpr int ZEL_CATEGORY_COUNT = 13;
constexpr int ZEL_SETTING_COUNT = 126;

struct ZelCategoryEntry {
    int32_t id;         // only the low 8 bits travel in a frame
    int32_t indexed;    // 1: frames carry the 4-digit index field
    int32_t timeoutMs;  // total time allowed to collect one reply
    const char* name;
};

struct ZelSettingEntry {
    int32_t category;
    int32_t setting;
    int32_t third;      // 10 for the calibration/statistics rows, 1 otherwise; unused
    int32_t type;       // 0..6, see ZelTypeSize
    const char* name;
};

extern const ZelCategoryEntry ZelCategoryTable[ZEL_CATEGORY_COUNT];
extern const ZelSettingEntry ZelSettingTable[ZEL_SETTING_COUNT];

// Size in bytes of a value type 0..6, 0 for any other type.
int ZelTypeSize(int type);
// Value size of a catalogued setting (1, 2, 4, 6 or 8), 0 when not catalogued.
int ZelSettingSize(int category, int setting);
// 1 when the category is catalogued and indexed, 0 otherwise.
int ZelCategoryIndexed(int category);
// Reply time-out in ms, -1 when the category is not catalogued.
int ZelCategoryTimeout(int category);
// Catalogue entries, or nullptr when not catalogued.
const ZelSettingEntry* ZelFindSetting(int category, int setting);
const ZelCategoryEntry* ZelFindCategory(int category);

// ---------------------------------------------------------------------------
// Transport

constexpr int ZEL_DEVICE_ADDRESS = 64;

typedef ZelResult (*ZelTransmitFn)(void* context, int address, const uint8_t* bytes, int length);
typedef ZelResult (*ZelReceiveFn)(void* context, int address, uint8_t* buffer, int count,
                                  int* received, int timeoutMs);
typedef ZelResult (*ZelSleepFn)(void* context, int milliseconds);
typedef ZelResult (*ZelPumpFn)(void* context);

struct ZelTransport {
    ZelTransmitFn transmit;
    ZelReceiveFn receive;
    ZelSleepFn sleep;
    ZelPumpFn pump;
    void* context;
};

// Replaces the hooks the engine talks through (the calling thread's session's). Any hook
// may be null.
void ZelSetTransport(ZelTransmitFn transmit, ZelReceiveFn receive, ZelSleepFn sleep,
                     ZelPumpFn pump, void* context);
// The hooks now registered (so a front end can wrap them, e.g. to trace frames).
ZelTransport ZelGetTransport();
// An optional hook the engine calls where it drains the line after a failed
// exchange, before draining: a line with a far end that buffers (a terminal
// server) throws away what it holds there. ZelSetTransport with another
// context removes it.
typedef ZelResult (*ZelPurgeFn)(void* context);
void ZelSetTransportPurge(ZelPurgeFn purge, void* context);

// ---------------------------------------------------------------------------
// Framing

constexpr uint8_t ZEL_STX = 0x02;
constexpr uint8_t ZEL_ETX = 0x03;
constexpr int ZEL_TRANSFER_BUFFER_SIZE = 2048;
// A transaction is up to ZEL_ATTEMPTS exchanges; after a failed one the engine drains
// up to ZEL_DRAIN_BYTES from the line, waiting at most ZEL_DRAIN_TIMEOUT_MS.
constexpr int ZEL_ATTEMPTS = 3;
constexpr int ZEL_DRAIN_BYTES = 100;
constexpr int ZEL_DRAIN_TIMEOUT_MS = 100;

// Two's complement of the 8-bit sum of `count` bytes; 0 for count <= 0.
int ZelChecksum(const uint8_t* bytes, int count);
// Little-endian bytes to upper-case hex text, most significant first; returns 2n.
int ZelBytesToHex(const uint8_t* source, int count, uint8_t* destination);
// Hex text to little-endian bytes; returns the bytes written, (n + 1) / 2.
int ZelHexToBytes(const uint8_t* text, int digits, uint8_t* destination);
// Hex text to an integer, most significant digit first.
int ZelHexToInt(const uint8_t* text, int digits);

// ---------------------------------------------------------------------------
// Typed setting access

ZelResult ZelReadSetting(int category, int setting, uint32_t* value);
ZelResult ZelReadSetting64(int category, int setting, uint64_t* value);
ZelResult ZelWriteSetting(int category, int setting, uint32_t value);
// Sends the first n bytes of ZelTransferBuffer verbatim as one indexed write.
ZelResult ZelWriteData(int category, int setting, int index, int n);

// The calling thread's session's transfer buffer, which ZelWriteData sends from.
using ZelTransferBytes = uint8_t[ZEL_TRANSFER_BUFFER_SIZE];
ZelTransferBytes& ZelCurrentTransferBuffer();
#define ZelTransferBuffer (ZelCurrentTransferBuffer())

// The result says the line to the device is gone (the port refused the request or was
// hung up), not that the device was silent: waiting on will not bring an answer.
bool ZelLineGone(ZelResult result);

// Name text of a result; "UNKOWN" for 21 and anything outside 0..25.
const char* ZelResultName(ZelResult result);
// The protocol error message every front end shows for a failed operation.
std::string ZelErrorMessage(ZelResult result);
