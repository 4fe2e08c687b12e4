// Firmware upgrade: sends an image to the device in numbered 1024-byte parts and follows
// the device while it programs (type 1, category 0x80) or verifies (type 2, category 0x85).
//
// Uses the session's transaction record and buffers, so it must not run while another
// transaction does on the same session. Synchronous; the window stays responsive through the transport's pump
// hook, which the engine calls between the steps of every transaction.
#pragma once

#include <cstdint>

#include "zel_protocol.h"

constexpr int ZEL_PART_SIZE = 1024;
constexpr int ZEL_MAX_PARTS = 65535;  // part numbers travel in the 16-bit index field
constexpr int32_t ZEL_DEVICE_TYPE_5100 = 5100;
constexpr int32_t ZEL_DEVICE_TYPE_5137 = 5137;

// How long the device may take to program a type-1 image (Progress never reaching 100) or
// to finish a type-2 erase (Busy never clearing) before the upgrade gives up with
// ZEL_E_TIME_OUT. Time counts both the clock and every sleep asked of the transport.
constexpr int ZEL_PROGRAMMING_LIMIT_MS = 10 * 60 * 1000;
constexpr int ZEL_BUSY_LIMIT_MS = 5 * 60 * 1000;

enum ZelUpgradePhase : int {
    ZEL_UPG_PHASE_INIT = 0,
    ZEL_UPG_PHASE_UPLOADING = 1,
    ZEL_UPG_PHASE_PROGRAMMING = 2,
    ZEL_UPG_PHASE_FINISHED = 3,
};

// The part being sent, as the read-part hook delivered it (the calling thread's session's).
using ZelPartBytes = uint8_t[ZEL_PART_SIZE];
ZelPartBytes& ZelCurrentPartBuffer();
#define ZelPartBuffer (ZelCurrentPartBuffer())

// Delivers the next `count` (1..1024) bytes of the image into `destination`: ZEL_OK, or
// ZEL_E_UPG_FILE_ERROR when they cannot all be delivered.
typedef ZelResult (*ZelUpgReadPartFn)(void* context, uint8_t* destination, int count);
// Shows the phase (0..3) and percent value. Optional.
typedef void (*ZelUpgProgressFn)(void* context, int phase, int percent);

// Shows, while the device programs, how long it has not answered (ms); 0 once it answers
// again. Optional.
typedef void (*ZelUpgSilenceFn)(void* context, int silentMs);

// Binds the front end's upgrade hooks to the calling thread's session, each with the context handed back to
// it (e.g. the open firmware file for the reader, the window for the progress display). The read-part hook is
// required by ZelUpgradeFirmware; the progress hook may be null.
void ZelSetUpgradeHooks(ZelUpgReadPartFn readPart, void* readPartContext, ZelUpgProgressFn progress,
                        void* progressContext);

// Binds the hook that shows a silence while the device programs (null: none).
void ZelSetUpgradeSilenceHook(ZelUpgSilenceFn silence, void* context);

// Name of a phase: "Init", "Uploading", "Programming", "Finished"; "Unkown" otherwise.
const char* ZelUpgPhaseName(int phase);

// Reads the device type; on ZEL_OK stores the upgrade type (1 or 2). A type with no
// upgrade gives ZEL_E_NOT_SUPPORTED.
ZelResult ZelGetUpgradeType(int32_t* upgradeType);

// Reads Busy until it reads 0, sleeping 1 ms between reads. ZEL_E_TIME_OUT when the
// device is still busy after ZEL_BUSY_LIMIT_MS; ZEL_E_RXFUNC_NULL_PNTR without a sleep hook;
// at once the failed read's result when the line to the device is gone (ZelLineGone).
ZelResult ZelWaitWhileBusy();

// Encodes the first `count` (1..1024) bytes of ZelPartBuffer into ZelTransferBuffer and
// returns the encoded length; 0 for a count out of range.
// 7-bit: groups of 7 bits, least significant first, each in a byte with bit 7 set.
int ZelEncode7Bit(int count);
// Hex: two upper-case digits per byte, in image order.
int ZelEncodeHex(int count);

// Sends an image of `imageSize` bytes (1 .. 65535 x 1024) that the read-part hook
// delivers from its first byte on. ZEL_OK once the device has accepted it. A silent device
// is polled on while it programs; a line that is gone ends the upgrade at once with the
// failed request's result (ZelLineGone).
ZelResult ZelUpgradeFirmware(int32_t imageSize);
