// Typed setting access: reads and writes checked against the catalogue.
#include "zel_engine_internal.h"
#include "zel_setting_ids.h"

#include <cstring>

namespace {

void beginTransaction(int category, int setting, int read) {
    std::memset(&ZelTrans, 0, sizeof ZelTrans);
    ZelTrans.address = ZEL_DEVICE_ADDRESS;
    ZelTrans.category = category;
    ZelTrans.setting = setting;
    ZelTrans.read = read;
}

// Reads a setting of `size` bytes into the session's value buffer (little-endian,
// zero-extended); the caller has checked the size against its variable.
ZelResult readValue(int category, int setting, int size) {
    uint8_t* valueBytes = ZelCurrentState().valueBytes;
    std::memset(valueBytes, 0, sizeof ZelCurrentState().valueBytes);
    beginTransaction(category, setting, 1);
    ZelTrans.size = size;
    ZelTrans.output = valueBytes;

    ZelResult result = ZelTransact(0);
    if (result != ZEL_OK) return result;
    if (ZelTrans.size == 0) return ZEL_GOT_NO_DATA;
    if (ZelTrans.size < size) return ZEL_GOT_LESS_DATA;
    if (ZelTrans.size > size) return ZEL_GOT_MORE_DATA;
    return ZEL_OK;
}

uint64_t valueFromBytes() {
    const uint8_t* valueBytes = ZelCurrentState().valueBytes;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | valueBytes[i];
    return v;
}

// The value sits in memory least significant byte first, whatever the host's order.
void littleEndian32(uint32_t value, uint8_t out[4]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

ZelResult ZelReadSetting(int category, int setting, uint32_t* value) {
    const int size = ZelSettingSize(category, setting);
    if (!value || size < 1 || size > 4) return ZEL_E_INVALID_PARAMETER;
    ZelResult result = readValue(category, setting, size);
    *value = static_cast<uint32_t>(valueFromBytes());
    return result;
}

ZelResult ZelReadSetting64(int category, int setting, uint64_t* value) {
    const int size = ZelSettingSize(category, setting);
    if (!value || size < 1 || size > 8) return ZEL_E_INVALID_PARAMETER;
    ZelResult result = readValue(category, setting, size);
    *value = valueFromBytes();
    return result;
}

ZelResult ZelWriteSetting(int category, int setting, uint32_t value) {
    const int size = ZelSettingSize(category, setting);
    if (size < 1 || size > 4) return ZEL_E_INVALID_PARAMETER;

    ZelSessionState& session = ZelCurrentState();
    uint8_t* data = session.writeData;
    littleEndian32(value, data);

    beginTransaction(category, setting, 0);
    ZelTrans.dataLength = size;
    ZelTrans.hexData = 1;
    ZelTrans.data = data;
    ZelTrans.size = size;
    ZelTrans.output = session.writeAnswer;

    const bool reboot = category == ZEL_CAT_NETWORK && setting == ZEL_SET_REBOOT;
    return ZelTransact(reboot ? 1 : 0);
}

ZelResult ZelWriteData(int category, int setting, int index, int n) {
    if (n <= 0 || n > ZEL_TRANSFER_BUFFER_SIZE) return ZEL_E_INVALID_PARAMETER;

    ZelSessionState& session = ZelCurrentState();
    beginTransaction(category, setting, 0);
    ZelTrans.index = index;
    ZelTrans.dataLength = n;
    ZelTrans.hexData = 0;
    ZelTrans.data = session.transferBuffer;
    ZelTrans.output = session.dataAnswer;

    // A File part write is answered with two bytes, a Programming data write with none.
    if (category == ZEL_CAT_UPGRADE_TYPE1 && setting == ZEL_SET_FILE_PART)
        ZelTrans.size = 2;
    else if (category == ZEL_CAT_UPGRADE_TYPE2 && setting == ZEL_SET_PROGRAMMING_DATA)
        ZelTrans.size = 0;
    else
        ZelTrans.size = n / 2;

    return ZelTransact(0);
}

const char* ZelResultName(ZelResult result) {
    static const char* const names[] = {
        "ZEL_OK",
        "ZEL_E_ERROR_REPLY",
        "ZEL_E_INCOMPLETE_MSG",
        "ZEL_E_INCORRECT_CHECKSUM",
        "ZEL_E_INCORRECT_REPLY",
        "ZEL_E_INVALID_PARAMETER",
        "ZEL_E_INVALID_MODE",
        "ZEL_E_NOT_SUPPORTED",
        "ZEL_E_NULL_PNTR",
        "ZEL_E_OUT_OF_MEM",
        "ZEL_E_PORT_CLOSED",
        "ZEL_E_RX_FAILED",
        "ZEL_E_RXFUNC_NULL_PNTR",
        "ZEL_E_TIME_OUT",
        "ZEL_E_TX_FAILED",
        "ZEL_E_TXFUNC_NULL_PNTR",
        "ZEL_E_UPG_FAILED",
        "ZEL_E_UPG_FILE_ERROR",
        "ZEL_E_UPG_FILE_INVALID_CHECKSUM",
        "ZEL_E_UPG_NULL_PNTR",
        "ZEL_E_UPG_VERIFY_FAILED",
        nullptr,  // the B reply has no name of its own
        "ZEL_GOT_LESS_DATA",
        "ZEL_GOT_MORE_DATA",
        "ZEL_GOT_NO_DATA",
        "ZEL_REPLY_IGNORED",
    };
    if (result < 0 || result > ZEL_REPLY_IGNORED || !names[result]) return "UNKOWN";
    return names[result];
}

std::string ZelErrorMessage(ZelResult result) {
    return std::string(
               "An error occurred during communication with the ZEL-51xx device.\n"
               "ZelHandler error code: ") +
           ZelResultName(result);
}
